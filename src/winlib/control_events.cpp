// The handlers that turn messages into a control's events: standard-control
// notifications, keyboard, mouse, mouse enter and leave, size, and the
// reflection of notifications to the control they are about.
#include "control.h"
#include "graphic_tool.h"

namespace {

constexpr UINT kMouseLeave = 0x02A3;  // WM_MOUSELEAVE
constexpr DWORD kTrackLeave = 0x00000002;
constexpr DWORD kTrackCancel = 0x80000000;

uint32_t ShiftState() {
  uint32_t shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftKey;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlKey;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltKey;
  return shift;
}

// _TrackMouseEvent lives in comctl32, looked up in the loaded module so that a
// system without it simply tracks nothing.
BOOL TrackMouseLeave(HWND window, DWORD flags) {
  using TrackProc = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
  HMODULE module = GetModuleHandleW(L"comctl32.dll");
  if (!module) return FALSE;
  FARPROC found = GetProcAddress(module, "_TrackMouseEvent");
  if (!found) return FALSE;
  const auto track = reinterpret_cast<TrackProc>(reinterpret_cast<void*>(found));
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof request;
  request.dwFlags = flags;
  request.hwndTrack = window;
  return track(&request);
}

bool PointerInside(TControl* control) {
  if (control->HitTestProc) return control->HitTestProc(control);
  POINT point;
  RECT client;
  if (!GetCursorPos(&point) || !ScreenToClient(control->Handle, &point)) return false;
  if (!GetClientRect(control->Handle, &client)) return false;
  client.top += control->ClientMargins.Top;
  client.bottom -= control->ClientMargins.Bottom;
  client.left += control->ClientMargins.Left;
  client.right -= control->ClientMargins.Right;
  return PtInRect(&client, point) != 0;
}

bool IsCtlColorReflection(UINT message) {
  return message >= RM_BASE + WM_CTLCOLORMSGBOX && message <= RM_BASE + WM_CTLCOLORSTATIC;
}

}  // namespace

bool StandardControlHandler(TControl* control, MSG& msg, LRESULT& result) {
  if (msg.message == WM_SETFOCUS) {
    if (TControl* form = control->ParentForm()) form->FocusedControl = control;
    return false;
  }
  if (msg.message == RM_COMMAND) {
    // High word of wParam: the notification code.
    const uint16_t code = HIWORD(msg.wParam);
    const uint16_t* codes = control->NotifyCodes;
    if (code == codes[0]) {
      // A focus moved by the library itself is no click.
      if (!control->FocusNesting) control->Click();
    } else if (code == codes[1] || code == codes[2] || code == codes[3]) {
      const int index = code == codes[1] ? 0 : code == codes[2] ? 1 : 2;
      control->NotifyEvents[index](control);
    } else if (code == codes[4]) {
      if (control->NotifyProc) control->NotifyProc(control);
    } else {
      return false;
    }
    result = control->CallDefault(msg);
    return true;
  }
  if (IsCtlColorReflection(msg.message)) {
    // wParam: the DC the control is about to draw with.
    const auto dc = reinterpret_cast<HDC>(msg.wParam);
    SetTextColor(dc, ResolveColor(control->TextColor));
    if (control->Transparent) {
      SetBkMode(dc, TRANSPARENT);
      result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    } else {
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, ResolveColor(control->Color));
      // Shares the parent's brush handle while the two brushes are alike.
      TGraphicTool* brush = control->GetBrush();
      TGraphicTool* parentBrush = control->Parent ? control->Parent->Brush : nullptr;
      result = reinterpret_cast<LRESULT>(ControlBrushProc ? ControlBrushProc(brush, parentBrush)
                                                          : brush->GetToolHandle());
    }
    return true;
  }
  return false;
}

bool KeyEventsHook(TControl* control, MSG& msg, LRESULT& result) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
      const TOnKey& event = down ? control->OnKeyDown : control->OnKeyUp;
      if (!event) return false;
      // wParam: the virtual-key code; an event may replace or swallow it.
      auto key = static_cast<uint32_t>(msg.wParam);
      event(control, key, ShiftState());
      msg.wParam = key;
      break;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      // wParam: a UTF-16 unit.
      if (!control->OnChar) return false;
      auto character = static_cast<wchar_t>(msg.wParam);
      control->OnChar(control, character, ShiftState());
      msg.wParam = character;
      break;
    }
    default:
      return false;
  }
  if (msg.wParam != 0) return false;
  result = 0;
  return true;
}

bool MouseEventsHandler(TControl* control, MSG& msg, LRESULT& result) {
  if (msg.hwnd != control->Handle || msg.message < WM_MOUSEMOVE || msg.message > WM_MOUSEWHEEL) {
    return false;
  }
  TMouseEventData mouse;
  // wParam: the key and button flags (the wheel delta in its high word).
  mouse.Shift = static_cast<uint32_t>(msg.wParam);
  if (GetKeyState(VK_MENU) < 0) mouse.Shift |= kAltKey;
  // lParam: the pointer position, signed 16 bits each.
  mouse.X = static_cast<int16_t>(LOWORD(msg.lParam));
  mouse.Y = static_cast<int16_t>(HIWORD(msg.lParam));
  const TOnMouse* event = nullptr;
  switch (msg.message) {
    case WM_MOUSEMOVE:
      event = &control->OnMouseMove;
      break;
    case WM_MOUSEWHEEL:
      event = &control->OnMouseWheel;
      break;
    default: {
      // Down, up and double click come in threes: left, right, middle.
      const UINT offset = msg.message - WM_LBUTTONDOWN;
      mouse.Button = static_cast<uint8_t>(offset / 3 + 1);
      const TOnMouse* events[] = {&control->OnMouseDown, &control->OnMouseUp,
                                  &control->OnMouseDblClk};
      event = events[offset % 3];
    }
  }
  if (!*event) return false;
  (*event)(control, mouse);
  result = 0;
  return mouse.StopHandling;
}

bool MouseEnterLeaveHandler(TControl* control, MSG& msg, LRESULT&) {
  if (msg.message == kMouseLeave) {
    if (control->MouseInside) {
      control->MouseInside = false;
      control->OnMouseLeave(control);
      control->Invalidate();
    }
    return false;
  }
  if (msg.hwnd != control->Handle || msg.message < WM_MOUSEMOVE || msg.message > WM_MOUSEWHEEL) {
    return false;
  }
  const bool inside = PointerInside(control);
  if (inside == control->MouseInside) return false;
  control->Invalidate();
  if (inside) {
    control->MouseInside = true;
    control->OnMouseEnter(control);
    TrackMouseLeave(control->Handle, kTrackLeave);
  } else {
    control->MouseInside = false;
    TrackMouseLeave(control->Handle, kTrackCancel | kTrackLeave);
    control->OnMouseLeave(control);
  }
  control->Invalidate();
  return false;
}

bool ResizeHandler(TControl* control, MSG& msg, LRESULT&) {
  if (msg.message == WM_SIZE) control->OnResize(control);
  return false;
}

bool NotifyReflectHandler(TControl*, MSG& msg, LRESULT& result) {
  if (msg.message != WM_NOTIFY || !msg.lParam) return false;
  // lParam: the notification header of the sending window.
  const auto* header = reinterpret_cast<const NMHDR*>(msg.lParam);
  TControl* target = ControlOfWindow(header->hwndFrom);
  return target && DispatchHandlers(target, msg, result);
}

bool DrawItemReflectHandler(TControl*, MSG& msg, LRESULT& result) {
  if (msg.message != WM_DRAWITEM || !msg.lParam) return false;
  // lParam: the item to draw; a menu item carries a menu, not a window.
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(msg.lParam);
  if (item->CtlType == ODT_MENU || !ControlOfWindow(item->hwndItem)) return false;
  result = SendMessageW(item->hwndItem, RM_DRAWITEM, msg.wParam, msg.lParam);
  return true;
}
