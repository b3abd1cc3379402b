#include "graphic_tool.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "text_conv.h"
#include "wide_limit.h"

TControlBrushProc ControlBrushProc = nullptr;

namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000;
constexpr uint32_t kColorBtnFace = 0x8000000F;
constexpr uint32_t kColorWindowText = 0x80000008;
constexpr uint8_t kPenModeCopy = R2_COPYPEN - 1;

bool HasBitmap(TToolKind kind) {
  return kind == TToolKind::Brush || kind == TToolKind::Pen;
}

void MakeBrushHandle(TGraphicTool* tool) {
  const TBrushData& brush = tool->ToolData.Brush;
  LOGBRUSH logBrush{BS_SOLID, tool->ResolvedColor, 0};
  if (brush.Bitmap) {
    logBrush.lbStyle = BS_PATTERN;
    logBrush.lbHatch = reinterpret_cast<ULONG_PTR>(brush.Bitmap);
  } else if (brush.Style == kBrushClear) {
    logBrush.lbStyle = BS_NULL;
  } else if (brush.Style >= kBrushHatched) {
    logBrush.lbStyle = BS_HATCHED;
    logBrush.lbHatch = brush.Style - kBrushHatched;
    logBrush.lbColor = ResolveColor(brush.LineColor);
  }
  tool->ToolHandle = CreateBrushIndirect(&logBrush);
}

// One GDI font per description, held by every font tool of that description
// and deleted with the last of them. A window keeps the font WM_SETFONT gave
// it, and every control's font tool is its own copy, so one control's change
// must never delete a font another control's window still draws with.
struct TSharedFont {
  LOGFONTW Description;
  HFONT Handle;
  int32_t Holders;
};

// Never destroyed: a tool may let go of its font in the process's last teardown.
std::vector<TSharedFont>& SharedFonts() {
  static auto* fonts = new std::vector<TSharedFont>;
  return *fonts;
}

HFONT HoldFont(const LOGFONTW& description) {
  std::vector<TSharedFont>& fonts = SharedFonts();
  for (TSharedFont& font : fonts) {
    if (std::memcmp(&font.Description, &description, sizeof description) == 0) {
      ++font.Holders;
      return font.Handle;
    }
  }
  HFONT handle = CreateFontIndirectW(&description);
  if (handle) fonts.push_back({description, handle, 1});
  return handle;
}

void LetGoOfFont(HGDIOBJ handle) {
  std::vector<TSharedFont>& fonts = SharedFonts();
  const auto held = std::find_if(fonts.begin(), fonts.end(),
                                 [&](const TSharedFont& font) { return font.Handle == handle; });
  if (held == fonts.end() || --held->Holders > 0) return;
  DeleteObject(handle);
  fonts.erase(held);
}

void MakeFontHandle(TGraphicTool* tool) {
  tool->ToolHandle = HoldFont(tool->ToolData.Font);
}

// A font is shared; a brush or pen handle is the tool's own.
void ReleaseHandle(TToolKind kind, HGDIOBJ handle) {
  if (kind == TToolKind::Font) {
    LetGoOfFont(handle);
  } else {
    DeleteObject(handle);
  }
}

void MakePenHandle(TGraphicTool* tool) {
  const TPenData& pen = tool->ToolData.Pen;
  LOGPEN logPen{pen.Style, {pen.Width, 0}, tool->ResolvedColor};
  tool->ToolHandle = CreatePenIndirect(&logPen);
}

TGraphicTool* NewTool(TToolKind kind, TNewTool newSameKind, TMakeToolHandle makeHandle) {
  auto* tool = new TGraphicTool;
  tool->Kind = kind;
  tool->NewSameKind = newSameKind;
  tool->MakeHandle = makeHandle;
  std::memset(&tool->ToolData, 0, sizeof tool->ToolData);
  return tool;
}

HBRUSH ControlBrush(TGraphicTool* brush, TGraphicTool* parentBrush) {
  if (!brush) return nullptr;
  if (parentBrush != brush) brush->FollowTemplate(parentBrush);
  return static_cast<HBRUSH>(brush->GetToolHandle());
}

// A pattern bitmap belongs to one tool only, so a copied tool gets its own.
HBITMAP CopyBitmap(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace

// Constant-initialised, so a font made during any start-up code finds it ready.
constinit TToolData DefaultFont = {
    .Color = kColorWindowText,
    .Font = {0, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif"}};

uint32_t ResolveColor(uint32_t color) {
  if (color & kSystemColorFlag) return GetSysColor(color & 0xFF);
  return color & 0x00FFFFFF;
}

namespace {
void ForgetTemplate(void* tool, TObj*) {
  static_cast<TGraphicTool*>(tool)->Template = nullptr;
}
}  // namespace

void TGraphicTool::FollowTemplate(TGraphicTool* templ) {
  if (Template == templ) return;
  if (Template) Template->RemoveFreeNotify(ForgetTemplate, this);
  Template = templ;
  if (templ) templ->AddFreeNotify(ForgetTemplate, this);
}

TGraphicTool::~TGraphicTool() {
  if (Template) Template->RemoveFreeNotify(ForgetTemplate, this);
  if (HasBitmap(Kind) && ToolData.Brush.Bitmap) DeleteObject(ToolData.Brush.Bitmap);
  if (ToolHandle) ReleaseHandle(Kind, ToolHandle);
}

HGDIOBJ TGraphicTool::GetToolHandle() {
  // A system colour changed since the handle was made.
  if (ToolHandle && ResolveColor(ToolData.Color) != ResolvedColor) DropHandle();
  if (!ToolHandle && Template &&
      std::memcmp(&Template->ToolData, &ToolData, sizeof ToolData) == 0) {
    // Unhooked while asking, so a loop of templates cannot recurse forever.
    TGraphicTool* templ = Template;
    Template = nullptr;
    HGDIOBJ shared = templ->GetToolHandle();
    Template = templ;
    return shared;
  }
  if (!ToolHandle && MakeHandle) {
    ResolvedColor = ResolveColor(ToolData.Color);
    MakeHandle(this);
  }
  return ToolHandle;
}

// The owner hears of it before the object goes, so it can deselect it first.
void TGraphicTool::DropHandle() {
  HGDIOBJ old = ToolHandle;
  ToolHandle = nullptr;
  OnChange(this);
  ReleaseHandle(Kind, old);
}

void TGraphicTool::Changed() {
  if (ToolHandle) DropHandle();
  OnChange(this);
}

void TGraphicTool::SetToolData(const TToolData& data) {
  if (std::memcmp(&data, &ToolData, sizeof ToolData) == 0) return;
  ToolData = data;
  Changed();
}

void TGraphicTool::SetToolInt(uint32_t offset, uint32_t value) {
  if (offset > sizeof(TToolData) - sizeof value) return;
  TToolData data = ToolData;
  std::memcpy(reinterpret_cast<char*>(&data) + offset, &value, sizeof value);
  SetToolData(data);
}

void TGraphicTool::SetColor(uint32_t color) {
  SetToolInt(offsetof(TToolData, Color), color);
}

void TGraphicTool::SetBrushStyle(uint8_t style) {
  EditData(TToolKind::Brush, [&](TToolData& data) { data.Brush.Style = style; });
}

void TGraphicTool::SetBrushBitmap(HBITMAP bitmap) {
  if (!HasBitmap(Kind) || ToolData.Brush.Bitmap == bitmap) return;
  HBITMAP old = ToolData.Brush.Bitmap;
  TToolData data = ToolData;
  data.Brush.Bitmap = bitmap;
  SetToolData(data);
  if (old) DeleteObject(old);
}

void TGraphicTool::SetBrushLineColor(uint32_t color) {
  EditData(TToolKind::Brush, [&](TToolData& data) { data.Brush.LineColor = color; });
}

void TGraphicTool::SetFontName(std::string_view name) {
  const std::wstring wide = ToWstr(name);
  // The field ends with its terminator, and the rest stays zero for the comparison.
  const std::wstring_view kept = CutToUnits(wide, LF_FACESIZE - 1);
  EditData(TToolKind::Font, [&](TToolData& data) {
    std::fill(std::begin(data.Font.lfFaceName), std::end(data.Font.lfFaceName), L'\0');
    std::copy(kept.begin(), kept.end(), data.Font.lfFaceName);
  });
}

void TGraphicTool::SetFontHeight(int32_t height) {
  EditData(TToolKind::Font, [&](TToolData& data) { data.Font.lfHeight = height; });
}

void TGraphicTool::SetFontStyle(uint8_t style) {
  EditData(TToolKind::Font, [&](TToolData& data) {
    // Not bold goes back to "don't care", the default font's weight.
    data.Font.lfWeight = (style & kFontBold) ? FW_BOLD : 0;
    data.Font.lfItalic = (style & kFontItalic) ? 1 : 0;
    data.Font.lfUnderline = (style & kFontUnderline) ? 1 : 0;
    data.Font.lfStrikeOut = (style & kFontStrikeOut) ? 1 : 0;
  });
}

uint8_t TGraphicTool::FontStyle() const {
  if (Kind != TToolKind::Font) return 0;
  const LOGFONTW& font = ToolData.Font;
  return (font.lfWeight >= FW_BOLD ? kFontBold : 0) | (font.lfItalic ? kFontItalic : 0) |
         (font.lfUnderline ? kFontUnderline : 0) | (font.lfStrikeOut ? kFontStrikeOut : 0);
}

void TGraphicTool::SetFontCharset(uint8_t charset) {
  EditData(TToolKind::Font, [&](TToolData& data) { data.Font.lfCharSet = charset; });
}

void TGraphicTool::SetPenStyle(uint8_t style) {
  EditData(TToolKind::Pen, [&](TToolData& data) { data.Pen.Style = style; });
}

void TGraphicTool::SetPenWidth(int32_t width) {
  EditData(TToolKind::Pen, [&](TToolData& data) { data.Pen.Width = width; });
}

void TGraphicTool::SetPenMode(uint8_t rop2) {
  if (rop2 == 0) return;
  EditData(TToolKind::Pen, [&](TToolData& data) { data.Pen.Mode = rop2 - 1; });
}

TGraphicTool* NewBrush() {
  TGraphicTool* brush = NewTool(TToolKind::Brush, NewBrush, MakeBrushHandle);
  brush->ToolData.Color = kColorBtnFace;
  brush->ToolData.Brush.Style = kBrushSolid;
  ControlBrushProc = ControlBrush;
  return brush;
}

TGraphicTool* NewFont() {
  TGraphicTool* font = NewTool(TToolKind::Font, NewFont, MakeFontHandle);
  font->ToolData = DefaultFont;
  return font;
}

TGraphicTool* NewPen() {
  TGraphicTool* pen = NewTool(TToolKind::Pen, NewPen, MakePenHandle);
  pen->ToolData.Pen.Mode = kPenModeCopy;
  return pen;
}

TGraphicTool* AssignTool(TGraphicTool* destination, TGraphicTool* source) {
  if (!source) {
    if (destination) destination->Free();
    return nullptr;
  }
  if (!destination) destination = source->NewSameKind ? source->NewSameKind() : NewBrush();
  // Equal data make an equal handle (or the very same one), so nothing changes.
  if (destination == source ||
      (destination->Kind == source->Kind &&
       std::memcmp(&destination->ToolData, &source->ToolData, sizeof(TToolData)) == 0)) {
    return destination;
  }

  destination->Changed();
  if (HasBitmap(destination->Kind) && destination->ToolData.Brush.Bitmap) {
    DeleteObject(destination->ToolData.Brush.Bitmap);
  }
  destination->Kind = source->Kind;
  destination->NewSameKind = source->NewSameKind;
  destination->MakeHandle = source->MakeHandle;
  destination->ToolData = source->ToolData;
  if (HasBitmap(source->Kind)) {
    destination->ToolData.Brush.Bitmap = CopyBitmap(source->ToolData.Brush.Bitmap);
  }
  destination->Changed();
  return destination;
}
