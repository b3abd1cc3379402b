// Ending the process in its one orderly way: exit steps, then ExitProcess.
#pragma once

#include <cstdint>

extern int32_t ProcessExitCode;

// Sets the exit code (low 8 bits), runs the exit steps and ends the process.
[[noreturn]] void EndProcess(int32_t code);
