// Turns the system exceptions that nobody handled into run-time errors.
#pragma once

#include <windows.h>

#include <cstdint>

// At most this many exceptions are turned into errors while earlier ones are
// still being handled; beyond, the system gets them.
constexpr LONG kMaxExceptionsInHandling = 16;

// The run-time error number for a system exception code.
[[nodiscard]] uint16_t FaultNumberOfException(DWORD code);
// The length of the instruction at `code` when it is a prefetch (0F 0D or
// 0F 18 after any prefixes), else 0. `count` bytes are readable there.
[[nodiscard]] int PrefetchLength(const uint8_t* code, int count);
// The unhandled-exception filter: steps over a prefetch that faulted, passes
// on what exceeds the limit, and resumes the faulting thread in a raise of the
// run-time error, at the faulting instruction, for anything else.
LONG WINAPI RuntimeExceptionFilter(EXCEPTION_POINTERS* pointers);
