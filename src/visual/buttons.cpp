#include "buttons.h"

#include <windows.h>

#include <string>

#include "canvas.h"
#include "control_kinds.h"
#include "control_props.h"
#include "graphic_tool.h"
#include "text_conv.h"

namespace {

constexpr int kStatePressed = 1;
constexpr int kStateDisabled = 2;
constexpr int kStateHot = 4;
constexpr int32_t kMargin = 3;      // between the edge, the glyph and the text
constexpr int32_t kFocusInset = 2;  // inside the frame and the edges, clear of the text
constexpr uint32_t kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
constexpr uint32_t kHighlightColor = 0x80000000 | COLOR_WINDOW;
constexpr uint32_t kShadowColor = 0x80000000 | COLOR_BTNSHADOW;

// The text the window shows now, which doCaption may have made other than Caption.
std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return ToUtf8(text);
}

// Keyboard cues hidden until the keyboard is used, as the system's setting
// may have it, reach the button as WM_UPDATEUISTATE, which repaints it.
// Wine 8 keeps no such state: WM_QUERYUISTATE answers 0 whatever was set or
// the setting says, so there the focus always shows.
bool ShowsFocus(HWND window) {
  return GetFocus() == window && !(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

// A pixel of a 32-bit DIB from a 0x00BBGGRR colour.
uint32_t DibPixel(COLORREF color) {
  return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

}  // namespace

void TKVButton::Init() {
  Control = NewButton(Parent, Caption);
  SetOnClick(Control, MakeEvent<&TKVButton::HandleClick>(this));
  SetDefaultButton(Control, VK_RETURN, Default);
  // A long caption wraps instead of being cut.
  SetStyle(Control, Control->Style | BS_MULTILINE);
  TKVWin::Init();
}

void TKVButton::HandleClick(TObj*) {
  FireCopy(onClick, Data);
}

TKVBitBtn::TKVBitBtn(TControl* parent) : TKVWin(parent), Glyph(NewBitmap(0, 0)) {}

TKVBitBtn::~TKVBitBtn() {
  // The base destructor frees the control only after the glyphs are gone:
  // no drawing may reach them in between.
  if (Control && Control->OnBitBtnDraw.data == this) Control->OnBitBtnDraw = {};
  if (DisabledGlyph) DisabledGlyph->Free();
  DisabledGlyph = nullptr;
  Glyph->Free();
  Glyph = nullptr;
}

void TKVBitBtn::Init() {
  Control = NewBitBtn(Parent, Caption, 0, 0, nullptr, 0);
  TKVWin::Init();
  SetFlat(Control, Flat);
  Control->PressedOffset = {1, 1};
  Control->OnBitBtnDraw = BindEvent<&TKVBitBtn::Draw>(this);
  SetOnClick(Control, MakeEvent<&TKVBitBtn::HandleClick>(this));
}

void TKVBitBtn::doCaption(TData& data, uint16_t) {
  if (Control) SetText(Control, ToString(data));
}

void TKVBitBtn::HandleClick(TObj*) {
  FireCopy(onClick, Data);
}

// Everything is drawn here, through the control's canvas on the item's DC
// (the library lends it as the paint DC). Colours change on the canvas's own
// font: the control's Font would free this very canvas and repaint again.
bool TKVBitBtn::Draw(TControl*, int state) {
  if (!Control || !Control->Handle) return true;
  TCanvas* canvas = Control->GetCanvas();
  const HDC dc = canvas->EnsureState(kStateDC);
  if (!dc) return true;
  RECT rect;
  GetClientRect(Control->Handle, &rect);
  DrawBackground(canvas, dc, rect, state);

  const std::string text = WindowText(Control->Handle);
  int32_t x = text.empty() ? (rect.right - Glyph->Width) / 2 : kMargin;
  int32_t y = (rect.bottom - Glyph->Height) / 2;
  // Released, glyph and text sit up and to the left: a press moves them down.
  if (state != kStatePressed) {
    --x;
    --y;
    rect.left -= 2;
    rect.top -= 2;
  }
  if (state == kStateDisabled) {
    if (!DisabledGlyph) MakeDisabledGlyph();
    DisabledGlyph->Draw(dc, x, y);
  } else {
    Glyph->Draw(dc, x, y);
  }

  rect.left += Glyph->Width + kMargin;
  rect.right -= kMargin;
  canvas->GetBrush()->SetBrushStyle(kBrushClear);
  TGraphicTool* font = canvas->GetFont();
  if (state == kStateDisabled) {
    // Engraved: a light copy one pixel down and right, the shadow colour on top.
    font->SetColor(kHighlightColor);
    RECT light = rect;
    OffsetRect(&light, 1, 1);
    canvas->DrawTextInRect(text, light, kTextFormat);
    font->SetColor(kShadowColor);
  } else {
    font->SetColor(Control->Font ? Control->Font->ToolData.Color : Font.Color);
  }
  canvas->DrawTextInRect(text, rect, kTextFormat);
  DrawFocus(dc);
  return true;
}

// Tab moves the focus among buttons that look alike; the focused one must show
// which one Space presses. The hot and pressed looks hide the focus state, so
// it is asked of the window itself.
void TKVBitBtn::DrawFocus(HDC dc) {
  if (!ShowsFocus(Control->Handle)) return;
  RECT rect;
  GetClientRect(Control->Handle, &rect);
  InflateRect(&rect, -kFocusInset, -kFocusInset);
  DrawFocusRect(dc, &rect);
}

void TKVBitBtn::DrawBackground(TCanvas* canvas, HDC dc, const RECT& rect, int state) {
  if (!Control->Flat) {
    const UINT pushed = state == kStatePressed ? DFCS_PUSHED : 0;
    RECT frame = rect;
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_TRANSPARENT | pushed);
    return;
  }
  TGraphicTool* brush = canvas->GetBrush();
  brush->SetBrushStyle(kBrushSolid);
  brush->SetColor(Control->Color);
  canvas->FillRectangle(rect);
  if (state == kStatePressed || state == kStateHot) {
    RECT edge = rect;
    DrawEdge(dc, &edge, state == kStatePressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (!HideFrame) {
    TGraphicTool* pen = canvas->GetPen();
    pen->SetPenStyle(PS_SOLID);
    pen->SetColor(FrameColor);
    canvas->DrawRectangle(0, 0, rect.right, rect.bottom);
  }
}

// Made once, from the glyph as it is now. The glyph's (0, 0) pixel is its
// transparent colour and is kept exactly, so the background still shows.
void TKVBitBtn::MakeDisabledGlyph() {
  const int32_t width = Glyph->Width;
  const int32_t height = Glyph->Height;
  if (Glyph->Empty() || !(DisabledGlyph = NewDIBitmap(width, height, 32))) {
    DisabledGlyph = NewBitmap(0, 0);
    return;
  }
  DisabledGlyph->TransparentColor = Glyph->TransparentColor;
  auto* bits = static_cast<uint32_t*>(DisabledGlyph->Bits);
  const uint32_t transparent = Glyph->PixelAt(0, 0);
  for (int32_t py = 0; py < height; ++py) {
    // The DIB is bottom-up.
    uint32_t* row = bits + static_cast<size_t>(height - 1 - py) * width;
    for (int32_t px = 0; px < width; ++px) {
      const uint32_t color = Glyph->PixelAt(px, py);
      if (color == kNoColor) continue;
      if (color == transparent) {
        row[px] = DibPixel(color);
        continue;
      }
      const uint32_t grey = (GetRValue(color) + GetGValue(color) + GetBValue(color)) / 3;
      row[px] = DibPixel(RGB(grey, grey, grey));
    }
  }
}
