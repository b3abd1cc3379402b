// TKVMessage: shows a modal Windows message box and reports the button pressed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "component.h"
#include "event.h"

class TKVMessage : public TKVComponent {
 public:
  // Input event: reads Text, then Caption; fires onResult with what the box
  // returned, then the event of the button pressed (none when it returned 0).
  void doMessage(TData& data, uint16_t index);
  // Buttons, Icon and DefaultButton as the style word the box is shown with.
  [[nodiscard]] UINT Style() const;

  std::string Text;
  std::string Caption;
  // 0 OK, 1 OK/Cancel, 2 Yes/No, 3 Yes/No/Cancel, 4 Retry/Cancel, 5 Abort/Retry/Ignore.
  uint8_t Buttons = 0;
  // 0 none, 1 hand, 2 question, 3 exclamation, 4 asterisk.
  uint8_t Icon = 0;
  // 0 first, 1 second, 2 third.
  uint8_t DefaultButton = 0;
  TKV_Event TextLink;
  TKV_Event CaptionLink;
  TKV_Event onResult;
  TKV_Event onOK;
  TKV_Event onCancel;
  TKV_Event onAbort;
  TKV_Event onRetry;
  TKV_Event onIgnore;
  TKV_Event onYes;
  TKV_Event onNo;

 private:
  // The output of a MessageBoxW answer; null for 0 and anything unknown.
  const TKV_Event* ButtonEvent(int answer) const;
};
