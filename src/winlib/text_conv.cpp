#include "text_conv.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct SequenceStart {
  size_t length;
  char32_t bits;
  // The range the second byte must fall in: narrower after some leads, which
  // rules out overlong forms, surrogates and code points past U+10FFFF.
  unsigned char low, high;
};

// Zero length for a byte no sequence starts with.
SequenceStart StartOf(unsigned char lead) {
  if (lead < 0x80) return {1, lead, 0, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, lead & 0x1Fu, 0x80, 0xBF};
  if (lead == 0xE0) return {3, lead & 0x0Fu, 0xA0, 0xBF};
  if (lead == 0xED) return {3, lead & 0x0Fu, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, lead & 0x0Fu, 0x80, 0xBF};
  if (lead == 0xF0) return {4, lead & 0x07u, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, lead & 0x07u, 0x80, 0xBF};
  if (lead == 0xF4) return {4, lead & 0x07u, 0x80, 0x8F};
  return {0, 0, 0, 0};
}

// The code point that starts at text[at], and how many bytes it took. A
// broken sequence is replaced as far as it went right, at least one byte,
// so the next lead byte is never swallowed.
char32_t DecodeAt(std::string_view text, size_t at, size_t& taken) {
  const SequenceStart start = StartOf(static_cast<unsigned char>(text[at]));
  taken = 1;
  if (start.length == 0) return kReplacement;
  char32_t code = start.bits;
  for (size_t i = 1; i < start.length; ++i) {
    if (at + i >= text.size()) return kReplacement;
    const auto byte = static_cast<unsigned char>(text[at + i]);
    const unsigned char low = i == 1 ? start.low : 0x80;
    const unsigned char high = i == 1 ? start.high : 0xBF;
    if (byte < low || byte > high) return kReplacement;
    code = (code << 6) | (byte & 0x3Fu);
    taken = i + 1;
  }
  return code;
}

void AppendUtf16(std::wstring& out, char32_t code) {
  if (code < 0x10000) {
    out.push_back(static_cast<wchar_t>(code));
    return;
  }
  code -= 0x10000;
  out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
  out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

std::wstring ToWstr(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    size_t taken = 1;
    AppendUtf16(wide, DecodeAt(utf8, at, taken));
    at += taken;
  }
  return wide;
}

std::string ToUtf8(std::wstring_view wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (size_t at = 0; at < wide.size(); ++at) {
    const wchar_t c = wide[at];
    char32_t code = c;
    if (IsHighSurrogate(c) && at + 1 < wide.size() && IsLowSurrogate(wide[at + 1])) {
      code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (wide[++at] - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      code = kReplacement;
    }
    AppendUtf8(utf8, code);
  }
  return utf8;
}
