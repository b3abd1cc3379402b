#include "startup.h"

#include "command_line.h"
#include "event.h"
#include "library_unit.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "scheme.h"
#include "start_list.h"
#include "units.h"

namespace {

// Seven places, initialised in this order and finalised in reverse.
constexpr TUnitEntry kUnits[7] = {
    {RuntimeInitialization, nullptr},          // run-time: heap, strings, exception frames
    {nullptr, nullptr},                        // resource strings
    {nullptr, nullptr},                        // common controls and the shared hint manager
    {WindowLibraryInit, WindowLibraryFinish},  // window library
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
};

[[noreturn]] void ShowMakerInfoAndExit() {
  MessageBoxA(nullptr, "Сделано в Kavex.", "Kavex Info", MB_OK);
  EndProcess(0);
}

// Links go live only now that every component exists.
void StartStep() {
  SetHooksWorking();
  RunStartList();
}

}  // namespace

void ProgramBody() {
  InitUnits(kUnits, 7);
  if (FirstArgument(GetCommandLineA()) == "/ih") ShowMakerInfoAndExit();

  auto* scheme = new TClassMainForm_25378D0();
  StartStep();
  delete scheme;
  EndProcess(0);
}
