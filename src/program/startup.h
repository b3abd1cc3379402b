// The program's spine: the units, the "/ih" and "/auto" switches, the scheme,
// the start step, the window's loop or the unattended presses, and teardown.
#pragma once

#include <cstdint>

#include <windows.h>

[[noreturn]] void ProgramBody();
