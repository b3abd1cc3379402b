// TKVLabel: a static text that may change colour and underline itself while
// the mouse is over it.
#pragma once

#include <cstdint>
#include <string>

#include "event.h"
#include "kv_win.h"

class TKVLabel : public TKVWin {
 public:
  // Makes the static control at once, so AutoSize and Alignment may be set before Init.
  explicit TKVLabel(TControl* parent);

  // The control sizes itself to its text.
  void SetAutoSize(bool on);
  // 0 left, 1 centre, 2 right; anything else changes nothing.
  void SetAlignment(int32_t alignment);

  void HandleMouseEnter(TObj* sender) override;
  void HandleMouseLeave(TObj* sender) override;
  void Init() override;

  TKV_Event onClick;
  uint32_t HoverColor = 0;  // 0: the colour stays
  bool HoverUnderline = false;
  std::string Caption;

 private:
  void HandleClick(TObj* sender);
  void SetUnderline(bool on);
};
