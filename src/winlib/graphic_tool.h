// TGraphicTool: a brush, font or pen kept as 96 bytes of plain data, whose GDI
// object is made only when a handle is asked for; plus the library's colour rule.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "obj.h"

// Colours: with the top bit set the low byte is a system colour index
// (0x8000000F and 0xFF00000F are both the button face); otherwise 0x00BBGGRR.
[[nodiscard]] uint32_t ResolveColor(uint32_t color);

enum class TToolKind : uint8_t { Brush = 0, Font = 1, Pen = 2 };

// Brush styles: solid, clear, and kBrushHatched + HS_* for the hatched ones.
constexpr uint8_t kBrushSolid = 0;
constexpr uint8_t kBrushClear = 1;
constexpr uint8_t kBrushHatched = 2;

// Font style bits, as the visual components give them.
constexpr uint8_t kFontBold = 1;
constexpr uint8_t kFontItalic = 2;
constexpr uint8_t kFontUnderline = 4;
constexpr uint8_t kFontStrikeOut = 8;

#pragma pack(push, 1)
// The pattern bitmap of a brush or pen belongs to the tool and goes with it.
struct TBrushData {
  HBITMAP Bitmap;
  uint8_t Style;
  uint32_t LineColor;  // the colour of a hatched brush's lines
};
struct TPenData {
  HBITMAP Bitmap;
  uint8_t BrushStyle;  // unused by a pen; keeps the brush layout in front
  uint8_t Style;       // PS_*
  int32_t Width;
  uint8_t Mode;  // the R2_* code minus one
};
// Two tools are equal when these 96 bytes are equal byte for byte, so every
// unused byte is kept zero. The font is the UTF-16 LOGFONTW: a face name of
// up to 31 UTF-16 units.
struct TToolData {
  uint32_t Color;
  union {
    TBrushData Brush;
    LOGFONTW Font;
    TPenData Pen;
  };
};
#pragma pack(pop)
static_assert(sizeof(TToolData) == 96, "a tool's data are the colour and a LOGFONTW");
static_assert(offsetof(TToolData, Pen) + offsetof(TPenData, Style) == 9,
              "pen style after bitmap and brush style");

class TGraphicTool;
using TMakeToolHandle = void (*)(TGraphicTool* tool);
using TNewTool = TGraphicTool* (*)();

class TGraphicTool : public TObj {
 public:
  // The handle, made on demand: shared from Template when its data are equal,
  // remade when the system colour it was made with has changed. A font's
  // handle is shared by every font of the same LOGFONT and lives while any of
  // them holds it. 0 when GDI refuses (such a tool draws nothing).
  [[nodiscard]] HGDIOBJ GetToolHandle();
  // Drops the handle (telling OnChange first, so the owner can deselect it),
  // then tells OnChange again.
  void Changed();

  // Setters: nothing when the value is already there, else store and Changed.
  void SetColor(uint32_t color);
  // A 32-bit field of ToolData by its byte offset (0 is Color).
  void SetToolInt(uint32_t offset, uint32_t value);
  void SetToolData(const TToolData& data);
  // Brush.
  void SetBrushStyle(uint8_t style);
  // Takes ownership of the bitmap; the one held before is deleted.
  void SetBrushBitmap(HBITMAP bitmap);
  void SetBrushLineColor(uint32_t color);
  // Font.
  // UTF-8; at most 31 UTF-16 units are kept, never half a character.
  void SetFontName(std::string_view name);
  void SetFontHeight(int32_t height);
  void SetFontStyle(uint8_t style);  // kFontBold | kFontItalic | ...
  [[nodiscard]] uint8_t FontStyle() const;
  void SetFontCharset(uint8_t charset);
  // Pen.
  void SetPenStyle(uint8_t style);
  void SetPenWidth(int32_t width);
  void SetPenMode(uint8_t rop2);  // takes the R2_* code itself

  TToolKind Kind = TToolKind::Brush;
  // Owned unless it came from Template (then this stays 0); for a font, one
  // hold on the shared handle.
  HGDIOBJ ToolHandle = nullptr;
  // Borrowed: a tool whose handle may be shared when the data are equal.
  TGraphicTool* Template = nullptr;
  // Sets Template and keeps it from outliving the template: when the template
  // is freed first, Template goes back to none.
  void FollowTemplate(TGraphicTool* templ);
  // Told (data, this tool) when the tool changes.
  TOnEvent OnChange;
  uint32_t ResolvedColor = 0;
  TToolData ToolData{};
  TNewTool NewSameKind = nullptr;
  TMakeToolHandle MakeHandle = nullptr;

 protected:
  ~TGraphicTool() override;

 private:
  void DropHandle();
  // Applies edit to a copy of the data and stores it, for a tool of that kind only.
  template <class Edit>
  void EditData(TToolKind kind, Edit edit) {
    if (Kind != kind) return;
    TToolData data = ToolData;
    edit(data);
    SetToolData(data);
  }
};

[[nodiscard]] TGraphicTool* NewBrush();  // also installs ControlBrushProc
[[nodiscard]] TGraphicTool* NewFont();   // a copy of DefaultFont
[[nodiscard]] TGraphicTool* NewPen();

// Copies source into destination and answers destination. A missing
// destination is made of the source's kind; without a source the destination
// is freed and the answer is none. The same tool, or one of the same kind and
// data (which holds or would make the same handle), changes nothing and
// notifies nobody.
[[nodiscard]] TGraphicTool* AssignTool(TGraphicTool* destination, TGraphicTool* source);

// The font data every new font copies: colour COLOR_WINDOWTEXT, DEFAULT_CHARSET,
// "MS Sans Serif", all else zero.
extern TToolData DefaultFont;

// The brush a control answers WM_CTLCOLOR* and erases a form with: the
// control's brush takes its parent's brush as Template and its handle is
// answered. None until the first NewBrush; the parent's brush may be none.
using TControlBrushProc = HBRUSH (*)(TGraphicTool* brush, TGraphicTool* parentBrush);
extern TControlBrushProc ControlBrushProc;
