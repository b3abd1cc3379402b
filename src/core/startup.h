// The program's spine: the units, the "/ih" switch, the scheme, the start step
// and teardown, in that order.
#pragma once

#include <cstdint>

#include <windows.h>

// The number RegisterWindowMessageA gives the window message "inner message".
extern UINT InnerMessageId;

[[noreturn]] void ProgramBody();
