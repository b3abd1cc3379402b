#include "control.h"

#include <iterator>

#include "canvas.h"
#include "control_props.h"
#include "graphic_tool.h"
#include "text_conv.h"

TControl* MainWindowControl = nullptr;
bool LoopRunning = false;
bool LoopEnded = false;
TControl* CreatingControl = nullptr;
bool HasAppObject = false;
HCURSOR ScreenCursor = nullptr;
bool CursorLocked = false;
TMessageHandler GlobalMessageHook = NotHandled;
TMessageHandler GlobalKeyHook = NotHandled;
TControlProc WindowCreatedHook = DoNothing;
TControlProc AlignHook = DoNothing;
TControlProc InvalidateHook = DoNothing;
TCallMessageProc CallMessageProc = [](LPARAM, WPARAM) {};
TMcNotifyProc McNotifyProc = nullptr;

namespace {

constexpr wchar_t kSelfProp[] = L"SELF_";
constexpr uint32_t kDefaultClassStyle = CS_OWNDC;
// WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW
constexpr uint32_t kDefaultStyle = 0x16CF0000;
constexpr uint32_t kDefaultExStyle = WS_EX_CONTROLPARENT;
constexpr uint32_t kDefaultTextColor = 0x80000008;  // COLOR_WINDOWTEXT
constexpr uint32_t kDefaultColor = 0x8000000F;      // COLOR_BTNFACE
constexpr int32_t kDefaultSpacing = 2;
constexpr int32_t kDefaultChildSize = 64;

void AfterMessageNothing(TControl*, MSG&, LRESULT&) {}

HDC ControlCanvasDC(void* data, TCanvas* canvas) {
  auto* control = static_cast<TControl*>(data);
  if (control->PaintDC) return canvas->AttachPaintDC(control->PaintDC);
  if (canvas->DC) return canvas->DC;
  HWND window = control->EnsureHandle();
  return window ? GetDC(window) : nullptr;
}

}  // namespace

bool NotHandled(TControl*, MSG&, LRESULT&) {
  return false;
}

void DoNothing(TControl*) {}

TControl* ControlOfWindow(HWND window) {
  if (!window) return nullptr;
  return static_cast<TControl*>(GetPropW(window, kSelfProp));
}

void BindWindow(HWND window, TControl* control) {
  SetPropW(window, kSelfProp, control);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
}

void UnbindWindow(HWND window) {
  RemovePropW(window, kSelfProp);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

TControl* BoundControl(HWND window) {
  return reinterpret_cast<TControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HCURSOR LoadCursorOf(HINSTANCE module, const char* identifier) {
  if (!IS_INTRESOURCE(identifier)) return LoadCursorW(module, ToWstr(identifier).c_str());
  return LoadCursorW(module, MAKEINTRESOURCEW(reinterpret_cast<uintptr_t>(identifier)));
}

HCURSOR SystemCursor(const char* identifier) {
  struct Loaded {
    const char* identifier;
    HCURSOR cursor;
  };
  static Loaded loaded[16];
  static size_t count = 0;
  // Number 0 names no cursor: the system would answer none.
  if (!identifier) return nullptr;
  if (!IS_INTRESOURCE(identifier)) return LoadCursorOf(nullptr, identifier);
  for (size_t i = 0; i < count; ++i) {
    if (loaded[i].identifier == identifier) return loaded[i].cursor;
  }
  const HCURSOR cursor = LoadCursorOf(nullptr, identifier);
  // A number the system does not know is asked again: it stays rare.
  if (cursor && count < std::size(loaded)) loaded[count++] = {identifier, cursor};
  return cursor;
}

void TControl::Init() {
  HandlerHook = NotHandled;
  KeyHook = NotHandled;
  KindHook = NotHandled;
  AfterMessageProc = AfterMessageNothing;
  ClassWndProc = WndProcShared;
  PreClickProc = DoNothing;
  TextColor = kDefaultTextColor;
  Color = kDefaultColor;
  ClassStyle = kDefaultClassStyle;
  Style = kDefaultStyle;
  ExStyle = kDefaultExStyle;
  Spacing = kDefaultSpacing;
  Enabled = true;
  Visible = true;
  Children = NewList();
  Handlers = NewList();
}

void TControl::InitParented(TControl* parent) {
  Init();
  SetParent(parent);
  if (parent) Color = parent->Color;
}

TControl* NewWindowedControl(TControl* parent, const char* subClassName, bool ctl3d) {
  auto* control = new TControl;
  control->InitParented(parent);
  if (subClassName) control->BaseClassName = subClassName;
  control->Ctl3DState = ctl3d;
  if (!parent) return control;
  control->KindHook = parent->KindHook;
  control->DialogKeyProc = parent->DialogKeyProc;
  control->Spacing = parent->Spacing;
  control->TextColor = parent->TextColor;
  control->Color = parent->Color;
  const int32_t left = parent->Spacing + parent->ClientMargins.Left;
  const int32_t top = parent->Spacing + parent->ClientMargins.Top;
  control->Bounds = {left, top, left + kDefaultChildSize, top + kDefaultChildSize};
  const TOnEvent toolChanged = MakeEvent<&TControl::ToolChanged>(control);
  if (parent->Font) {
    control->Font = AssignTool(nullptr, parent->Font);
    control->Font->OnChange = toolChanged;
  }
  if (parent->Brush) {
    control->Brush = AssignTool(nullptr, parent->Brush);
    control->Brush->OnChange = toolChanged;
  }
  return control;
}

void TControl::SetParent(TControl* parent) {
  if (parent == Parent) return;
  if (TControl* old = Parent) {
    old->Children->Remove(this);
    if (old->ChildChangedProc) old->ChildChangedProc(old, nullptr);
  }
  Parent = parent;
  if (parent) {
    parent->Children->Add(this);
    if (parent->ChildChangedProc) parent->ChildChangedProc(parent, this);
  }
}

HWND TControl::EnsureHandle() {
  if (Handle) return Handle;
  if (CreateHidden) {
    MakeWindow();
  } else {
    SetVisible(false);
    MakeWindow();
    ShowPending = true;
  }
  return Handle;
}

LRESULT TControl::SendToWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(EnsureHandle(), message, wParam, lParam);
}

void TControl::SetVisible(bool on) {
  Style = on ? (Style | WS_VISIBLE) : (Style & ~WS_VISIBLE);
  Visible = on;
  if (!Handle) return;
  ShowWindow(Handle, on ? SW_SHOW : SW_HIDE);
  if (Parent && AlignHook) AlignHook(Parent);
  if (on && AlignHook) AlignHook(this);
  if (!on) ShowPending = false;
}

void TControl::AddMessageHandler(TMessageHandler handler, bool keep) {
  for (int32_t i = 0; i + 1 < Handlers->Count; i += 2) {
    if (Handlers->Items[i] == reinterpret_cast<void*>(handler)) return;
  }
  Handlers->Add(reinterpret_cast<void*>(handler));
  Handlers->Add(reinterpret_cast<void*>(static_cast<intptr_t>(keep)));
  HandlerHook = DispatchHandlers;
}

bool DispatchHandlers(TControl* control, MSG& msg, LRESULT& result) {
  TList* handlers = control->Handlers;
  if (control->RefCount < 0 || !handlers || handlers->Count == 0) return false;
  // Held so that a handler freeing its own control does not pull the list away.
  const TFrameReference reference(control);
  bool handled = false;
  for (int32_t i = handlers->Count - 2; i >= 0 && !handled; i -= 2) {
    const bool keep = handlers->Items[i + 1] != nullptr;
    if (LoopEnded && !keep) continue;
    const auto handler = reinterpret_cast<TMessageHandler>(handlers->Items[i]);
    handled = handler(control, msg, result);
  }
  return handled || (control->RefCount & 1);
}

LRESULT TControl::CallDefault(const MSG& msg) {
  if (DefWndProc) return CallWindowProcW(DefWndProc, Handle, msg.message, msg.wParam, msg.lParam);
  return DefWindowProcW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

bool TControl::IsMainWindow() const {
  if (IsControl) return false;
  if (!Parent) return this == MainWindowControl || !HasAppObject;
  if (Parent->Parent) return false;
  return Parent->Children->Get(0) == this;
}

void TControl::CreateChildWindows() {
  if (!Children) return;
  // MakeWindow of a child may add or free children; walk by index and re-check.
  for (int32_t i = 0; i < Children->Count; ++i) {
    static_cast<TControl*>(Children->Items[i])->MakeWindow();
  }
}

void TControl::ApplyFont() {
  if (!Font) return;
  if (Handle) {
    TextColor = Font->ToolData.Color;
    SendMessageW(Handle, WM_SETFONT, reinterpret_cast<WPARAM>(Font->GetToolHandle()), 1);
  }
  if (Canvas) {
    TCanvas* canvas = Canvas;
    Canvas = nullptr;
    canvas->Free();
  }
  if (AutoSizeProc) AutoSizeProc(this);
}

void TControl::DestroyChildren() {
  if (!Children) return;
  for (int32_t i = Children->Count - 1; i >= 0; --i) {
    if (i >= Children->Count) continue;
    static_cast<TControl*>(Children->Items[i])->Free();
  }
  // A child still held by somebody goes later; it must not reach back to us.
  for (int32_t i = 0; i < Children->Count; ++i) {
    static_cast<TControl*>(Children->Items[i])->Parent = nullptr;
  }
  Children->ClearList();
}

void TControl::Click() {
  if (PreClickProc) PreClickProc(this);
  OnClick(this);
}

void TControl::Invalidate() {
  if (LoopEnded || !Handle) return;
  InvalidateRect(Handle, nullptr, TRUE);
  if (InvalidateHook) InvalidateHook(this);
}

void TControl::SetCursor(HCURSOR cursor) {
  const bool changed = cursor != Cursor;
  Cursor = cursor;
  if (!changed || !Handle || !cursor || ScreenCursor) return;
  POINT point;
  RECT client;
  if (!GetCursorPos(&point) || !ScreenToClient(Handle, &point)) return;
  if (GetClientRect(Handle, &client) && PtInRect(&client, point)) ::SetCursor(cursor);
}

void TControl::SetBoundsRect(const RECT& bounds) {
  // Every move costs the system a round of messages, even one that changes
  // nothing: a window already there stays untouched.
  const RECT current = BoundsRect(this);
  Bounds = bounds;
  if (!Handle || (EqualRect(&current, &bounds) && !IsIconic(Handle))) return;
  SetWindowPos(Handle, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

TControl* TControl::ParentForm() {
  for (TControl* control = this; control; control = control->Parent) {
    if (control->IsForm) return control;
  }
  return nullptr;
}

HBRUSH TControl::GetBackBrush() {
  if (Parent && Parent->Color == Color) {
    if (BackBrush) DeleteObject(BackBrush);
    BackBrush = nullptr;
    return Parent->GetBackBrush();
  }
  const COLORREF rgb = ResolveColor(Color);
  if (BackBrush && BackBrushColor != rgb) {
    DeleteObject(BackBrush);
    BackBrush = nullptr;
  }
  if (!BackBrush) {
    BackBrush = CreateSolidBrush(rgb);
    BackBrushColor = rgb;
  }
  return BackBrush;
}

TGraphicTool* TControl::GetFont() {
  if (!Font) {
    Font = NewFont();
    Font->OnChange = MakeEvent<&TControl::ToolChanged>(this);
  }
  return Font;
}

TGraphicTool* TControl::GetBrush() {
  if (!Brush) {
    Brush = NewBrush();
    Brush->SetColor(Color);
    Brush->OnChange = MakeEvent<&TControl::ToolChanged>(this);
  }
  return Brush;
}

TCanvas* TControl::GetCanvas() {
  if (Canvas) return Canvas;
  Canvas = NewCanvas(nullptr);
  Canvas->Owner = TCanvasOwner{this, &PaintDC, &TextColor, &Color, &Brush};
  Canvas->GetDCProc = ControlCanvasDC;
  Canvas->GetDCData = this;
  // The canvas draws text with a copy of the control's font.
  if (Font) Canvas->Font = AssignTool(nullptr, Font);
  return Canvas;
}

void TControl::ToolChanged(TObj* tool) {
  if (tool == Font) {
    ApplyFont();
  } else {
    Invalidate();
  }
}

HWND MainWindowHandle() {
  return MainWindowControl ? MainWindowControl->Handle : nullptr;
}
