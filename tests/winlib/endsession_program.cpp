// A small program for the black-box case of logging off: the application
// object with a form and a button on it, served by the message loop, as the
// cleaner has them. What their teardown runs is written, a line each, to the
// file named by the argument. Were the loop ever to return, the program would
// end with exit code 3.
#include <windows.h>

#include <string>

#include "app.h"
#include "control.h"
#include "control_kinds.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "units.h"

namespace {

constexpr TUnitEntry kUnits[] = {
    {RuntimeInitialization, nullptr},
};

HANDLE journal = INVALID_HANDLE_VALUE;

// Written at once: the process ends without running any destructor.
void Note(void* word, TObj*) {
  const std::string line = std::string(static_cast<const char*>(word)) + "\n";
  DWORD written = 0;
  WriteFile(journal, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

TOnEvent NoteEvent(const char* word) {
  return TOnEvent{Note, const_cast<char*>(word)};
}

}  // namespace

int main(int argc, char** argv) {
  InitUnits(kUnits, 1);
  journal = CreateFileA(argc > 1 ? argv[1] : "NUL", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        CREATE_ALWAYS, 0, nullptr);
  TControl* app = NewApp("End session");
  TControl* form = NewForm(app, "End session");
  TControl* button = NewButton(form, "Button");
  app->OnDestroy = NoteEvent("app destroyed");
  form->OnDestroy = NoteEvent("form destroyed");
  form->AddFreeNotify(Note, const_cast<char*>("form notified"));
  button->OnDestroy = NoteEvent("button destroyed");
  RunLoop(app);
  EndProcess(3);
}
