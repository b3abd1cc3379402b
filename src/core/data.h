// TData, the value record that travels along every link, with its
// constructors, chain handling and the conversions between integer, real and text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TKV_Event;

// Type codes of a TData. The continuation flag is added on top of one of them
// by a handler that asks the dispatcher to fire its continuation next.
enum TDataType : uint8_t {
  dtNull = 0,
  dtInteger = 1,
  dtString = 2,
  dtReal = 7,
  dtStream = 10,
  dtNoSource = 21,
};
constexpr uint8_t kContinueFlag = 128;

// Copying a TData copies it as a record: the text is copied, the chain pointer
// is shared. Chains are deep-copied and freed only by CopyChain and FreeChain.
struct TData {
  uint8_t type = dtNull;
  int32_t intValue = 0;
  std::string text;
  double realValue = 0.0;
  const TKV_Event* continuation = nullptr;
  TData* next = nullptr;
};

void SetNull(TData& data);
void SetInteger(TData& data, int32_t value);
void SetReal(TData& data, double value);
void SetString(TData& data, std::string_view value);
// The stream is owned by the component that wrote it; the record only points at it.
void SetStream(TData& data, void* stream);
void* StreamOf(const TData& data);

// dst becomes a record copy of src whose chain is a fresh copy of src's chain.
// dst's own chain is not freed: dst must not hold one it owns.
void CopyChain(TData& dst, const TData& src);
// Frees every element after data and clears data.next.
void FreeChain(TData& data);

std::string ToString(const TData& data);
int32_t ToInteger(const TData& data);
double ToReal(const TData& data);

std::string IntToText(int32_t value);
int32_t TextToInt(std::string_view text);
double TextToReal(std::string_view text);
std::string RealToText(double value);
// Nearest 64-bit integer, ties to even, cut to its low 32 bits.
int32_t RealToInt(double value);
