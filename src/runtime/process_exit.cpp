#include "process_exit.h"

#include <windows.h>

#include "units.h"

int32_t ProcessExitCode = 0;

void EndProcess(int32_t code) {
  ProcessExitCode = code & 0xFF;
  FinalizeUnits();
  ExitProcess(static_cast<UINT>(ProcessExitCode));
}
