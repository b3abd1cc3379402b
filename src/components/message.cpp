#include "message.h"

#include <iterator>

#include "app.h"
#include "text_conv.h"

namespace {

// Indexed by the enumerations; values outside a table add nothing.
constexpr UINT kButtonStyles[] = {MB_OK,          MB_OKCANCEL,    MB_YESNO,
                                  MB_YESNOCANCEL, MB_RETRYCANCEL, MB_ABORTRETRYIGNORE};
constexpr UINT kIconStyles[] = {0, MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION,
                                MB_ICONASTERISK};
constexpr UINT kDefaultButtonStyles[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};

template <size_t N>
UINT StyleAt(const UINT (&table)[N], uint8_t index) {
  return index < N ? table[index] : 0;
}

}  // namespace

UINT TKVMessage::Style() const {
  return StyleAt(kButtonStyles, Buttons) + StyleAt(kIconStyles, Icon) +
         StyleAt(kDefaultButtonStyles, DefaultButton);
}

void TKVMessage::doMessage(TData& data, uint16_t) {
  const std::string text = ReadString(data, TextLink, Text);
  const std::string caption = ReadString(data, CaptionLink, Caption);
  // Modal to the window the user works in: a second click behind the box
  // cannot open another one. An empty caption is passed as "", never as null,
  // which would show "Error".
  const TModalScope modal;
  const int answer =
      MessageBoxW(modal.Owner(), ToWstr(text).c_str(), ToWstr(caption).c_str(), Style());
  FireInteger(onResult, answer);
  if (const TKV_Event* button = ButtonEvent(answer)) TailNull(data, *button);
}

const TKV_Event* TKVMessage::ButtonEvent(int answer) const {
  switch (answer) {
    case IDOK:
      return &onOK;
    case IDCANCEL:
      return &onCancel;
    case IDABORT:
      return &onAbort;
    case IDRETRY:
      return &onRetry;
    case IDIGNORE:
      return &onIgnore;
    case IDYES:
      return &onYes;
    case IDNO:
      return &onNo;
    default:
      return nullptr;
  }
}
