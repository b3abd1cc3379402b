// A small program for the black-box case of logging off: one form served by
// the message loop. Were the loop ever to return, the program would end with
// exit code 3.
#include <windows.h>

#include "app.h"
#include "control.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "units.h"

namespace {

constexpr TUnitEntry kUnits[] = {
    {RuntimeInitialization, nullptr},
};

}  // namespace

int main() {
  InitUnits(kUnits, 1);
  TControl* form = NewWindowedControl(nullptr, "EndSessionForm", false);
  form->IsForm = true;
  form->Caption = "End session";
  form->AddMessageHandler(FormHandler, false);
  RunLoop(form);
  EndProcess(3);
}
