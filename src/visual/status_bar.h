// TKVStatusBar: drives the status bar of its form through the form control's
// status operations: an initial text, optional fixed parts, and a list of
// texts of which doText shows one. It owns no window of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "component.h"
#include "control.h"
#include "event.h"
#include "str_list.h"

class TKVStatusBar : public TKVComponent {
 public:
  // parent: the form control that carries the bar.
  explicit TKVStatusBar(TControl* parent);
  ~TKVStatusBar() override;
  TKVStatusBar(const TKVStatusBar&) = delete;
  TKVStatusBar& operator=(const TKVStatusBar&) = delete;

  // One part per line, "name=width"; makes the bar, showing Text in simple mode.
  void SetParts(std::string_view text);
  // Strings becomes the lines of text.
  void SetStrings(std::string_view text);
  // Input point: line n of Strings (n the incoming value) into part p (read
  // through Index), or into the simple-mode text when p is the part count.
  void doText(TData& data, uint16_t index);

  TStrList* Strings = nullptr;  // owned
  TControl* Parent = nullptr;   // none once the form control is gone
  bool SizeGrip = false;
  std::string Text;
  int32_t Alignment = 0;  // tabs before every text: 0 left, 1 centre, 2 right
  bool Visible = false;
  TKV_Event onText;
  TKV_Event Index;  // data input: the part for doText

 private:
  [[nodiscard]] std::string Prefix() const;
  [[nodiscard]] bool ParentAlive() const;
  static void ForgetParent(void* data, TObj* sender);
};
