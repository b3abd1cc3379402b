// Making a control's window: class registration, creation and the binding of
// window and object, and the one window procedure of the library.
#include <string>

#include "control.h"
#include "long_work.h"
#include "text_conv.h"
#include "wide_limit.h"

namespace {

// Class names are cut to this many UTF-16 units.
constexpr size_t kClassNameLimit = 63;
// CS_OWNDC, CS_CLASSDC, CS_PARENTDC and CS_GLOBALCLASS cannot be taken over
// from a standard class into one of ours.
constexpr UINT kForeignClassStyleMask = 0xFFFFBF1F;
constexpr WPARAM kClearHideFocus = 0x00010002;  // UIS_CLEAR, UISF_HIDEFOCUS
constexpr UINT kFrameChanged =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// Windows and Wine give every new top-level window that is not a popup a
// caption, asked for or not. Taken off again, so a window made from a style
// frames as the same style set on a made window does.
void DropImposedCaption(HWND window, uint32_t style) {
  if (style & (WS_CHILD | WS_POPUP)) return;
  const auto made = static_cast<uint32_t>(GetWindowLongW(window, GWL_STYLE));
  if ((made & WS_CAPTION) == (style & WS_CAPTION)) return;
  SetWindowLongW(window, GWL_STYLE, static_cast<LONG>((made & ~WS_CAPTION) | (style & WS_CAPTION)));
  SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

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

// Registered through the W entry point, so every window of the class is a
// Unicode window and its texts never pass through the ANSI code page.
bool TControl::RegisterWindowClass(WNDCLASSW& wc, const wchar_t* className) {
  WNDCLASSW existing;
  if (GetClassInfoW(wc.hInstance, className, &existing)) return true;
  wc.lpszClassName = className;
  wc.lpfnWndProc = ClassWndProc;
  return RegisterClassW(&wc) != 0;
}

bool TControl::CreateTheWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.style = ClassStyle;
  wc.lpfnWndProc = DefWndProc;
  wc.hCursor = SystemCursor(MAKEINTRESOURCEA(0x7F00));  // IDC_ARROW
  wc.hInstance = instance;

  const std::wstring name = ToWstr(BaseClassNameAsIs ? BaseClassName : "obj_" + BaseClassName);
  const std::wstring className(CutToUnits(name, kClassNameLimit));

  HWND parentWindow = Parent ? Parent->EnsureHandle() : nullptr;
  int x = Bounds.left;
  int y = Bounds.top;
  int width = Bounds.right - Bounds.left;
  int height = Bounds.bottom - Bounds.top;
  if (width == 0) width = CW_USEDEFAULT;
  if (height == 0) height = CW_USEDEFAULT;
  if (!IsControl && !(PositionGiven & 3)) x = y = CW_USEDEFAULT;

  WNDCLASSW standard;
  if (!BaseClassName.empty() && GetClassInfoW(nullptr, ToWstr(BaseClassName).c_str(), &standard)) {
    wc = standard;
    wc.hInstance = instance;
    wc.style &= kForeignClassStyleMask;
  }
  if (!DefWndProc) DefWndProc = wc.lpfnWndProc;
  if (!parentWindow && (Style & WS_CHILD)) return false;
  if (!RegisterWindowClass(wc, className.c_str())) return false;

  uint32_t style = Style;
  if (!Enabled) style |= WS_DISABLED;
  // The first messages (WM_NCCREATE, WM_CREATE) arrive inside CreateWindowExW;
  // WndProcShared binds the window to CreatingControl on the first of them.
  CreatingControl = this;
  MakingWindow = true;
  HWND window =
      CreateWindowExW(ExStyle, className.c_str(), ToWstr(Caption).c_str(), style, x, y, width,
                      height, parentWindow, reinterpret_cast<HMENU>(ControlID), instance, nullptr);
  MakingWindow = false;
  // Never left set after a failed creation: the next window would take this object.
  if (CreatingControl == this) CreatingControl = nullptr;
  Handle = window;
  if (!window) return false;

  DropImposedCaption(window, style);
  SendMessageW(window, WM_UPDATEUISTATE, kClearHideFocus, 0);
  if (BoundControl(window) != this && !ControlOfWindow(window)) BindWindow(window, this);
  if (!IsControl) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GetIcon()));
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
    Icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
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
  if (HeldBackByLongWork(window, message, wParam, lParam)) return 0;
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
  return DefWindowProcW(window, message, wParam, lParam);
}
