// Making a control's window: class registration, creation and the binding of
// window and object, and the one window procedure of the library.
#include <cstring>
#include <string>

#include "control.h"

namespace {

constexpr size_t kClassNameSize = 64;
// CS_OWNDC, CS_CLASSDC, CS_PARENTDC and CS_GLOBALCLASS cannot be taken over
// from a standard class into one of ours.
constexpr UINT kForeignClassStyleMask = 0xFFFFBF1F;
constexpr WPARAM kClearHideFocus = 0x00010002;  // UIS_CLEAR, UISF_HIDEFOCUS

}  // namespace

bool TControl::MakeWindow() {
  if (Parent && !Parent->EnsureHandle()) return false;
  // Making the parent may have made this window too (with the parent's children).
  if (Handle) {
    CreateChildWindows();
    if (ShowPending) {
      SetVisible(true);
      ShowPending = false;
    }
    return true;
  }
  return CreateTheWindow();
}

bool TControl::RegisterWindowClass(WNDCLASSA& wc, const char* className) {
  WNDCLASSA existing;
  if (GetClassInfoA(wc.hInstance, className, &existing)) return true;
  wc.lpszClassName = className;
  wc.lpfnWndProc = ClassWndProc;
  return RegisterClassA(&wc) != 0;
}

bool TControl::CreateTheWindow() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.style = ClassStyle;
  wc.lpfnWndProc = DefWndProc;
  wc.hCursor = SystemCursor(MAKEINTRESOURCEA(0x7F00));  // IDC_ARROW
  wc.hInstance = instance;

  const std::string name = BaseClassNameAsIs ? BaseClassName : "obj_" + BaseClassName;
  char className[kClassNameSize];
  std::strncpy(className, name.c_str(), kClassNameSize - 1);
  className[kClassNameSize - 1] = '\0';

  HWND parentWindow = Parent ? Parent->EnsureHandle() : nullptr;
  int x = Bounds.left;
  int y = Bounds.top;
  int width = Bounds.right - Bounds.left;
  int height = Bounds.bottom - Bounds.top;
  if (width == 0) width = CW_USEDEFAULT;
  if (height == 0) height = CW_USEDEFAULT;
  if (!IsControl && !(PositionGiven & 3)) x = y = CW_USEDEFAULT;

  WNDCLASSA standard;
  if (!BaseClassName.empty() && GetClassInfoA(nullptr, BaseClassName.c_str(), &standard)) {
    wc = standard;
    wc.hInstance = instance;
    wc.style &= kForeignClassStyleMask;
  }
  if (!DefWndProc) DefWndProc = wc.lpfnWndProc;
  if (!parentWindow && (Style & WS_CHILD)) return false;
  if (!RegisterWindowClass(wc, className)) return false;

  uint32_t style = Style;
  if (!Enabled) style |= WS_DISABLED;
  // The first messages (WM_NCCREATE, WM_CREATE) arrive inside CreateWindowExA;
  // WndProcShared binds the window to CreatingControl on the first of them.
  CreatingControl = this;
  MakingWindow = true;
  HWND window =
      CreateWindowExA(ExStyle, className, Caption.c_str(), style, x, y, width, height, parentWindow,
                      reinterpret_cast<HMENU>(ControlID), instance, nullptr);
  MakingWindow = false;
  // Never left set after a failed creation: the next window would take this object.
  if (CreatingControl == this) CreatingControl = nullptr;
  Handle = window;
  if (!window) return false;

  SendMessageA(window, WM_UPDATEUISTATE, kClearHideFocus, 0);
  if (BoundControl(window) != this && !ControlOfWindow(window)) BindWindow(window, this);
  if (!IsControl) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GetIcon()));
  if (OnWindowCreated) OnWindowCreated(this);
  if (WindowCreatedHook) WindowCreatedHook(this);
  ApplyFont();
  CreateChildWindows();
  return true;
}

HICON TControl::GetIcon() {
  const auto noIcon = reinterpret_cast<HICON>(-1);
  if (Icon == noIcon) return nullptr;
  if (Icon) return Icon;
  if (IsApp) {
    Icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    return Icon;
  }
  TControl* app = Parent;
  while (app && !app->IsApp)
    app = app->Parent;
  if (!app && MainWindowControl && MainWindowControl->IsApp) app = MainWindowControl;
  if (!app) return nullptr;
  if (HICON appIcon = app->GetIcon()) {
    Icon = static_cast<HICON>(CopyImage(appIcon, IMAGE_ICON, 0, 0, 0));
  }
  return Icon;
}

LRESULT CALLBACK WndProcShared(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TControl* control = nullptr;
  if (window) {
    // A window that already carries an object is never taken by the one being created.
    control = BoundControl(window);
    if (!control && CreatingControl) {
      control = CreatingControl;
      CreatingControl = nullptr;
      control->Handle = window;
      BindWindow(window, control);
    }
  }
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  if (control) return control->HandleMessage(msg);
  if (MainWindowControl) return MainWindowControl->HandleMessage(msg);
  return DefWindowProcA(window, message, wParam, lParam);
}
