// Text inside the program is UTF-8; Windows takes and gives UTF-16. These two
// are the only crossing, called where a text meets Windows and nowhere else.
#pragma once

#include <string>
#include <string_view>

// Invalid UTF-8 (a stray or missing continuation byte, an overlong form, an
// encoded surrogate, a code point past U+10FFFF) becomes U+FFFD, one for each
// broken sequence; everything after it still comes through.
[[nodiscard]] std::wstring ToWstr(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD; everything after it still comes through.
[[nodiscard]] std::string ToUtf8(std::wstring_view wide);
