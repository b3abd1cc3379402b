// The unhandled-exception filter: its table from system exceptions to
// run-time errors, and the prefetch that is stepped over instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "fault_filter.h"

// The named codes and the two fallbacks: any other error code (both severity
// bits set) is 217, anything else 255.
TEST(FaultFilter, SystemExceptionsMapToTheirErrorNumbers) {
  const struct {
    DWORD code;
    uint16_t number;
  } kTable[] = {
      {EXCEPTION_FLT_DIVIDE_BY_ZERO, 200},
      {EXCEPTION_STACK_OVERFLOW, 202},
      {EXCEPTION_FLT_DENORMAL_OPERAND, 206},
      {EXCEPTION_FLT_STACK_CHECK, 207},
      {EXCEPTION_INT_OVERFLOW, 215},
      {EXCEPTION_ILLEGAL_INSTRUCTION, 216},
      {STATUS_CONTROL_C_EXIT, 217},
      {EXCEPTION_PRIV_INSTRUCTION, 218},
      {0xE06D7363, 217},
      {0x80000003, 255},
      {0x0EEDFADE, 255},
  };
  for (const auto& entry : kTable) {
    EXPECT_EQ(FaultNumberOfException(entry.code), entry.number) << std::hex << entry.code;
  }
}

TEST(FaultFilter, PrefetchLengthDecodesTheOperand) {
  const struct {
    std::vector<uint8_t> code;
    int length;
  } kCases[] = {
      {{0x0F, 0x18, 0x00, 0x90}, 3},                    // prefetchnta [eax]
      {{0x0F, 0x0D, 0x08}, 3},                          // prefetchw [eax]
      {{0x0F, 0x18, 0x4C, 0x24, 0x08}, 5},              // prefetcht0 [esp+8]
      {{0x0F, 0x18, 0x80, 0x00, 0x01, 0x00, 0x00}, 7},  // [eax+256]
      {{0x0F, 0x18, 0x0D, 0x78, 0x56, 0x34, 0x12}, 7},  // [12345678h]
      {{0x3E, 0x0F, 0x18, 0x04, 0x25, 1, 2, 3, 4}, 9},  // ds: [disp32] through SIB
      {{0x67, 0x0F, 0x18, 0x06, 0x34, 0x12}, 6},        // 16-bit [disp16]
      {{0x67, 0x0F, 0x18, 0x47, 0x10}, 5},              // 16-bit [bx+16]
      {{0x0F, 0x19, 0x00}, 0},                          // not a prefetch
      {{0x8B, 0x00}, 0},                                // mov eax, [eax]
      {{0x0F, 0x18}, 0},                                // cut short
      {{0x0F, 0x18, 0x80, 0x00}, 0},                    // displacement cut short
  };
  for (const auto& entry : kCases) {
    EXPECT_EQ(PrefetchLength(entry.code.data(), static_cast<int>(entry.code.size())), entry.length)
        << std::hex << int(entry.code[0]) << " " << int(entry.code[1]);
  }
}

// An access violation raised by a prefetch continues after the instruction.
TEST(FaultFilter, FaultingPrefetchIsSteppedOver) {
  const uint8_t code[] = {0x0F, 0x18, 0x40, 0x08, 0x90};  // prefetchnta [eax+8]; nop
  EXCEPTION_RECORD record{};
  record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  record.ExceptionAddress = const_cast<uint8_t*>(code);
  CONTEXT context{};
  context.Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(code));
  EXCEPTION_POINTERS pointers{&record, &context};
  for (int i = 0; i < 2 * kMaxExceptionsInHandling; ++i) {
    context.Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(code));
    ASSERT_EQ(RuntimeExceptionFilter(&pointers), EXCEPTION_CONTINUE_EXECUTION);
    EXPECT_EQ(context.Eip, reinterpret_cast<uintptr_t>(code) + 4);
  }
}
