// TKVMath: one arithmetic operation on two operands, the result passed on as
// an integer or a real and kept as a data output.
#pragma once

#include <cstdint>

#include "component.h"
#include "event.h"

class TKVMath : public TKVComponent {
 public:
  // Input events: read Op1, then Op2, so an incoming chain fills the unlinked
  // operands whose property is 0.0 in that order.
  void doAdd(TData& data, uint16_t index);
  // By zero: the result becomes Default, onError fires and onResult stays silent.
  void doDivide(TData& data, uint16_t index);
  // Data output: null after a division by zero, else the last result by ResultType.
  void Result(TData& data, uint16_t index);

  // Also resets the result and clears the error.
  void SetDefault(double value);
  // Kept for the angle operations; neither operation here uses it.
  void SetAngleMode(bool degrees);

  // 0 addition, 3 division: the point the scheme links this instance through.
  uint8_t Operation = 0;
  double Op1 = 0.0;
  double Op2 = 0.0;
  // 0: results go out as integers, rounded with ties to even; else as reals.
  uint8_t ResultType = 0;
  TKV_Event onResult;
  TKV_Event onError;
  TKV_Event Op1Link;
  TKV_Event Op2Link;

 private:
  void FireResult();

  bool error_ = false;
  double result_ = 0.0;
  double default_ = 0.0;
  double angleFactor_ = 1.0;
};
