#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphic_tool.h"
#include "text_conv.h"

namespace {

// Listens to a tool's OnChange and notes what the handle looked like then.
struct ChangeLog {
  std::vector<HGDIOBJ> handles;       // ToolHandle at each notification
  std::vector<DWORD> oldHandleTypes;  // GetObjectType of the watched handle then
  HGDIOBJ watched = nullptr;
  void Changed(TObj* sender) {
    handles.push_back(static_cast<TGraphicTool*>(sender)->ToolHandle);
    oldHandleTypes.push_back(GetObjectType(watched));
  }
};

COLORREF BrushColor(HGDIOBJ brush) {
  LOGBRUSH info{};
  GetObjectW(brush, sizeof info, &info);
  return info.lbColor;
}

void Destroyed(void* data, TObj*) {
  *static_cast<bool*>(data) = true;
}

}  // namespace

TEST(GraphicTool, HandleIsMadeOnFirstRequestFromTheDefaults) {
  TGraphicTool* brush = NewBrush();
  TGraphicTool* font = NewFont();
  TGraphicTool* pen = NewPen();
  for (TGraphicTool* tool : {brush, font, pen})
    EXPECT_EQ(tool->ToolHandle, nullptr);
  EXPECT_EQ(brush->ToolData.Color, 0x8000000Fu);
  EXPECT_EQ(font->ToolData.Color, 0x80000008u);
  EXPECT_EQ(pen->ToolData.Pen.Mode, 12);

  HGDIOBJ brushHandle = brush->GetToolHandle();
  EXPECT_EQ(BrushColor(brushHandle), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(brush->GetToolHandle(), brushHandle);
  EXPECT_EQ(brush->ResolvedColor, GetSysColor(COLOR_BTNFACE));
  LOGFONTW fontInfo{};
  ASSERT_NE(GetObjectW(font->GetToolHandle(), sizeof fontInfo, &fontInfo), 0);
  EXPECT_EQ(ToUtf8(fontInfo.lfFaceName), "MS Sans Serif");
  EXPECT_EQ(fontInfo.lfCharSet, DEFAULT_CHARSET);
  pen->SetColor(0x00123456);
  pen->SetPenWidth(3);
  LOGPEN penInfo{};
  ASSERT_NE(GetObjectW(pen->GetToolHandle(), sizeof penInfo, &penInfo), 0);
  EXPECT_EQ(penInfo.lopnColor, 0x00123456u);
  EXPECT_EQ(penInfo.lopnWidth.x, 3);
  EXPECT_EQ(penInfo.lopnStyle, static_cast<UINT>(PS_SOLID));
  brush->Free();
  font->Free();
  pen->Free();
}

TEST(GraphicTool, EqualDataShareTheTemplatesHandleUntilTheyDiffer) {
  TGraphicTool* parent = NewBrush();
  TGraphicTool* child = NewBrush();
  ASSERT_NE(ControlBrushProc, nullptr);  // installed by NewBrush
  HBRUSH shared = ControlBrushProc(child, parent);
  EXPECT_EQ(child->Template, parent);
  EXPECT_EQ(shared, parent->ToolHandle);
  EXPECT_NE(shared, nullptr);
  EXPECT_EQ(child->ToolHandle, nullptr);  // it made none of its own

  child->SetColor(0x000000FF);
  HGDIOBJ own = child->GetToolHandle();
  EXPECT_NE(own, shared);
  EXPECT_EQ(own, child->ToolHandle);
  EXPECT_EQ(BrushColor(own), 0x000000FFu);
  EXPECT_EQ(BrushColor(shared), GetSysColor(COLOR_BTNFACE));

  // The same colour again: back to the template's handle, its own one gone.
  child->SetColor(parent->ToolData.Color);
  EXPECT_EQ(GetObjectType(own), 0u);
  EXPECT_EQ(child->GetToolHandle(), shared);
  // Templates pointing at each other still end in one handle.
  parent->Template = child;
  parent->Changed();
  HGDIOBJ looped = child->GetToolHandle();
  EXPECT_NE(looped, nullptr);
  EXPECT_EQ(parent->GetToolHandle(), looped);
  parent->Template = nullptr;
  child->Free();
  parent->Free();
}

TEST(GraphicTool, ATemplateFreedFirstIsForgotten) {
  TGraphicTool* parent = NewBrush();
  TGraphicTool* child = NewBrush();
  ControlBrushProc(child, parent);
  ASSERT_EQ(child->Template, parent);
  parent->Free();
  EXPECT_EQ(child->Template, nullptr);
  HGDIOBJ own = child->GetToolHandle();
  EXPECT_EQ(own, child->ToolHandle);
  EXPECT_EQ(GetObjectType(own), static_cast<DWORD>(OBJ_BRUSH));
  child->Free();
}

TEST(GraphicTool, ChangedDropsTheHandleAfterTellingTheOwner) {
  TGraphicTool* pen = NewPen();
  ChangeLog log;
  pen->OnChange = MakeEvent<&ChangeLog::Changed>(&log);
  log.watched = pen->GetToolHandle();
  pen->SetColor(0x00FF0000);
  // First told with the handle already detached but still alive, then again.
  ASSERT_EQ(log.handles.size(), 2u);
  EXPECT_EQ(log.handles[0], nullptr);
  EXPECT_EQ(log.oldHandleTypes[0], static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(log.oldHandleTypes[1], 0u);
  EXPECT_EQ(pen->ToolData.Color, 0x00FF0000u);

  // Without a handle, one notification; the same value, none.
  pen->SetPenWidth(2);
  EXPECT_EQ(log.handles.size(), 3u);
  pen->SetPenWidth(2);
  pen->SetColor(0x00FF0000);
  EXPECT_EQ(log.handles.size(), 3u);
  pen->Free();
}

TEST(GraphicTool, AssigningTheSameFontChangesNothing) {
  TGraphicTool* font = NewFont();
  font->SetFontHeight(-20);
  HGDIOBJ handle = font->GetToolHandle();
  ChangeLog log;
  font->OnChange = MakeEvent<&ChangeLog::Changed>(&log);
  EXPECT_EQ(AssignTool(font, font), font);

  // One of the same description, which holds the same handle.
  TGraphicTool* sharing = NewFont();
  sharing->SetFontHeight(-20);
  ASSERT_EQ(sharing->GetToolHandle(), handle);
  ChangeLog sharingLog;
  sharing->OnChange = MakeEvent<&ChangeLog::Changed>(&sharingLog);
  EXPECT_EQ(AssignTool(sharing, font), sharing);
  EXPECT_EQ(AssignTool(font, sharing), font);
  EXPECT_TRUE(log.handles.empty());
  EXPECT_TRUE(sharingLog.handles.empty());
  EXPECT_EQ(font->ToolHandle, handle);
  EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
  sharing->Free();
  font->Free();
}

// A window keeps the font WM_SETFONT gave it: a font that another tool still
// holds must outlive every change and free of the others.
TEST(GraphicTool, FontsOfOneDescriptionShareAHandleThatLastsWhileAnyHoldsIt) {
  TGraphicTool* parent = NewFont();
  TGraphicTool* child = AssignTool(nullptr, parent);
  child->SetColor(0x000000FF);  // not part of the GDI font
  HGDIOBJ shared = parent->GetToolHandle();
  EXPECT_EQ(child->GetToolHandle(), shared);

  parent->SetFontHeight(-20);
  HGDIOBJ own = parent->GetToolHandle();
  EXPECT_NE(own, shared);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
  child->SetFontHeight(-20);
  EXPECT_EQ(child->GetToolHandle(), own);
  EXPECT_EQ(GetObjectType(shared), 0u);  // its last holder let go

  parent->Free();
  EXPECT_EQ(GetObjectType(own), static_cast<DWORD>(OBJ_FONT));
  child->Free();
  EXPECT_EQ(GetObjectType(own), 0u);
}

TEST(GraphicTool, AssignCopiesTheDataAndMakesOrFreesTheDestination) {
  TGraphicTool* source = NewFont();
  source->SetFontName("Tahoma");
  source->SetFontStyle(kFontBold | kFontUnderline);
  source->SetColor(0x00112233);
  TGraphicTool* copy = AssignTool(nullptr, source);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source);
  EXPECT_EQ(copy->Kind, TToolKind::Font);
  EXPECT_EQ(std::memcmp(&copy->ToolData, &source->ToolData, sizeof(TToolData)), 0);
  EXPECT_EQ(copy->FontStyle(), kFontBold | kFontUnderline);

  TGraphicTool* other = NewFont();
  HGDIOBJ oldHandle = other->GetToolHandle();
  ChangeLog log;
  log.watched = oldHandle;
  other->OnChange = MakeEvent<&ChangeLog::Changed>(&log);
  EXPECT_EQ(AssignTool(other, source), other);
  EXPECT_FALSE(log.handles.empty());
  EXPECT_EQ(GetObjectType(oldHandle), 0u);
  LOGFONTW made{};
  ASSERT_NE(GetObjectW(other->GetToolHandle(), sizeof made, &made), 0);
  EXPECT_EQ(ToUtf8(made.lfFaceName), "Tahoma");
  EXPECT_EQ(made.lfWeight, FW_BOLD);

  bool freed = false;
  other->AddFreeNotify(Destroyed, &freed);
  EXPECT_EQ(AssignTool(other, nullptr), nullptr);
  EXPECT_TRUE(freed);
  copy->Free();
  source->Free();
}

TEST(GraphicTool, FontSettersKeepTheFaceNameWithinTheLogfont) {
  TGraphicTool* font = NewFont();
  const std::string ascii29(29, 'a');
  // 31 UTF-16 units at most, and never the first half of a character.
  const struct {
    std::string given, kept;
  } names[] = {
      {"A very long face name that cannot fit in a LOGFONT", "A very long face name that cann"},
      {"Шрифт", "Шрифт"},
      {ascii29 + "😀", ascii29 + "😀"},
      {ascii29 + "b😀", ascii29 + "b"},
  };
  for (const auto& name : names) {
    font->SetFontName(name.given);
    EXPECT_EQ(ToUtf8(font->ToolData.Font.lfFaceName), name.kept);
  }
  font->SetFontStyle(kFontItalic | kFontStrikeOut);
  EXPECT_EQ(font->FontStyle(), kFontItalic | kFontStrikeOut);
  font->SetFontStyle(0);
  EXPECT_EQ(font->ToolData.Font.lfWeight, 0);
  font->SetFontCharset(RUSSIAN_CHARSET);
  EXPECT_EQ(font->ToolData.Font.lfCharSet, RUSSIAN_CHARSET);
  // A brush ignores font setters rather than corrupting its own fields.
  TGraphicTool* brush = NewBrush();
  const TToolData before = brush->ToolData;
  brush->SetFontName("Tahoma");
  EXPECT_EQ(std::memcmp(&before, &brush->ToolData, sizeof before), 0);
  brush->Free();
  font->Free();
}

TEST(GraphicTool, ChangedSystemColourGivesTheNextHandleTheNewColour) {
  TGraphicTool* brush = NewBrush();
  brush->SetColor(0x80000000 | COLOR_INFOBK);
  const COLORREF saved = GetSysColor(COLOR_INFOBK);
  const COLORREF changed = saved == RGB(1, 2, 3) ? RGB(4, 5, 6) : RGB(1, 2, 3);
  EXPECT_EQ(BrushColor(brush->GetToolHandle()), saved);

  const INT element = COLOR_INFOBK;
  ASSERT_TRUE(SetSysColors(1, &element, &changed));
  HGDIOBJ remade = brush->GetToolHandle();
  const COLORREF remadeColor = BrushColor(remade);
  const COLORREF resolved = brush->ResolvedColor;
  SetSysColors(1, &element, &saved);

  EXPECT_EQ(remadeColor, changed);
  EXPECT_EQ(resolved, changed);
  EXPECT_EQ(GetSysColor(COLOR_INFOBK), saved);
  brush->Free();
}

TEST(GraphicTool, ResolveColorReadsSystemColoursAndMasksRgb) {
  EXPECT_EQ(ResolveColor(0xFF00000F), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ResolveColor(0x80000005), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ResolveColor(0x00808080), 0x00808080u);
  EXPECT_EQ(ResolveColor(0x1FFFFFFF), 0x00FFFFFFu);
}

TEST(GraphicTool, FreedToolsLeaveNoGdiObjectBehind) {
  TGraphicTool* brush = NewBrush();
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, nullptr);
  brush->SetBrushBitmap(pattern);
  HGDIOBJ brushHandle = brush->GetToolHandle();
  ASSERT_EQ(GetObjectType(brushHandle), static_cast<DWORD>(OBJ_BRUSH));
  // A copy owns a bitmap of its own, so each tool deletes exactly its own.
  TGraphicTool* copy = AssignTool(nullptr, brush);
  HBITMAP copied = copy->ToolData.Brush.Bitmap;
  ASSERT_NE(copied, nullptr);
  EXPECT_NE(copied, pattern);
  HGDIOBJ copyHandle = copy->GetToolHandle();

  HBITMAP replacement = CreateBitmap(8, 8, 1, 1, nullptr);
  copy->SetBrushBitmap(replacement);
  EXPECT_EQ(GetObjectType(copied), 0u);
  EXPECT_EQ(GetObjectType(copyHandle), 0u);

  TGraphicTool* font = NewFont();
  TGraphicTool* pen = NewPen();
  HGDIOBJ fontHandle = font->GetToolHandle();
  HGDIOBJ penHandle = pen->GetToolHandle();
  brush->Free();
  copy->Free();
  font->Free();
  pen->Free();
  for (HGDIOBJ gone : {brushHandle, static_cast<HGDIOBJ>(pattern),
                       static_cast<HGDIOBJ>(replacement), fontHandle, penHandle}) {
    EXPECT_EQ(GetObjectType(gone), 0u);
  }
}

TEST(GraphicTool, AToolGdiRefusesKeepsHandleZero) {
  TGraphicTool* brush = NewBrush();
  brush->SetBrushStyle(kBrushHatched + 100);  // no such hatch style
  EXPECT_EQ(brush->GetToolHandle(), nullptr);
  EXPECT_EQ(brush->ToolHandle, nullptr);
  brush->SetBrushStyle(kBrushHatched + HS_CROSS);
  EXPECT_EQ(GetObjectType(brush->GetToolHandle()), static_cast<DWORD>(OBJ_BRUSH));
  brush->Free();
}
