// The two clickable window components: TKVButton, a system push button, and
// TKVBitBtn, an owner-drawn button with a glyph, a flat look and a grey
// glyph when disabled. Both fire onClick with a copy of their Data.
#pragma once

#include <cstdint>
#include <string>

#include "bitmap.h"
#include "data.h"
#include "event.h"
#include "kv_win.h"

class TKVButton : public TKVWin {
 public:
  using TKVWin::TKVWin;

  void Init() override;

  TKV_Event onClick;
  TData Data;
  std::string Caption;
  bool Default = false;  // pressed by Enter on the form

 private:
  void HandleClick(TObj* sender);
};

class TKVBitBtn : public TKVWin {
 public:
  explicit TKVBitBtn(TControl* parent);
  ~TKVBitBtn() override;

  void Init() override;
  // Input point: the incoming value, as text, becomes the window text; Caption stays.
  void doCaption(TData& data, uint16_t index);

  TBitmap* Glyph = nullptr;          // owned, empty until given a picture
  TBitmap* DisabledGlyph = nullptr;  // owned, the grey copy made by the first disabled drawing
  TKV_Event onClick;
  std::string Caption;
  TData Data;
  bool HideFrame = false;   // flat look: no thin frame in the normal state
  uint32_t FrameColor = 0;  // that frame's colour

 private:
  void HandleClick(TObj* sender);
  // state: 0 normal, 1 pressed, 2 disabled, 3 focused, 4 hot.
  bool Draw(TControl* sender, int state);
  void DrawBackground(TCanvas* canvas, HDC dc, const RECT& rect, int state);
  void DrawFocus(HDC dc);
  void MakeDisabledGlyph();
};
