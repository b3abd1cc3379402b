#include "kv_win.h"

#include <iterator>

#include "control_props.h"
#include "graphic_tool.h"
#include "layout.h"
#include "paint.h"
#include "text_conv.h"

namespace {

// No size, no move, no activation, hide, no owner z-order.
constexpr UINT kHideInPlace = 0x293;
constexpr uint32_t kFlatStyle = 0x8000;

enum : uint8_t { kAlignLeft = 1, kAlignRight = 3, kAlignBottom = 4 };

// The extended style each edge look (1 to 4) puts in place of the whole
// extended style; 0 leaves it.
constexpr uint32_t kEdgeStyles[] = {0, 0, WS_EX_STATICEDGE, WS_EX_DLGMODALFRAME,
                                    WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME};

// One button held alone reports its number; anything else is -1.
int32_t ButtonOfShift(uint32_t shift) {
  switch (shift) {
    case MK_LBUTTON:
      return 0;
    case MK_RBUTTON:
      return 1;
    case MK_MBUTTON:
      return 2;
    default:
      return -1;
  }
}

void ForgetCompanion(void* data, TObj*) {
  static_cast<TKVWin*>(data)->Companion = nullptr;
}

template <class Event>
void DropIfOurs(Event& event, const void* owner) {
  if (event.data == owner) event = Event{};
}

}  // namespace

TKVWin::TKVWin(TControl* parent) : Parent(parent) {
  if (parent) Color = parent->Color;
}

TKVWin::~TKVWin() {
  if (Manager) LeaveManager();
  // A companion that outlives us must not tell us of its end.
  if (Companion) Companion->RemoveFreeNotify(ForgetCompanion, this);
  if (ControlDestroyed || !Control) return;
  RemoveHint();
  if (Companion) Companion->Free();
  Companion = nullptr;
  // Our end is no news to anyone: the control goes without calling back.
  Unhook();
  TControl* control = Control;
  Control = nullptr;
  control->SetVisible(false);
  control->Free();
}

void TKVWin::HandleKeyDown(TControl*, uint32_t& key, uint32_t) {
  FireInteger(onKeyDown, static_cast<int32_t>(key));
}

void TKVWin::HandleKeyUp(TControl*, uint32_t& key, uint32_t) {
  FireInteger(onKeyUp, static_cast<int32_t>(key));
}

// The character as UTF-8; half of a surrogate pair comes as U+FFFD.
void TKVWin::HandleChar(TControl*, wchar_t& ch, uint32_t) {
  FireString(onChar, ToUtf8(std::wstring_view(&ch, 1)));
}

void TKVWin::HandleMouseDown(TControl*, TMouseEventData& mouse) {
  MouseData = mouse;
  FireInteger(onMouseDown, mouse.Button - 1);
  if (MouseCapture && Control) {
    ReleaseCapture();
    SetCapture(Control->Handle);
  }
}

// The hint and the button number come from the previous notification's data:
// the data of this one are stored only afterwards.
void TKVWin::HandleMouseMove(TControl*, TMouseEventData& mouse) {
  if (HintManager) HintManager->TrackMove(HintId, MouseData.X, MouseData.Y);
  const int32_t button = ButtonOfShift(MouseData.Shift);
  MouseData = mouse;
  FireInteger(onMouseMove, button);
}

void TKVWin::HandleMouseEnter(TObj*) {
  if (HintManager) HintManager->TrackOn(HintId);
  FireNull(onMouseEnter);
}

void TKVWin::HandleMouseLeave(TObj*) {
  if (HintManager) HintManager->TrackOff(HintId);
  FireNull(onMouseLeave);
}

void TKVWin::HandleMouseUp(TControl*, TMouseEventData& mouse) {
  MouseData = mouse;
  FireInteger(onMouseUp, mouse.Button - 1);
  if (MouseCapture) ReleaseCapture();
}

void TKVWin::HandleMouseWheel(TControl*, TMouseEventData& mouse) {
  MouseData = mouse;
  // The high word of Shift: the signed delta, positive away from the user.
  FireInteger(onMouseWheel, static_cast<int16_t>(HIWORD(mouse.Shift)));
}

bool TKVWin::HandleMessage(MSG& msg, LRESULT& result) {
  switch (msg.message) {
    case WM_MOVE:
      FireNull(onMove);
      break;
    case WM_SETFOCUS:
      FireNull(onSetFocus);
      break;
    case WM_KILLFOCUS:
      FireNull(onKillFocus);
      break;
    case WM_WINDOWPOSCHANGING:
      // lParam: the position and size the window is about to take.
      if (msg.lParam) AdjustSize(*reinterpret_cast<WINDOWPOS*>(msg.lParam));
      break;
    default:
      break;
  }
  return SavedMessageHandler(msg, result);
}

// What needs the control is let go now, while it still answers; the
// component may live on, and the dying control calls it no more.
void TKVWin::HandleDestroy(TObj*) {
  if (!Control) return;
  RemoveHint();
  if (Manager && Manager->Unregister) Manager->Unregister(Manager, Control);
  Unhook();
  ControlDestroyed = true;
  Control = nullptr;
}

void TKVWin::HandleResize(TObj*) {
  FireNull(onResize);
}

void TKVWin::HandleShow(TObj*) {
  FireNull(onShow);
}

void TKVWin::HandleHide(TObj*) {
  FireNull(onHide);
}

void TKVWin::Init() {
  if (!Control) return;
  ControlGetter = BindEvent<&TKVWin::CurrentControl>(this);

  SetColor(Control, Color);
  SetPosition(Control, Left, Top);
  if (Width > 0) SetWidth(Control, Width);
  if (Height > 0) SetHeight(Control, Height);
  if (Ctl3D <= 1) SetCtl3D(Control, Ctl3D == 0);

  SetTransparent(Control, Transparent);
  SetEnabled(Control, Enabled);
  SetCursor(Control, nullptr, MAKEINTRESOURCEA(Cursor));
  if (Flat) SetStyle(Control, Control->Style | kFlatStyle);
  ApplyFont();
  ApplyTabOrder();

  SavedMessageHandler = Control->OnMessage;
  HookNotifications();
  SetAlign(Control, Align);

  if (Control->Handle) SetWindowPos(Control->Handle, nullptr, 0, 0, 0, 0, kHideInPlace);
  Control->SetVisible(Visible);
  Control->MakeWindow();
  if (CompanionFactory) MakeCompanion();
  if (Ctl3D == 0) ApplyEdgeStyle();
}

TEvent<TControl*()>* TKVWin::GetControlInterface() {
  return &ControlGetter;
}

void TKVWin::JoinHint(THintInterface* manager) {
  if (manager) {
    if (Control) {
      SetOnMouseEnter(Control, MakeEvent<&TKVWin::HandleMouseEnter>(this));
      SetOnMouseLeave(Control, MakeEvent<&TKVWin::HandleMouseLeave>(this));
    }
    RegisterHint(manager);
    return;
  }
  if (Hint.empty() || !::HintManager) return;
  RegisterHint(&::HintManager->Interface);
}

void TKVWin::JoinManager(TKVManager* manager) {
  if (manager && manager->Register && Control) {
    manager->Register(manager, Control, ManagerParam1, ManagerParam2);
  }
  Manager = manager;
}

void TKVWin::HandleDblClick(TControl*, TMouseEventData& mouse) {
  FireInteger(onDblClick, mouse.Button - 1);
}

void TKVWin::KeyDownRelay(TControl* sender, uint32_t& key, uint32_t shift) {
  RelayKey(&TControl::OnKeyDown, &TKVWin::HandleKeyDown, sender, key, shift);
}

void TKVWin::KeyUpRelay(TControl* sender, uint32_t& key, uint32_t shift) {
  RelayKey(&TControl::OnKeyUp, &TKVWin::HandleKeyUp, sender, key, shift);
}

void TKVWin::CharRelay(TControl* sender, wchar_t& ch, uint32_t shift) {
  RelayKey(&TControl::OnChar, &TKVWin::HandleChar, sender, ch, shift);
}

// The parent form sees the key first and may swallow it (0) before it reaches
// this component; KeyResult, when a handler sets it, replaces the key.
template <class Key>
void TKVWin::RelayKey(TEvent<void(TControl*, Key&, uint32_t)> TControl::*parentHandler,
                      void (TKVWin::*handler)(TControl*, Key&, uint32_t), TControl* sender,
                      Key& key, uint32_t shift) {
  if (KeyPreview && Parent && Parent->*parentHandler) {
    (Parent->*parentHandler)(Parent, key, shift);
    if (key == 0) return;
  }
  KeyResult = -1;
  (this->*handler)(sender, key, shift);
  if (KeyResult >= 0) {
    key = static_cast<Key>(KeyResult);
  } else if (key == 0) {
    KeyResult = 0;
  }
}

// Each linked Adjust input gets the proposed change and may answer another one.
void TKVWin::AdjustSize(WINDOWPOS& pos) {
  if ((pos.flags & SWP_NOSIZE) || !Control) return;
  const int32_t height = ::Height(Control);
  if (pos.cy != height) {
    TData change;
    SetInteger(change, pos.cy - height);
    ReadDataPlain(AdjustHeight, change);
    if (change.type == dtInteger) pos.cy = height + change.intValue;
  }
  const int32_t width = ::Width(Control);
  if (pos.cx != width) {
    TData change;
    SetInteger(change, pos.cx - width);
    ReadDataPlain(AdjustWidth, change);
    if (change.type == dtInteger) pos.cx = width + change.intValue;
  }
}

void TKVWin::ApplyFont() {
  if (ParentFont) {
    if (Parent) Control->Font = AssignTool(Control->GetFont(), Parent->GetFont());
    return;
  }
  // Described on a copy and handed over in one change: each setter on the
  // control's own font would tell the control (and remeasure an auto-sized
  // one, through a font of its own for every half-set description) again.
  TGraphicTool* wanted = AssignTool(nullptr, Control->GetFont());
  wanted->SetColor(Font.Color);
  wanted->SetFontStyle(Font.Style);
  wanted->SetFontName(Font.Name);
  wanted->SetFontHeight(PointsToHeight(Font.Size));
  wanted->SetFontCharset(Font.CharSet);
  Control->Font->SetToolData(wanted->ToolData);
  wanted->Free();
}

void TKVWin::ApplyTabOrder() {
  if (TabOrder > 0) {
    SetStyle(Control, Control->Style | WS_TABSTOP);
    Control->TabStop = true;
    Control->NavKeys = 1;  // Tab only
    SetTabOrder(Control, TabOrder);
    return;
  }
  Control->TabStop = TabOrder == 0;
}

void TKVWin::HookNotifications() {
  SetOnMouseDown(Control, BindEvent<&TKVWin::HandleMouseDown>(this));
  SetOnMouseMove(Control, BindEvent<&TKVWin::HandleMouseMove>(this));
  SetOnMouseUp(Control, BindEvent<&TKVWin::HandleMouseUp>(this));
  SetOnMouseWheel(Control, BindEvent<&TKVWin::HandleMouseWheel>(this));
  SetOnMouseDblClk(Control, BindEvent<&TKVWin::HandleDblClick>(this));
  SetOnMessage(Control, BindEvent<&TKVWin::HandleMessage>(this));
  SetOnDestroy(Control, MakeEvent<&TKVWin::HandleDestroy>(this));
  SetOnKeyDown(Control, BindEvent<&TKVWin::KeyDownRelay>(this));
  SetOnKeyUp(Control, BindEvent<&TKVWin::KeyUpRelay>(this));
  SetOnChar(Control, BindEvent<&TKVWin::CharRelay>(this));
  SetOnResize(Control, MakeEvent<&TKVWin::HandleResize>(this));
  SetOnShow(Control, MakeEvent<&TKVWin::HandleShow>(this));
  SetOnHide(Control, MakeEvent<&TKVWin::HandleHide>(this));
}

// The companion stands beside an aligned control, as long as the control's
// side less the gap and the parent's spacing.
void TKVWin::MakeCompanion() {
  Companion = CompanionFactory(Control->Parent, CompanionParam1, CompanionParam2, CompanionGap,
                               CompanionColor);
  if (!Companion) return;
  Companion->AddFreeNotify(ForgetCompanion, this);
  if (Companion->Handle) SetWindowPos(Companion->Handle, nullptr, 0, 0, 0, 0, kHideInPlace);
  const uint8_t align = Control->Align;
  if (align >= kAlignLeft && align <= kAlignBottom) {
    const int32_t margin = CompanionGap + (Control->Parent ? Control->Parent->Spacing : 0);
    if (align == kAlignLeft || align == kAlignRight) {
      SetHeight(Companion, ::Height(Control) - margin);
    } else {
      SetWidth(Companion, ::Width(Control) - margin);
    }
    Companion->SetVisible(Control->Visible);
  } else {
    Companion->SetVisible(false);
  }
  Companion->MakeWindow();
}

void TKVWin::ApplyEdgeStyle() {
  if (EdgeStyle == 0 || EdgeStyle >= std::size(kEdgeStyles)) return;
  SetExStyle(Control, kEdgeStyles[EdgeStyle]);
}

void TKVWin::RegisterHint(THintInterface* manager) {
  if (!Control || !Control->Handle) return;
  HintId = manager->AddTool(Control->Handle);
  manager->SetText(HintId, Hint);
  HintManager = manager;
}

// The tool's tooltip hangs on the control's window: it goes while that lives.
void TKVWin::RemoveHint() {
  if (HintId && HintManager) HintManager->RemoveTool(HintId);
  HintId = 0;
}

// A destroyed control was unregistered when it went.
void TKVWin::LeaveManager() {
  TKVManager* manager = Manager;
  Manager = nullptr;
  if (manager->Unregister) {
    if (Control) manager->Unregister(manager, Control);
    return;
  }
  if (--manager->RefCount <= 0) delete manager;
}

void TKVWin::Unhook() {
  if (Control->OnMessage.data == this) Control->OnMessage = SavedMessageHandler;
  DropIfOurs(Control->OnMouseDown, this);
  DropIfOurs(Control->OnMouseMove, this);
  DropIfOurs(Control->OnMouseUp, this);
  DropIfOurs(Control->OnMouseWheel, this);
  DropIfOurs(Control->OnMouseDblClk, this);
  DropIfOurs(Control->OnKeyDown, this);
  DropIfOurs(Control->OnKeyUp, this);
  DropIfOurs(Control->OnChar, this);
  DropIfOurs(Control->OnResize, this);
  DropIfOurs(Control->OnShow, this);
  DropIfOurs(Control->OnHide, this);
  DropIfOurs(Control->OnMouseEnter, this);
  DropIfOurs(Control->OnMouseLeave, this);
  DropIfOurs(Control->OnPaint, this);
  DropIfOurs(Control->OnDestroy, this);
  // Those of the derived components.
  DropIfOurs(Control->OnClick, this);
  DropIfOurs(Control->OnBitBtnDraw, this);
}
