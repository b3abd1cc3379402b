#include "str_cat_delim.h"

void TKVStrCatDelim::doStrCat(TData& data, uint16_t) {
  const std::string first = ReadString(data, Str1Link, Str1);
  const std::string second = ReadString(data, Str2Link, Str2);
  const std::string delimiter = ReadString(data, DelimiterLink, Delimiter);
  result_ = first + delimiter + second;
  TailString(data, onStrCat, result_);
}

void TKVStrCatDelim::Result(TData& data, uint16_t) {
  SetString(data, result_);
}
