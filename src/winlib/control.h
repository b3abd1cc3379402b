// TControl, one object for every window of the program, the window procedure
// of the library and the library-wide state and hooks that messages pass through.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "list.h"
#include "obj.h"

class TCanvas;
class TControl;
class TGraphicTool;

// Private messages of the library.
constexpr UINT RM_RELEASE = 0xB003;   // free this control's object
constexpr UINT RM_COMMAND = 0xB005;   // a WM_COMMAND reflected to the control that sent it
constexpr UINT RM_BASE = 0xBC00;      // WM_CTLCOLOR* reflected as RM_BASE + message
constexpr UINT RM_DRAWITEM = 0xBC2B;  // WM_DRAWITEM reflected to the item's control

// A library event with its own arguments: the procedure gets the data pointer first.
template <class Signature>
struct TEvent;
template <class R, class... Args>
struct TEvent<R(Args...)> {
  using Proc = R (*)(void* data, Args...);
  Proc proc = nullptr;
  void* data = nullptr;
  explicit operator bool() const { return proc != nullptr; }
  // An unset event answers the default (false, 0, nothing).
  R operator()(Args... args) const {
    if (!proc) return R();
    return proc(data, args...);
  }
};

namespace event_detail {
template <auto Method, class C, class R, class... Args>
TEvent<R(Args...)> BindMethod(C* object, R (C::*)(Args...)) {
  return {[](void* data, Args... args) -> R { return (static_cast<C*>(data)->*Method)(args...); },
          object};
}
}  // namespace event_detail

// BindEvent<&TKVWin::HandleKeyDown>(this): a member of an object as a TEvent.
template <auto Method, class C>
auto BindEvent(C* object) {
  return event_detail::BindMethod<Method>(object, Method);
}

// The mouse record handed to the mouse events.
struct TMouseEventData {
  uint8_t Button = 0;  // 0 none, 1 left, 2 right, 3 middle
  bool StopHandling = false;
  uint32_t Shift = 0;  // wParam, plus 0x20 with Alt; the wheel delta in the high 16 bits
  int16_t X = 0;
  int16_t Y = 0;
};

// Shift states of the keyboard events.
constexpr uint32_t kShiftKey = 4;
constexpr uint32_t kCtrlKey = 8;
constexpr uint32_t kAltKey = 0x20;

// A hook or attached handler: answers true when it handled the message.
using TMessageHandler = bool (*)(TControl* control, MSG& msg, LRESULT& result);
using TAfterMessageProc = void (*)(TControl* control, MSG& msg, LRESULT& result);
using TPreTranslateProc = bool (*)(TControl* control, MSG& msg);
using TControlProc = void (*)(TControl* control);
using TChildChangedProc = void (*)(TControl* control, TControl* child);
using TDialogKeyProc = bool (*)(TControl* control, uint32_t key, bool notKeyDown);
using TCallMessageProc = void (*)(LPARAM lParam, WPARAM wParam);
using TMcNotifyProc = void (*)(MSG& msg);

using TOnMessage = TEvent<bool(MSG& msg, LRESULT& result)>;
using TOnMouse = TEvent<void(TControl* sender, TMouseEventData& mouse)>;
using TOnKey = TEvent<void(TControl* sender, uint32_t& key, uint32_t shift)>;
// key: one UTF-16 unit, as the window got it.
using TOnChar = TEvent<void(TControl* sender, wchar_t& key, uint32_t shift)>;
using TOnPaint = TEvent<void(TControl* sender, HDC dc)>;
using TOnClose = TEvent<void(TControl* sender, bool& accept)>;
using THitTest = TEvent<bool(TControl* sender)>;
// state: 0 normal, 1 pressed, 2 disabled, 3 focused, 4 hot (flat, mouse inside).
using TOnBitBtnDraw = TEvent<bool(TControl* sender, int state)>;

struct TClientMargins {
  int32_t Top = 0;
  int32_t Bottom = 0;
  int32_t Left = 0;
  int32_t Right = 0;
};

class TControl : public TObj {
 public:
  // Sets the defaults of every field; the hooks answer "not handled".
  void Init() override;
  // Init, joins the parent and takes its colour.
  virtual void InitParented(TControl* parent);
  // Creates the window (and the parent's, and the children's); true when it exists.
  virtual bool MakeWindow();
  // The dispatcher every message of the control passes through.
  virtual LRESULT HandleMessage(MSG& msg);

  // Handle, creating the window hidden when there is none yet (shown by MakeWindow).
  HWND EnsureHandle();
  LRESULT SendToWindow(UINT message, WPARAM wParam, LPARAM lParam);
  void SetParent(TControl* parent);
  void SetVisible(bool on);
  // keep: the handler still runs after the message loop has ended.
  void AddMessageHandler(TMessageHandler handler, bool keep);
  LRESULT CallDefault(const MSG& msg);
  [[nodiscard]] bool IsMainWindow() const;
  void CreateChildWindows();
  void ApplyFont();
  void DestroyChildren();
  void Click();
  void Invalidate();
  void SetCursor(HCURSOR cursor);
  // Stores the bounds and moves the window, when there is one, without
  // touching its z-order or activation.
  void SetBoundsRect(const RECT& bounds);
  // The nearest form among the control itself and its ancestors, or none.
  [[nodiscard]] TControl* ParentForm();
  // The big icon: none for -1, else the stored one, else the application's.
  HICON GetIcon();
  // Solid brush of the resolved Color, shared with the parent when equal.
  HBRUSH GetBackBrush();
  // Created on first use and owned; the font and brush report their changes here.
  TGraphicTool* GetFont();
  TGraphicTool* GetBrush();
  TCanvas* GetCanvas();
  // The change event of the control's own font and brush: applies the tool.
  void ToolChanged(TObj* tool);

  HWND Handle = nullptr;
  HWND FocusHandle = nullptr;
  uint32_t ClassStyle = 0;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  HCURSOR Cursor = nullptr;
  bool IconShared = false;
  std::string Caption;
  uint8_t WindowState = 0;
  int32_t SavedShowCmd = 0;
  TCanvas* Canvas = nullptr;
  WNDPROC DefWndProc = nullptr;
  bool SystemDestroyed = false;
  TControl* Parent = nullptr;
  bool Enabled = false;
  bool Visible = false;
  bool TabStop = false;
  int32_t TabOrder = 0;
  TList* Children = nullptr;
  TAfterMessageProc AfterMessageProc = nullptr;
  WNDPROC ClassWndProc = nullptr;
  TPreTranslateProc PreTranslateProc = nullptr;
  HBRUSH BackBrush = nullptr;
  COLORREF BackBrushColor = 0;
  bool Destroying = false;
  int32_t ControlID = 0;
  HACCEL Accelerators = nullptr;
  bool IsApp = false;
  bool IsForm = false;
  bool IsControl = false;
  bool HideOnSetText = false;
  uint8_t PositionGiven = 0;  // bit 0 left given, bit 1 top given
  bool PaintsItself = false;
  HRGN UpdateRgn = nullptr;
  HRGN PendingRgn = nullptr;
  bool EraseOnPaint = false;
  HDC PaintDC = nullptr;
  HBITMAP BackBuffer = nullptr;
  int32_t BackBufferWidth = 0;
  int32_t BackBufferHeight = 0;
  bool BufferedPaintActive = false;
  uint32_t NavKeys = 0;  // 1 Tab, 2 Left/Right, 4 Up/Down, 8 Page Up/Down
  // Pairs of entries: the handler, then its keep flag (0 or 1).
  TList* Handlers = nullptr;
  TMessageHandler HandlerHook = nullptr;
  TMessageHandler KeyHook = nullptr;
  TControlProc PreClickProc = nullptr;
  std::string BaseClassName;
  bool BaseClassNameAsIs = false;
  TMessageHandler KindHook = nullptr;
  TDialogKeyProc DialogKeyProc = nullptr;
  uint32_t TextColor = 0;
  TGraphicTool* Font = nullptr;
  uint32_t Color = 0;
  TGraphicTool* Brush = nullptr;
  int32_t Spacing = 0;
  RECT Bounds{};
  TClientMargins ClientMargins;
  bool BufferedPaint = false;
  bool Transparent = false;
  TOnMessage OnMessage;
  TOnEvent OnClick;
  TControl* FocusedControl = nullptr;
  bool CreateHidden = false;
  bool ShowPending = false;
  uint8_t FocusNesting = 0;
  TOnMouse OnMouseDown;
  TOnMouse OnMouseUp;
  TOnMouse OnMouseMove;
  TOnMouse OnMouseDblClk;
  TOnMouse OnMouseWheel;
  // Click, the three notification events, the kind's own procedure.
  uint16_t NotifyCodes[5] = {};
  TOnChar OnChar;
  TOnKey OnKeyUp;
  TOnKey OnKeyDown;
  TOnPaint OnPaint;
  uint8_t Align = 0;  // 0 none, 1 left, 2 top, 3 right, 4 bottom, 5 client
  bool AlignLocked = false;
  TOnEvent OnResize;
  TOnEvent OnMouseLeave;
  TOnEvent OnMouseEnter;
  THitTest HitTestProc;
  bool MouseInside = false;
  TOnClose OnClose;
  // Set when the window has accepted a close: the application object then
  // ends the loop instead of handing the close to its form again.
  bool CloseAccepted = false;
  TControlProc OnWindowCreated = nullptr;
  TControlProc AutoSizeProc = nullptr;
  TChildChangedProc ChildChangedProc = nullptr;

  // Fields the kinds give a meaning to.
  bool Ctl3DState = false;            // the constructor's flag
  HICON Icon = nullptr;               // (HICON)-1: no icon and no inheritance
  TOnEvent NotifyEvents[3];           // fired by NotifyCodes[1..3]
  TControlProc NotifyProc = nullptr;  // run for NotifyCodes[4]
  TObj* KindObject1 = nullptr;        // owned, freed with the font and brush
  TObj* KindObject2 = nullptr;
  std::string KindText;
  TList* KindList = nullptr;  // owned list (not its items)

  // On a form.
  TControl* StatusBar = nullptr;  // a child, made by the first status text
  bool SizeGrip = false;
  int32_t StatusHeight = 0;  // taken off the client area
  TControl* DefaultButton = nullptr;
  TControl* CancelButton = nullptr;
  int32_t TabCounter = 0;  // the last TabOrder handed out to a control of the form
  TDialogKeyProc SavedDialogKeyProc = nullptr;  // kept while a button role is on
  // On a button.
  bool IsDefault = false;
  bool IsCancel = false;
  // On any window.
  uint8_t AlphaValue = 255;
  uint8_t WindowStateWanted = 0;
  // The kind's style bits for left, centre and right text, and the bits any
  // alignment clears.
  uint32_t TextAlignStyles[3] = {};
  uint32_t TextAlignExcluded = 0;
  // The kind's message that sets the background colour (the colour in lParam),
  // 0 when the kind has none.
  UINT ColorMessage = 0;
  // Raised by WM_SHOWWINDOW: shown (wParam true) and hidden (wParam false).
  TOnEvent OnShow;
  TOnEvent OnHide;
  // On a bitmap button.
  uint32_t BitBtnOptions = 0;      // bit 0: the glyph is an image list; bit 3: toggle
  HBITMAP GlyphBitmap = nullptr;   // borrowed, the caller keeps it
  HIMAGELIST GlyphList = nullptr;  // borrowed, used with option bit 0
  int32_t GlyphCount = 0;          // pictures side by side in the glyph
  SIZE GlyphSize{};                // of one picture
  uint8_t GlyphLayout = 0;         // 0 left of the text, 1 right, 2 above, 3 below
  bool Flat = false;               // drawn highlighted while the mouse is inside
  bool Down = false;               // a toggle button that stays pressed
  POINT PressedOffset{};           // glyph and text shift of the library's own drawing
  TOnBitBtnDraw OnBitBtnDraw;      // answers true when it drew the button
  // On a form: the form it waits for while that one is shown modally, and
  // the answer that form leaves when it closes.
  TControl* ModalChild = nullptr;
  int32_t ModalResult = 0;
  // The component the control belongs to, for code that holds only the control.
  void* UserData = nullptr;

 protected:
  ~TControl() override;

 private:
  bool CreateTheWindow();
  bool RegisterWindowClass(WNDCLASSW& wc, const wchar_t* className);
  bool HandleCase(MSG& msg, LRESULT& result);
  LRESULT OnKeyMessage(MSG& msg, bool& returnAtOnce);
  LRESULT OnCloseMessage(const MSG& msg);
  LRESULT OnNcDestroy(const MSG& msg, bool& returnAtOnce);
  void ReleaseOwned();
  void DestroyBigIcon();
  void LetGoOfDyingWindow();
  void ForgetInForm(TControl* form);

  bool InDestructor = false;
  bool MakingWindow = false;
  bool ReleasedOwned = false;
};

// The windowed-control constructor: the first step of every control kind.
TControl* NewWindowedControl(TControl* parent, const char* subClassName, bool ctl3d);

// The window procedure of every window class the library registers.
LRESULT CALLBACK WndProcShared(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Walks the attached handlers, last attached first; HandlerHook once one is attached.
bool DispatchHandlers(TControl* control, MSG& msg, LRESULT& result);

// Handlers the kinds attach (or install as KeyHook) when the matching event is set.
bool StandardControlHandler(TControl* control, MSG& msg, LRESULT& result);
bool KeyEventsHook(TControl* control, MSG& msg, LRESULT& result);
bool MouseEventsHandler(TControl* control, MSG& msg, LRESULT& result);
bool MouseEnterLeaveHandler(TControl* control, MSG& msg, LRESULT& result);
bool ResizeHandler(TControl* control, MSG& msg, LRESULT& result);
bool NotifyReflectHandler(TControl* control, MSG& msg, LRESULT& result);
bool DrawItemReflectHandler(TControl* control, MSG& msg, LRESULT& result);

// The control of a library window (its "SELF_" property), or none.
TControl* ControlOfWindow(HWND window);
// Binds a library window to its control: the "SELF_" property, which other
// processes can read too, and a copy in the window's user data, which the
// window procedure reads on every message without a trip to the system.
void BindWindow(HWND window, TControl* control);
void UnbindWindow(HWND window);
// The control a window of the library's classes was bound to, or none.
TControl* BoundControl(HWND window);

// LoadCursorW of a module's cursor named the way resources are named in our
// code: a number (MAKEINTRESOURCEA) or a UTF-8 name.
HCURSOR LoadCursorOf(HINSTANCE module, const char* identifier);
// A cursor of the system by its number (IDC_ARROW...), loaded once: they are
// shared and live as long as the process, and loading one costs more than
// making a window. A named one is loaded every time.
HCURSOR SystemCursor(const char* identifier);

// The window that owns the program's dialogs and shell progress windows: the
// main window control's, none while there is none (its window is not made here).
HWND MainWindowHandle();

// Library-wide state, one set per process.
extern TControl* MainWindowControl;
extern bool LoopRunning;
extern bool LoopEnded;
extern TControl* CreatingControl;
extern bool HasAppObject;
extern HCURSOR ScreenCursor;
extern bool CursorLocked;
extern TMessageHandler GlobalMessageHook;
extern TMessageHandler GlobalKeyHook;
extern TControlProc WindowCreatedHook;
extern TControlProc AlignHook;
extern TControlProc InvalidateHook;
extern TCallMessageProc CallMessageProc;
extern TMcNotifyProc McNotifyProc;

// The defaults the hooks start with and may be set back to.
bool NotHandled(TControl* control, MSG& msg, LRESULT& result);
void DoNothing(TControl* control);
