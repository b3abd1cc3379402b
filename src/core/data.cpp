#include "data.h"

#include <bit>
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

// An unsigned integer wide enough for the exact value of any double scaled to
// a whole number: 2^1024 at the top, 2^53 * 5^1074 (2547 bits) at the bottom.
// Exact digits by plain long arithmetic, instead of std::to_chars, whose
// tables and printf fallback made up a quarter of the program.
class TBigNumber {
 public:
  explicit TBigNumber(uint64_t value) {
    limbs[0] = static_cast<uint32_t>(value);
    limbs[1] = static_cast<uint32_t>(value >> 32);
    count = limbs[1] ? 2 : 1;
  }

  void MultiplyBy(uint32_t factor) {
    uint64_t carry = 0;
    for (int i = 0; i < count; ++i) {
      carry += static_cast<uint64_t>(limbs[i]) * factor;
      limbs[i] = static_cast<uint32_t>(carry);
      carry >>= 32;
    }
    if (carry) limbs[count++] = static_cast<uint32_t>(carry);
  }

  void MultiplyByPowerOf5(int power) {
    constexpr uint32_t k5To13 = 1220703125;  // the largest power of 5 in 32 bits
    for (; power >= 13; power -= 13)
      MultiplyBy(k5To13);
    uint32_t rest = 1;
    for (; power > 0; --power)
      rest *= 5;
    MultiplyBy(rest);
  }

  void ShiftLeft(int bits) {
    const int whole = bits / 32;
    const int part = bits % 32;
    limbs[count] = 0;
    for (int i = count; i >= 0; --i) {
      const uint32_t low = i > 0 && part ? limbs[i - 1] >> (32 - part) : 0;
      limbs[i + whole] = (part ? limbs[i] << part : limbs[i]) | low;
    }
    for (int i = 0; i < whole; ++i)
      limbs[i] = 0;
    count += whole + 1;
    while (count > 1 && limbs[count - 1] == 0)
      --count;
  }

  // Divides in place and answers the remainder.
  uint32_t DivideBy(uint32_t divisor) {
    uint64_t remainder = 0;
    for (int i = count - 1; i >= 0; --i) {
      const uint64_t part = (remainder << 32) | limbs[i];
      limbs[i] = static_cast<uint32_t>(part / divisor);
      remainder = part % divisor;
    }
    while (count > 1 && limbs[count - 1] == 0)
      --count;
    return static_cast<uint32_t>(remainder);
  }

  bool IsZero() const { return count == 1 && limbs[0] == 0; }

 private:
  uint32_t limbs[82];
  int count;
};

// Every decimal digit of number, most significant first; answers how many.
int WriteDigits(TBigNumber& number, char* out) {
  constexpr int kChunkDigits = 9;
  char reversed[800];
  int length = 0;
  do {
    uint32_t chunk = number.DivideBy(1000000000);
    for (int i = 0; i < kChunkDigits; ++i, chunk /= 10)
      reversed[length++] = static_cast<char>('0' + chunk % 10);
  } while (!number.IsZero());
  while (length > 1 && reversed[length - 1] == '0')
    --length;
  for (int i = 0; i < length; ++i)
    out[i] = reversed[length - 1 - i];
  return length;
}

// Rounds the exact binary value, ties to even, in one step.
DecimalDigits ToDecimalDigits(double magnitude) {
  // magnitude = mantissa * 2^binaryExponent
  const uint64_t bits = std::bit_cast<uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int binaryExponent = -1074;
  if (biased) {
    mantissa |= uint64_t{1} << 52;
    binaryExponent = biased - 1075;
  }
  while (binaryExponent < 0 && !(mantissa & 1)) {
    mantissa >>= 1;
    ++binaryExponent;
  }
  // magnitude = number / 10^fractionDigits, all integers
  TBigNumber number(mantissa);
  int fractionDigits = 0;
  if (binaryExponent >= 0) {
    number.ShiftLeft(binaryExponent);
  } else {
    fractionDigits = -binaryExponent;
    number.MultiplyByPowerOf5(fractionDigits);
  }
  char all[800];
  const int length = WriteDigits(number, all);

  DecimalDigits out{};
  out.exponent = length - fractionDigits;
  for (int i = 0; i < kSignificantDigits; ++i)
    out.digits[i] = i < length ? all[i] : '0';
  if (length <= kSignificantDigits) return out;
  const char next = all[kSignificantDigits];
  bool roundUp = next > '5';
  if (next == '5') {
    bool beyondHalf = false;
    for (int i = kSignificantDigits + 1; i < length && !beyondHalf; ++i)
      beyondHalf = all[i] != '0';
    roundUp = beyondHalf || (out.digits[kSignificantDigits - 1] - '0') % 2 == 1;
  }
  if (!roundUp) return out;
  int at = kSignificantDigits - 1;
  for (; at >= 0 && out.digits[at] == '9'; --at)
    out.digits[at] = '0';
  if (at >= 0) {
    ++out.digits[at];
  } else {
    out.digits[0] = '1';  // 999...9 rounded up: one more integer digit
    ++out.exponent;
  }
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
