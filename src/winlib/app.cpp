// The message loop, the application object above the forms, the form
// behaviour that depends on the loop, and the common-controls initialisation.
#include "app.h"

#include <commctrl.h>

#include <vector>

#include "graphic_tool.h"
#include "long_work.h"
#include "process_exit.h"

TControlProc IdleHook = DoNothing;
HMODULE ComCtlModule = nullptr;
void (*LoopEndHook)() = [] {};

namespace {

// WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
constexpr uint32_t kAppStyle = 0x90CA0000;
constexpr uint32_t kAppExStyle = WS_EX_APPWINDOW;

// Sleeps until the queue holds something. MWMO_INPUTAVAILABLE also wakes for
// messages that a pump has already seen and left there (the ones behind a
// WM_NULL); WaitMessage would sleep on them until something new arrived.
void WaitForInput() {
  MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The application object is never sized or moved, only minimised and restored
// through its forms.
void TrimSystemMenu(TControl* app) {
  HMENU menu = GetSystemMenu(app->Handle, FALSE);
  if (!menu) return;
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
}

// Gives the focus back to the control that last had it; false when none did.
bool RefocusRemembered(TControl* control, LRESULT& result) {
  TControl* focused = control->FocusedControl;
  if (!focused) return false;
  focused->MakeWindow();
  SetFocus(focused->Handle);
  result = 0;
  return true;
}

// Windows is logging off or shutting down: the process ends here, without
// coming back to the loop. Nothing returns to the frames under this message
// either, so what they hold is let go first: the main control is then really
// freed, its children and notifications with it, not just marked to go.
[[noreturn]] void EndSession() {
  LoopEndHook();
  LoopEnded = true;
  LoopRunning = false;
  TFrameReference::ReleaseAll();
  TControl* main = MainWindowControl;
  MainWindowControl = nullptr;
  if (main) main->Free();
  EndProcess(0);
}

// The application object's form that is the program's main window, if any.
TControl* MainFormOf(TControl* app) {
  auto* first = static_cast<TControl*>(app->Children->Get(0));
  return first && first->IsMainWindow() ? first : nullptr;
}

// The window the user works in: the active one, else the main form, else the
// main window.
HWND WorkingWindow() {
  HWND active = GetActiveWindow();
  if (active && IsWindowEnabled(active)) return active;
  TControl* main = MainWindowControl;
  if (!main) return nullptr;
  TControl* form = MainFormOf(main);
  return form && form->Handle ? form->Handle : main->Handle;
}

struct TDisabling {
  HWND spared;
  std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableShownWindow(HWND window, LPARAM data) {
  const auto* disabling = reinterpret_cast<const TDisabling*>(data);
  if (window != disabling->spared && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabling->disabled->push_back(window);
  }
  return TRUE;
}

}  // namespace

TControl* MainForm() {
  TControl* main = MainWindowControl;
  if (!main) return nullptr;
  return main->IsApp ? MainFormOf(main) : (main->IsForm ? main : nullptr);
}

bool RunLoop(TControl*& control) {
  LoopRunning = true;
  MainWindowControl = control;
  const bool served = control && control->MakeWindow();
  // Without its window nothing could ever close the loop: it ends at once.
  if (!served) LoopEnded = true;
  while (!LoopEnded) {
    WaitForInput();
    // Waiting takes the messages other threads send: one may have run long.
    EndLongWork();
    PumpMessages(control);
    IdleHook(control);
  }
  EndLoop(control);
  return served;
}

void PumpMessages(TControl* control) {
  while (PumpOneMessage(control)) {
  }
}

bool PumpOneMessage(TControl* control) {
  MSG msg;
  const bool taken = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
  // A message sent from another thread runs inside the peek; input that came
  // while it worked is the user's impatience, not a new request.
  if (EndLongWork() && taken && IsInputMessage(msg.message)) return true;
  if (!taken) return false;
  if (msg.message == WM_QUIT) {
    LoopEnded = true;
    return true;
  }
  const bool preTranslated =
      control && control->PreTranslateProc && control->PreTranslateProc(control, msg);
  if (!preTranslated) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EndLongWork();
  return msg.message != WM_NULL;
}

void EndLoop(TControl*& control) {
  const bool endedByItself = LoopEnded;
  LoopEnded = true;
  LoopRunning = false;
  TControl* main = MainWindowControl;
  MainWindowControl = nullptr;
  // A control freed behind the loop's back has already cleared the global:
  // the variable must not keep pointing at it.
  control = nullptr;
  if (!main) return;
  const TFrameReference reference(main);
  if (!endedByItself) {
    PumpMessages(main);
    main->SendToWindow(WM_CLOSE, 0, 0);
  }
  LoopEndHook();
  main->Free();
}

void InitCommonControlsFor(uint32_t classMask) {
  InitCommonControls();
  if (!ComCtlModule) ComCtlModule = LoadLibraryW(L"comctl32.dll");
  if (!ComCtlModule) return;
  // Looked up by name: older systems have only InitCommonControls.
  using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  FARPROC found = GetProcAddress(ComCtlModule, "InitCommonControlsEx");
  if (!found) return;
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = classMask;
  reinterpret_cast<InitProc>(reinterpret_cast<void*>(found))(&classes);
}

TControl* NewApp(const char* caption) {
  HasAppObject = true;
  TControl* app = NewWindowedControl(nullptr, "App", false);
  app->IsApp = true;
  app->Style = kAppStyle;
  app->ExStyle = kAppExStyle;
  app->OnWindowCreated = TrimSystemMenu;
  app->AddMessageHandler(AppHandler, false);
  app->Caption = caption ? caption : "";
  return app;
}

bool AppHandler(TControl* control, MSG& msg, LRESULT& result) {
  switch (msg.message) {
    case WM_SETFOCUS:
      return RefocusRemembered(control, result);
    case WM_SYSCOMMAND: {
      // wParam: the command; its low four bits are the system's own.
      if ((msg.wParam & 0xFFF0) != SC_CLOSE) return false;
      TControl* form = MainFormOf(control);
      if (!form) return false;
      if (form->Handle) PostMessageW(form->Handle, WM_CLOSE, 0, 0);
      result = 0;
      return true;
    }
    case WM_CLOSE: {
      // Whoever closes the application window (a task manager closes the one
      // with the task-bar button) closes the program through its main form,
      // whose own close then runs. Once the form has accepted, its close comes
      // back here and goes on to end the loop.
      TControl* form = MainFormOf(control);
      if (!form || !form->Handle || form->CloseAccepted) return false;
      result = SendMessageW(form->Handle, WM_CLOSE, msg.wParam, msg.lParam);
      return true;
    }
    default:
      return false;
  }
}

bool FormEraseHandler(TControl* form, MSG& msg, LRESULT& result) {
  if (msg.message != WM_ERASEBKGND) return false;
  form->CreateChildWindows();
  if (form->Transparent) return false;
  // wParam: the DC to erase with.
  HDC dc = reinterpret_cast<HDC>(msg.wParam);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ResolveColor(form->Color));
  SetBrushOrgEx(dc, 0, 0, nullptr);
  RECT client;
  GetClientRect(form->Handle, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(form->GetBrush()->GetToolHandle()));
  result = 1;
  return false;
}

bool FormHandler(TControl* form, MSG& msg, LRESULT& result) {
  switch (msg.message) {
    case WM_SETFOCUS: {
      const bool handled = RefocusRemembered(form, result);
      // The application object hands the focus back to the form it left.
      if (MainWindowControl && MainWindowControl != form) MainWindowControl->FocusedControl = form;
      return handled;
    }
    case WM_ENDSESSION:
      // wParam: the session really ends (not 0), or the end was cancelled.
      if (msg.wParam) EndSession();
      return false;
    default:
      return false;
  }
}

TModalScope::TModalScope() : owner_(WorkingWindow()) {
  TDisabling disabling{owner_, &disabled_};
  EnumThreadWindows(GetCurrentThreadId(), DisableShownWindow, reinterpret_cast<LPARAM>(&disabling));
}

TModalScope::~TModalScope() {
  for (auto window = disabled_.rbegin(); window != disabled_.rend(); ++window) {
    EnableWindow(*window, TRUE);
  }
}
