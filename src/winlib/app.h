// The message loop, the application object and the form behaviour that
// depends on the loop, and the common-controls initialisation.
#pragma once

#include <cstdint>
#include <vector>

#include "control.h"

// Called once per pass of the loop, after the waiting messages were handled.
extern TControlProc IdleHook;
// comctl32.dll, loaded once by InitCommonControlsFor.
extern HMODULE ComCtlModule;

// Called once the loop is over, whatever ended it (the loop's own end, or
// Windows ending the session), before the first control is freed; does
// nothing by default.
extern void (*LoopEndHook)();

// Runs the loop for the control until it ends; the control is then freed and
// the variable is none. False when the control's window could not be made:
// the loop then ends at once.
bool RunLoop(TControl*& control);
// Handles every message waiting in the queue (a WM_NULL ends the pump early).
void PumpMessages(TControl* control);
// Takes at most one message; true when one was taken and it was not WM_NULL.
bool PumpOneMessage(TControl* control);
// Ends the loop state and frees the control.
void EndLoop(TControl*& control);

void InitCommonControlsFor(uint32_t classMask);

// The invisible top-level window above the program's forms.
TControl* NewApp(const char* caption);

// The form the user works with: the main window when it is a form, else the
// application object's main form; none when there is neither.
TControl* MainForm();

// Message handlers of the application object and of every form.
bool AppHandler(TControl* control, MSG& msg, LRESULT& result);
bool FormEraseHandler(TControl* control, MSG& msg, LRESULT& result);
bool FormHandler(TControl* control, MSG& msg, LRESULT& result);

// For the length of a modal box: the window it is modal to, the one the user
// works in, and the program's other shown windows disabled meanwhile, as a
// modal dialog leaves them. The box itself disables its owner and enables it
// again before it goes, so that the activation comes back there.
class TModalScope {
 public:
  TModalScope();
  ~TModalScope();
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;

  [[nodiscard]] HWND Owner() const { return owner_; }

 private:
  HWND owner_;
  std::vector<HWND> disabled_;
};
