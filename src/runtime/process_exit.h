// Ending the process in its one orderly way: the exit procedures, the unit
// finalisations, the report of a run-time error, then ExitProcess.
#pragma once

#include <cstdint>

// Run-time error numbers the run-time raises itself.
constexpr uint16_t kHeapOverflowFault = 203;
constexpr uint16_t kInvalidPointerFault = 204;
constexpr uint16_t kUnhandledExceptionFault = 217;

extern int32_t ProcessExitCode;
extern uint16_t FaultNumber;
// Where the failure happened; none for a normal exit.
extern const void* FaultAddress;

using TExitProc = void (*)();
// Registers an exit procedure; at exit the newest runs first.
void AddExitProc(TExitProc procedure);

// Sets the exit code (low 8 bits), runs the exit steps and ends the process.
// Called again from an exit step, it goes on with the steps still to run.
[[noreturn]] void EndProcess(int32_t code);
// Run-time error `number` at the caller's address.
[[noreturn]] void RaiseFault(uint16_t number);
// Run-time error `number` at the call of the function that calls this: for
// run-time routines that report their caller's mistake.
[[noreturn]] void RaiseCallerFault(uint16_t number);
// Run-time error `number` at `address`; `frame` (may be none) starts the
// back-trace: a frame pointer whose words are the saved frame pointer and the
// return address.
[[noreturn]] void RaiseFaultAt(uint16_t number, const void* address, const void* frame);
