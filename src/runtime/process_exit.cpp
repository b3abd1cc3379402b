#include "process_exit.h"

#include <windows.h>

#include "error_output.h"
#include "fault_report.h"
#include "heap.h"
#include "units.h"

int32_t ProcessExitCode = 0;
uint16_t FaultNumber = 0;
const void* FaultAddress = nullptr;

namespace {

struct TExitEntry {
  TExitProc procedure;
  TExitEntry* next;
};

const void* faultFrame = nullptr;
TExitEntry* ExitChain = nullptr;

void RunExitChain() {
  // Each entry leaves the chain before it runs, so an exit procedure that
  // ends the process again does not run twice.
  while (TExitEntry* entry = ExitChain) {
    ExitChain = entry->next;
    const TExitProc procedure = entry->procedure;
    FreeMem(entry);
    procedure();
  }
}

}  // namespace

void AddExitProc(TExitProc procedure) {
  auto* entry = static_cast<TExitEntry*>(GetMem(sizeof(TExitEntry)));
  if (!entry) return;
  *entry = {procedure, ExitChain};
  ExitChain = entry;
}

void EndProcess(int32_t code) {
  ProcessExitCode = code & 0xFF;
  RunExitChain();
  FinalizeUnits();
  if (FaultAddress) WriteFaultReport(ErrorOutputBuffer, FaultNumber, FaultAddress, faultFrame);
  ErrorOutputBuffer.Close();
  ExitProcess(static_cast<UINT>(ProcessExitCode));
}

void RaiseFaultAt(uint16_t number, const void* address, const void* frame) {
  FaultNumber = number;
  FaultAddress = address;
  faultFrame = frame;
  EndProcess(number);
}

// The run-time is built with frame pointers, so this function's own frame
// holds its caller's frame pointer and return address.
void RaiseFault(uint16_t number) {
  auto* ownFrame = static_cast<const void* const*>(__builtin_frame_address(0));
  RaiseFaultAt(number, __builtin_return_address(0), ownFrame[0]);
}

void RaiseCallerFault(uint16_t number) {
  auto* ownFrame = static_cast<const void* const*>(__builtin_frame_address(0));
  auto* callerFrame = static_cast<const void* const*>(ownFrame[0]);
  // A caller built without a frame pointer leaves no trustworthy frame: the
  // fault is then placed at the call of this function.
  if (!IsOnStack(callerFrame, 2 * sizeof(void*)) || callerFrame <= ownFrame) {
    RaiseFaultAt(number, __builtin_return_address(0), ownFrame[0]);
  }
  RaiseFaultAt(number, callerFrame[1], callerFrame[0]);
}
