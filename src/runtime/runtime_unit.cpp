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

// libstdc++'s default terminate handler, replaced wherever the run-time unit
// is linked: its own prints the exception's demangled type, which brings the
// whole C++ demangler (some 45 KB) into a program that has no console to
// show it. Before the run-time's handler is set, an escaped exception ends
// the same way as after.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  TerminateAsFault();
}
}  // namespace __gnu_cxx

void RuntimeInitialization() {
  SetUnhandledExceptionFilter(RuntimeExceptionFilter);
  std::set_terminate(TerminateAsFault);
}
