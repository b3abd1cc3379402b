// The error output: text collects in a 1024-character buffer and is shown in a
// message box captioned "Error" (or handed to a sink) when the buffer fills,
// when the text ends with an empty line, and on close. It is UTF-16
// throughout, as the box takes it: the run-time sits below the library that
// converts texts.
#pragma once

#include <cstddef>
#include <string_view>

// Where shown text goes in place of the box: a run that nobody watches must
// not stop at one.
using TErrorSink = void (*)(std::wstring_view text);

class TErrorOutput {
 public:
  static constexpr size_t kBufferSize = 1024;

  // Appends the text. A full buffer is shown and emptied, and the rest of the
  // text goes on into the next box, so a long report arrives in parts; a
  // character of two UTF-16 units is never split between two boxes.
  void Write(std::wstring_view text);
  // Shows whatever text is left.
  void Close();
  // The text written and not shown yet.
  [[nodiscard]] std::wstring_view Pending() const { return {buffer_, count_}; }

  // None: a box shows the text.
  TErrorSink Sink = nullptr;

 private:
  [[nodiscard]] bool EndsWithEmptyLine() const;
  void Show();

  wchar_t buffer_[kBufferSize] = {};
  size_t count_ = 0;
};

// The process's error output, where fault reports go.
extern TErrorOutput ErrorOutputBuffer;
