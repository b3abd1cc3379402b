#include "runtime_unit.h"

#include <windows.h>

#include <exception>

#include "fault_filter.h"
#include "process_exit.h"

namespace {

// A C++ exception that nobody caught ends the process as a run-time error,
// with the one report, instead of the C runtime's abort.
[[noreturn]] void TerminateAsFault() {
  RaiseFault(kUnhandledExceptionFault);
}

}  // namespace

void RuntimeInitialization() {
  SetUnhandledExceptionFilter(RuntimeExceptionFilter);
  std::set_terminate(TerminateAsFault);
}
