// The program's spine: the units, the "/ih" switch, the scheme, the start step
// and teardown, in that order.
#pragma once

#include <cstdint>

#include <windows.h>

[[noreturn]] void ProgramBody();
