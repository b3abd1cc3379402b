#include "kv_math.h"

#include <numbers>

void TKVMath::doAdd(TData& data, uint16_t) {
  const double first = ReadReal(data, Op1Link, Op1);
  const double second = ReadReal(data, Op2Link, Op2);
  error_ = false;
  result_ = first + second;
  FireResult();
}

void TKVMath::doDivide(TData& data, uint16_t) {
  const double first = ReadReal(data, Op1Link, Op1);
  const double second = ReadReal(data, Op2Link, Op2);
  if (second == 0.0) {
    error_ = true;
    result_ = default_;
    FireNull(onError);
    return;
  }
  error_ = false;
  result_ = first / second;
  FireResult();
}

void TKVMath::Result(TData& data, uint16_t) {
  if (error_) {
    SetNull(data);
  } else if (ResultType == 0) {
    SetInteger(data, RealToInt(result_));
  } else {
    SetReal(data, result_);
  }
}

void TKVMath::SetDefault(double value) {
  default_ = value;
  result_ = value;
  error_ = false;
}

void TKVMath::SetAngleMode(bool degrees) {
  angleFactor_ = degrees ? std::numbers::pi / 180.0 : 1.0;
}

void TKVMath::FireResult() {
  if (ResultType == 0) {
    FireInteger(onResult, RealToInt(result_));
  } else {
    FireReal(onResult, result_);
  }
}
