// TKVLED: a small round or square lamp drawn with GDI, lit once by doOn and
// never turned off again.
#pragma once

#include <windows.h>

#include <cstdint>

#include "event.h"
#include "kv_win.h"

class TKVLED : public TKVWin {
 public:
  using TKVWin::TKVWin;
  ~TKVLED() override;

  // Input point: lights the lamp and fires onChange with 1, the first time only.
  void doOn(TData& data, uint16_t index);

  void HandleResize(TObj* sender) override;
  void Init() override;

  uint32_t ColorOn = 0;
  uint32_t ColorOff = 0;
  uint32_t ColorLight = 0;  // the small highlight while lit
  bool On = false;
  uint8_t Shape = 0;  // 0 round, 1 square; anything else a plain filled rectangle
  bool Bevel = false;
  // Made by Init, deleted by the destructor.
  HPEN GreyPen = nullptr;
  HPEN WhitePen = nullptr;
  HPEN UnlitPen = nullptr;
  HPEN LightPen = nullptr;
  HPEN WhitePen2 = nullptr;  // 2 px
  HPEN LitPen2 = nullptr;    // 2 px
  HBRUSH LitBrush = nullptr;
  HBRUSH UnlitBrush = nullptr;
  TKV_Event onChange;
  TKV_Event onClick;

 private:
  void MakeTools();
  void HandleClick(TObj* sender);
  void Paint(TControl* sender, HDC dc);
  void PaintSquareBevel(HDC dc, RECT rect);
  void PaintRoundBevel(HDC dc, RECT rect);
};
