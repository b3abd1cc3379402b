#include "error_output.h"

#include <windows.h>

#include <algorithm>

TErrorOutput ErrorOutputBuffer;

namespace {

// As much of the text as the room takes, short of the first half of a
// surrogate pair whose second half would not fit.
size_t WholeCharacters(std::wstring_view text, size_t room) {
  if (text.size() <= room) return text.size();
  const wchar_t last = text[room - 1];
  return last >= 0xD800 && last <= 0xDBFF ? room - 1 : room;
}

}  // namespace

void TErrorOutput::Write(std::wstring_view text) {
  while (!text.empty()) {
    const size_t part = WholeCharacters(text, kBufferSize - count_);
    std::copy_n(text.data(), part, buffer_ + count_);
    count_ += part;
    text.remove_prefix(part);
    // Full, or the next character does not fit.
    if (count_ == kBufferSize || !text.empty()) Show();
  }
  if (EndsWithEmptyLine()) Show();
}

void TErrorOutput::Close() {
  if (count_ > 0) Show();
}

bool TErrorOutput::EndsWithEmptyLine() const {
  if (count_ < 4) return false;
  for (size_t i = count_ - 4; i < count_; ++i) {
    if (buffer_[i] != L'\r' && buffer_[i] != L'\n') return false;
  }
  return true;
}

void TErrorOutput::Show() {
  // Emptied before the box: whatever runs while it is up (a fault inside the
  // box included) may write again.
  wchar_t text[kBufferSize + 1];
  std::copy_n(buffer_, count_, text);
  text[count_] = L'\0';
  const size_t count = count_;
  count_ = 0;
  if (Sink) {
    Sink({text, count});
  } else {
    MessageBoxW(nullptr, text, L"Error", MB_OK);
  }
}
