// The dispatcher of a control: the hooks in their fixed order, then the cases
// the library handles itself, then the after-message procedure.
#include "control.h"

namespace {

constexpr UINT kCallMessage = 0x8FFF;
constexpr UINT kMciNotify = 0x03B9;  // MM_MCINOTIFY

bool Ask(TMessageHandler hook, TControl* control, MSG& msg, LRESULT& result) {
  return hook && hook(control, msg, result);
}

bool IsKeyHeld(int virtualKey) {
  return GetKeyState(virtualKey) < 0;
}

}  // namespace

LRESULT TControl::HandleMessage(MSG& msg) {
  if (msg.hwnd && !Handle) Handle = msg.hwnd;
  // Keeps the control alive until its message is done: a handler or a case may
  // free it, and the object then goes when the message has been handled.
  const TFrameReference reference(this);
  const TAfterMessageProc after = AfterMessageProc;
  LRESULT result = 0;
  const bool mainSees =
      LoopRunning && MainWindowControl && MainWindowControl != this && MainWindowControl->OnMessage;
  const bool handled = Ask(GlobalMessageHook, this, msg, result) ||
                       (mainSees && MainWindowControl->OnMessage(msg, result)) ||
                       (OnMessage && OnMessage(msg, result)) ||
                       Ask(HandlerHook, this, msg, result) || Ask(KindHook, this, msg, result);
  if (!handled && HandleCase(msg, result)) return result;
  if (!LoopEnded && !SystemDestroyed && after) after(this, msg, result);
  return result;
}

// The library's own cases; answers true when the result is to be returned at
// once, without the after-message procedure.
bool TControl::HandleCase(MSG& msg, LRESULT& result) {
  bool returnAtOnce = false;
  switch (msg.message) {
    case WM_SIZE:
      result = CallDefault(msg);
      // wParam: SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED; others leave the state.
      if (msg.wParam <= SIZE_MAXIMIZED) WindowState = static_cast<uint8_t>(msg.wParam);
      if (!IsForm && Parent && AlignHook) AlignHook(Parent);
      if (AlignHook) AlignHook(this);
      return true;
    case WM_SETFOCUS: {
      const bool enabled = Handle ? IsWindowEnabled(Handle) != 0 : !(Style & WS_DISABLED);
      if (!enabled || !TabStop) return false;
      ++FocusNesting;
      ::SetFocus(Handle);
      result = CallDefault(msg);
      --FocusNesting;
      return true;
    }
    case WM_CLOSE:
      result = OnCloseMessage(msg);
      return false;
    case WM_SHOWWINDOW:
      // lParam: why the window is shown or hidden.
      if (msg.lParam == SW_PARENTCLOSING) {
        SavedShowCmd = IsIconic(Handle)   ? SW_SHOWMINNOACTIVE
                       : IsZoomed(Handle) ? SW_SHOWMAXIMIZED
                                          : SW_SHOWNOACTIVATE;
        result = CallDefault(msg);
      } else if (msg.lParam == SW_PARENTOPENING) {
        if (SavedShowCmd) ShowWindow(Handle, SavedShowCmd);
        SavedShowCmd = 0;
      } else {
        result = CallDefault(msg);
      }
      return false;
    case WM_SETCURSOR: {
      // Low word of lParam: the hit-test code.
      const HCURSOR cursor = ScreenCursor ? ScreenCursor : Cursor;
      if (!CursorLocked && !GetCapture() && LOWORD(msg.lParam) == HTCLIENT && cursor) {
        ::SetCursor(cursor);
        result = 1;
      } else {
        result = CallDefault(msg);
      }
      return false;
    }
    case WM_NCDESTROY:
      result = OnNcDestroy(msg, returnAtOnce);
      return returnAtOnce;
    case WM_COMMAND:
      // lParam: the control window that sent the notification, if any.
      if (ControlOfWindow(reinterpret_cast<HWND>(msg.lParam))) {
        result =
            SendMessageW(reinterpret_cast<HWND>(msg.lParam), RM_COMMAND, msg.wParam, msg.lParam);
      } else {
        result = CallDefault(msg);
      }
      return false;
    case WM_SYSCOMMAND:
      if ((msg.wParam & 0xFFF0) == SC_MINIMIZE && MainWindowControl && MainWindowControl != this &&
          IsMainWindow()) {
        PostMessageW(MainWindowControl->Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        result = 0;
      } else {
        result = CallDefault(msg);
      }
      return false;
    case kMciNotify:
      if (McNotifyProc) McNotifyProc(msg);
      result = 0;
      return true;
    case kCallMessage:
      if (CallMessageProc) CallMessageProc(msg.lParam, msg.wParam);
      result = 0;
      return false;
    case RM_RELEASE:
      // Only for this control's own window: a stray one must not free the main window.
      if (msg.hwnd == Handle && !InDestructor) {
        Destroying = true;
        Free();
      }
      result = 0;
      return false;
    default:
      break;
  }
  if (msg.message >= WM_KEYFIRST && msg.message <= 0x0108) {
    result = OnKeyMessage(msg, returnAtOnce);
    return returnAtOnce;
  }
  if (msg.message >= WM_CTLCOLORMSGBOX && msg.message <= WM_CTLCOLORSTATIC) {
    // lParam: the control being coloured; it answers through its own handlers.
    result = SendMessageW(reinterpret_cast<HWND>(msg.lParam), RM_BASE + msg.message, msg.wParam,
                          msg.lParam);
    return false;
  }
  result = CallDefault(msg);
  return true;
}

LRESULT TControl::OnCloseMessage(const MSG& msg) {
  bool accept = true;
  if (OnClose) {
    OnClose(this, accept);
    if (!accept && LoopRunning) return 0;
    OnClose = {};
    if (!accept) return 0;
  }
  if (IsMainWindow() || this == MainWindowControl) {
    CloseAccepted = true;
    if (MainWindowControl && MainWindowControl != this && MainWindowControl->Handle) {
      SendMessageW(MainWindowControl->Handle, WM_CLOSE, 0, 0);
    }
    PostQuitMessage(0);
    return 0;
  }
  return CallDefault(msg);
}

LRESULT TControl::OnNcDestroy(const MSG& msg, bool& returnAtOnce) {
  UnbindWindow(msg.hwnd);
  // A window without object handled here on behalf of the main window.
  if (msg.hwnd != Handle) return CallDefault(msg);
  if (!InDestructor && !MakingWindow) LetGoOfDyingWindow();
  if (MainWindowControl && MainWindowControl->Handle == msg.hwnd) return 0;
  if (IsMainWindow()) {
    // Windows and Wine throw away what is queued for a destroyed window, so an
    // RM_RELEASE posted to it now would never come and the object would live
    // on with a dead handle. Freed here instead: the reference this message
    // holds lets the object go once the message is done.
    const LRESULT result = CallDefault(msg);
    if (!InDestructor && !MakingWindow) {
      Destroying = true;
      Free();
    }
    return result;
  }
  if (Parent && Parent == MainWindowControl) {
    SystemDestroyed = true;
    // Already going (our own DestroyWindow), or the window died being made:
    // the object is freed by whoever is running that, not here.
    if (!InDestructor && !MakingWindow) Free();
    returnAtOnce = true;
    return 0;
  }
  return CallDefault(msg);
}

LRESULT TControl::OnKeyMessage(MSG& msg, bool& returnAtOnce) {
  HWND focus = GetFocus();
  // With nothing focused the system gives the keys to the active window, as
  // system keys: they keep their system meaning there (Alt+F4, Alt+Space).
  if (!focus && Handle && msg.hwnd == Handle && Handle == GetActiveWindow()) {
    return CallDefault(msg);
  }
  // A key meant for a control that has lost the focus since is dropped.
  if (!focus || (focus != FocusHandle && focus != Handle)) return 0;
  LRESULT result = 0;
  if (Ask(GlobalKeyHook, this, msg, result) || Ask(KeyHook, this, msg, result)) {
    returnAtOnce = true;
    return result;
  }
  if (IsKeyHeld(VK_CONTROL) || IsKeyHeld(VK_MENU)) return CallDefault(msg);
  if (msg.message == WM_CHAR) {
    // wParam: the character. A Tab belongs to the form's navigation, never to the text.
    if (msg.wParam == VK_TAB) {
      msg.wParam = 0;
      return 0;
    }
    return CallDefault(msg);
  }
  TControl* form = ParentForm();
  if (form && form->DialogKeyProc &&
      form->DialogKeyProc(this, static_cast<uint32_t>(msg.wParam), msg.message != WM_KEYDOWN)) {
    msg.wParam = 0;
    return 0;
  }
  return CallDefault(msg);
}
