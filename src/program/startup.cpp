#include "startup.h"

#include "app.h"
#include "command_line.h"
#include "control.h"
#include "event.h"
#include "hint_manager.h"
#include "library_unit.h"
#include "main_form.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "scheme.h"
#include "start_list.h"
#include "text_conv.h"
#include "unattended.h"
#include "units.h"

namespace {

// The main window could not be made: the program ends without having served.
constexpr int32_t kNoWindowExitCode = 1;

// The hint manager makes tooltip windows, so the common controls come first.
void CommonControlsInit() {
  InitCommonControlsFor(0xFF);
  HintManagerUnitInit();
}

// Seven places, initialised in this order and finalised in reverse.
constexpr TUnitEntry kUnits[7] = {
    {RuntimeInitialization, nullptr},             // run-time: heap, strings, exception frames
    {nullptr, nullptr},                           // resource strings
    {CommonControlsInit, HintManagerUnitFinish},  // common controls and the shared hint manager
    {WindowLibraryInit, WindowLibraryFinish},     // window library
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
};

[[noreturn]] void ShowMakerInfoAndExit() {
  MessageBoxW(nullptr, L"Сделано в Kavex.", L"Kavex Info", MB_OK);
  EndProcess(0);
}

// Links go live only now that every component exists. The main form's
// Visible decides whether the window comes up shown; RunLoop makes it.
void StartStep(const TKVMainForm* mainForm) {
  if (MainWindowControl) MainWindowControl->SetVisible(mainForm && mainForm->Visible);
  SetHooksWorking();
  RunStartList();
}

// Serves the main window until it closes; the exit code of the run. The end
// of the loop idles the links before it frees anything (LoopEndHook), so that
// nothing freed can fire an event or read a data input; without a main window
// they go idle here.
int32_t RunMainWindow() {
  bool served = true;
  if (MainWindowControl) served = RunLoop(MainWindowControl);
  SetHooksIdle();
  return served ? 0 : kNoWindowExitCode;
}

// Every cleaning button pressed once, with no loop and no window: the links
// go idle as at the loop's end.
int32_t RunUnattended(const TClassMainForm_25378D0& scheme) {
  const int32_t exitCode = CleanEveryTarget(scheme);
  SetHooksIdle();
  return exitCode;
}

}  // namespace

void ProgramBody() {
  InitUnits(kUnits, 7);
  const std::string commandLine = ToUtf8(GetCommandLineW());
  const std::string argument = FirstArgument(commandLine);
  if (argument == "/ih") ShowMakerInfoAndExit();
  const bool unattended = argument == kUnattendedSwitch;
  if (unattended) BeginUnattended(commandLine);

  auto* scheme = new TClassMainForm_25378D0();
  // Links go idle before the loop's end frees the first control, also when
  // logging off ends the process from inside the loop.
  LoopEndHook = SetHooksIdle;
  // Unattended, the form stays hidden from start to end.
  if (unattended) scheme->formMain->Visible = false;
  StartStep(scheme->formMain);
  const int32_t exitCode = unattended ? RunUnattended(*scheme) : RunMainWindow();
  delete scheme;
  EndProcess(exitCode);
}
