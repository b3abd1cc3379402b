#include "error_output.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

TErrorOutput ErrorOutputBuffer;

void TErrorOutput::Write(std::string_view text) {
  while (!text.empty()) {
    const size_t part = std::min(kBufferSize - count_, text.size());
    std::memcpy(buffer_ + count_, text.data(), part);
    count_ += part;
    text.remove_prefix(part);
    if (count_ == kBufferSize) Show();
  }
  if (EndsWithEmptyLine()) Show();
}

void TErrorOutput::Close() {
  if (count_ > 0) Show();
}

bool TErrorOutput::EndsWithEmptyLine() const {
  if (count_ < 4) return false;
  for (size_t i = count_ - 4; i < count_; ++i) {
    if (buffer_[i] != '\r' && buffer_[i] != '\n') return false;
  }
  return true;
}

void TErrorOutput::Show() {
  // Emptied before the box: whatever runs while it is up (a fault inside the
  // box included) may write again.
  char text[kBufferSize + 1];
  std::memcpy(text, buffer_, count_);
  text[count_] = '\0';
  count_ = 0;
  MessageBoxA(nullptr, text, "Error", MB_OK);
}
