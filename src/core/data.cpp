#include "data.h"

#include <charconv>
#include <cmath>

void SetNull(TData& data) {
  data.type = dtNull;
  data.text.clear();
  data.continuation = nullptr;
  data.next = nullptr;
}

void SetInteger(TData& data, int32_t value) {
  SetNull(data);
  data.type = dtInteger;
  data.intValue = value;
}

void SetReal(TData& data, double value) {
  SetNull(data);
  data.type = dtReal;
  data.realValue = value;
}

void SetString(TData& data, std::string_view value) {
  data.text.assign(value);
  data.type = dtString;
  data.continuation = nullptr;
  data.next = nullptr;
}

void SetStream(TData& data, void* stream) {
  SetNull(data);
  data.type = dtStream;
  data.intValue = static_cast<int32_t>(reinterpret_cast<intptr_t>(stream));
}

void* StreamOf(const TData& data) {
  if (data.type != dtStream) return nullptr;
  return reinterpret_cast<void*>(static_cast<intptr_t>(data.intValue));
}

void CopyChain(TData& dst, const TData& src) {
  dst = src;
  TData* tail = &dst;
  for (const TData* from = src.next; from; from = from->next) {
    tail->next = new TData(*from);
    tail = tail->next;
  }
  tail->next = nullptr;
}

void FreeChain(TData& data) {
  TData* element = data.next;
  data.next = nullptr;
  while (element) {
    TData* following = element->next;
    delete element;
    element = following;
  }
}

std::string ToString(const TData& data) {
  switch (data.type) {
    case dtInteger:
      return IntToText(data.intValue);
    case dtString:
      return data.text;
    case dtReal:
      return RealToText(data.realValue);
    default:
      return {};
  }
}

int32_t ToInteger(const TData& data) {
  switch (data.type) {
    case dtInteger:
      return data.intValue;
    case dtString:
      return TextToInt(data.text);
    case dtReal:
      return RealToInt(data.realValue);
    default:
      return 0;
  }
}

double ToReal(const TData& data) {
  switch (data.type) {
    case dtInteger:
      return data.intValue;
    case dtString:
      return TextToReal(data.text);
    case dtReal:
      return data.realValue;
    default:
      return 0.0;
  }
}

std::string IntToText(int32_t value) {
  return std::to_string(value);
}

int32_t TextToInt(std::string_view text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Unsigned arithmetic: overflow wraps in 32 bits instead of being undefined.
  uint32_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

double TextToReal(std::string_view text) {
  if (text.empty()) return 0.0;
  size_t pos = 0;
  const bool negative = text[0] == '-';
  if (negative) pos = 1;

  double value = 0.0;
  double scale = 1.0;
  bool inFraction = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c >= '0' && c <= '9') {
      if (inFraction) {
        scale *= 0.1;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
    } else if (c == '.') {
      if (inFraction) break;
      inFraction = true;
    } else if (c == 'E' || c == 'e') {
      value *= std::pow(10.0, TextToInt(text.substr(pos + 1)));
      break;
    }
    // Anything else is skipped: "1,5" reads as 15, "12 MB" as 12.
  }
  return negative ? -value : value;
}

namespace {

constexpr int kSignificantDigits = 15;

// The value as 0.d1d2...d15 x 10^exponent, rounded to nearest with ties to even.
struct DecimalDigits {
  char digits[kSignificantDigits];
  int exponent;
};

DecimalDigits ToDecimalDigits(double magnitude) {
  // to_chars rounds the exact binary value, ties to even, in one step.
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific, kSignificantDigits - 1);
  // buffer now holds d.dddddddddddddde[+-]XX
  DecimalDigits out{};
  out.digits[0] = buffer[0];
  for (int i = 1; i < kSignificantDigits; ++i)
    out.digits[i] = buffer[i + 1];
  const char* exponentText = buffer + kSignificantDigits + 2;
  int exponent = 0;
  std::from_chars(exponentText + (*exponentText == '+' ? 1 : 0), result.ptr, exponent);
  out.exponent = exponent + 1;
  return out;
}

std::string LayOut(const DecimalDigits& d) {
  const std::string_view digits(d.digits, kSignificantDigits);
  if (d.exponent <= 0) {
    return "0." + std::string(-d.exponent, '0') + std::string(digits);
  }
  if (d.exponent < kSignificantDigits) {
    return std::string(digits.substr(0, d.exponent)) + "." + std::string(digits.substr(d.exponent));
  }
  return std::string(digits) + std::string(d.exponent - kSignificantDigits, '0');
}

void TrimFraction(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == '.') text.pop_back();
}

}  // namespace

std::string RealToText(double value) {
  if (value == 0.0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  std::string text = LayOut(ToDecimalDigits(std::fabs(value)));
  TrimFraction(text);
  return value < 0 ? "-" + text : text;
}

int32_t RealToInt(double value) {
  // Out of the 64-bit range the FPU answers the "integer indefinite"
  // 0x8000000000000000, whose low half is 0.
  if (!(std::fabs(value) < 9223372036854775808.0)) return 0;
  const auto rounded = static_cast<int64_t>(std::nearbyint(value));
  return static_cast<int32_t>(static_cast<uint64_t>(rounded) & 0xFFFFFFFFu);
}
