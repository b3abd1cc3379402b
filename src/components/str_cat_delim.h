// TKVStrCatDelim: joins two texts with a delimiter between them and keeps the
// last joined text as its data output.
#pragma once

#include <cstdint>
#include <string>

#include "component.h"
#include "event.h"

class TKVStrCatDelim : public TKVComponent {
 public:
  // Input event: reads Str1, Str2, then Delimiter, so an incoming chain fills
  // the unlinked inputs with empty properties in that order.
  void doStrCat(TData& data, uint16_t index);
  // Data output: the last joined text.
  void Result(TData& data, uint16_t index);

  std::string Delimiter;
  std::string Str1;
  std::string Str2;
  TKV_Event DelimiterLink;
  TKV_Event Str2Link;
  TKV_Event Str1Link;
  TKV_Event onStrCat;

 private:
  std::string result_;
};
