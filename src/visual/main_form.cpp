#include "main_form.h"

#include <iterator>
#include <string_view>

#include "app.h"
#include "control_kinds.h"
#include "control_props.h"
#include "ini_file.h"
#include "library_unit.h"
#include "start_list.h"
#include "text_conv.h"

namespace {

constexpr uint32_t kBorderStyleMask = WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr uint32_t kBorderExStyleMask = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
static_assert(kBorderStyleMask == 0xC70000 && kBorderExStyleMask == 0x181);

struct TBorderStyle {
  uint32_t Style;
  uint32_t ExStyle;
};
constexpr TBorderStyle kBorderStyles[] = {
    {0, 0},
    {0xC20000, 0},      // caption, minimise box
    {0xC70000, 0},      // caption, sizing frame, minimise and maximise boxes
    {0xC00000, 0x100},  // caption; window edge
    {0xC00000, 0x80},   // caption; tool window
    {0xC40000, 0x80},   // caption, sizing frame; tool window
    {0, 0x1},           // modal frame
    {0x40000, 0x80},    // sizing frame; tool window
    {0, 0x201},         // client edge, modal frame
    {0x40000, 0x200},   // sizing frame; client edge
};

// Tool window and modal frame: no task-bar button.
constexpr uint32_t kNoTaskbarExStyle = 0x81;
constexpr WPARAM kMoveByDragging = 0xF012;
constexpr std::string_view kIniMark = ".ini\\";

// The folder of the program file, with its last backslash; empty when the
// system cannot tell the whole name.
std::string ProgramFolder() {
  // The longest path the system has, so a program deep in the tree is named whole.
  std::wstring name(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
  // A full buffer means a cut name, not always terminated.
  if (length == 0 || length >= name.size()) return {};
  name.resize(length);
  const size_t slash = name.rfind(L'\\');
  if (slash == std::wstring::npos) return {};
  return ToUtf8(std::wstring_view(name).substr(0, slash + 1));
}

void WriteDword(HKEY key, const char* name, int32_t value) {
  const auto data = static_cast<DWORD>(value);
  RegSetValueExW(key, ToWstr(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                 sizeof data);
}

// Only a REG_DWORD of exactly four bytes counts.
bool ReadDword(HKEY key, const char* name, int32_t& value) {
  DWORD data = 0;
  DWORD type = 0;
  DWORD size = sizeof data;
  if (RegQueryValueExW(key, ToWstr(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_DWORD || size != sizeof data) return false;
  value = static_cast<int32_t>(data);
  return true;
}

}  // namespace

TKVMainForm::TKVMainForm(TControl* parent) : TKVWin(parent) {
  if (!MainWindowControl) {
    MainWindowControl = NewApp("");
    OwnsApplication = true;
  }
  Control = NewForm(parent ? parent : MainWindowControl, "Form");
  Control->SetVisible(false);
  SetOnShow(Control, MakeEvent<&TKVWin::HandleShow>(this));
  // Heard from the start, so that even a form never initialised forgets its control.
  SetOnDestroy(Control, MakeEvent<&TKVWin::HandleDestroy>(this));
  AddStartMethod<&TKVMainForm::StartForm>(this);
  Background = NewBitmap(0, 0);
}

TKVMainForm::~TKVMainForm() {
  RemoveStartActions(this);
  if (Background) Background->Free();
  Background = nullptr;
  // By the handle it was listed with: the control may be long gone.
  if (ListedWindow && FormsList) {
    const int32_t index = FormsList->IndexOfObject(ListedWindow);
    if (index >= 0) FormsList->DeleteString(index);
  }
  ListedWindow = nullptr;
}

void TKVMainForm::SetCaption(std::string_view text) {
  if (Control) SetText(Control, text);
  if (TControl* app = OwnedApp()) SetText(app, text);
}

void TKVMainForm::SetBorderStyle(uint32_t style) {
  if (style >= std::size(kBorderStyles) || !Control) return;
  // Not made for this: a window made later is made with these styles.
  const TBorderStyle& row = kBorderStyles[style];
  SetStyle(Control, (Control->Style & ~kBorderStyleMask) | row.Style);
  SetExStyle(Control, (Control->ExStyle & ~kBorderExStyleMask) | row.ExStyle);
}

void TKVMainForm::SetIcon(HICON icon) {
  if (TControl* app = OwnedApp()) ::SetIcon(app, icon);
  if (!icon && Parent) icon = Parent->GetIcon();
  if (Control) ::SetIcon(Control, icon);
}

void TKVMainForm::HideFromTaskbar(bool hide) {
  TControl* app = OwnedApp();
  if (hide && app) SetExStyle(app, kNoTaskbarExStyle);
}

void TKVMainForm::JoinFormManager(TKVFormManager* manager) {
  FormManager = manager;
  if (!manager || !Control) return;
  if (manager->AddForm) manager->AddForm(manager, Control);
  if (manager->WatchForm) manager->WatchForm(manager, Control);
}

void TKVMainForm::doClose(TData&, uint16_t) {
  PlacementHandler(true);
  // lParam 1: the program asks, so KeepOpen is not consulted.
  if (Control && Control->Handle) SendMessageW(Control->Handle, WM_CLOSE, 0, 1);
}

void TKVMainForm::CenterOnScreen() {
  if (!Control) return;
  SetPosition(Control, (GetSystemMetrics(SM_CXSCREEN) - ::Width(Control)) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - ::Height(Control)) / 2);
}

// Placed again just before it shows: what was built after Init (a status bar
// grows the form) would otherwise leave a centred form off centre. A stored
// placement still wins, at the first show.
void TKVMainForm::StartForm() {
  FireNull(onCreate);
  PositionHandler();
  if (Control) Control->SetVisible(Visible);
}

void TKVMainForm::HandleMouseDown(TControl* sender, TMouseEventData& mouse) {
  if (DragByClient && Control) {
    ReleaseCapture();
    SendMessageW(Control->Handle, WM_SYSCOMMAND, kMoveByDragging, 0);
  }
  TKVWin::HandleMouseDown(sender, mouse);
}

bool TKVMainForm::HandleMessage(MSG& msg, LRESULT& result) {
  if (!Control) return TKVWin::HandleMessage(msg, result);
  bool handled = false;
  TControl* app = OwnedApp();
  if (InnerMessageId && msg.message == InnerMessageId) {
    if (!OwnsApplication && DockTarget) FollowDockTarget();
  } else {
    switch (msg.message) {
      case WM_MOVE:
        if (app) SetPosition(app, ::Left(Control), ::Top(Control));
        if (!DockGroup.empty()) PostToFormsList();
        break;
      case WM_SIZE:
        if (app) SetWidth(app, ::Width(Control));
        if (!DockGroup.empty()) PostToFormsList();
        break;
      case WM_ACTIVATE:
        // wParam: 0 when the form loses the activation.
        FireNull(msg.wParam ? onActivate : onDeactivate);
        break;
      case WM_CLOSE:
        // lParam: 0 when the user asks (close box, Alt+F4); 1 from doClose and parent forms.
        handled = CloseProtocol(msg.lParam == 0);
        if (handled) result = 0;
        break;
      case WM_ERASEBKGND:
        // The paint handler covers the background with the picture.
        if (Background && !Background->Empty()) {
          result = 1;
          handled = true;
        }
        break;
      default:
        break;
    }
  }
  return handled || TKVWin::HandleMessage(msg, result);
}

void TKVMainForm::HandleShow(TObj* sender) {
  if (!ShownOnce) {
    // Set first: the window state may show the window again from in here.
    ShownOnce = true;
    if (Control) SetWindowState(Control, WindowState);
    PlacementHandler(false);
  }
  TKVWin::HandleShow(sender);
}

void TKVMainForm::Init() {
  if (!Control) return;
  if (PlacementStore.empty()) {
    PlacementHandler = BindEvent<&TKVMainForm::PlaceNowhere>(this);
  } else if (PlacementStore.find(kIniMark) != std::string::npos) {
    PlacementHandler = BindEvent<&TKVMainForm::PlaceInIni>(this);
  } else {
    PlacementHandler = BindEvent<&TKVMainForm::PlaceInRegistry>(this);
  }
  // The base leaves the window hidden; StartForm shows it.
  const bool visible = Visible;
  Visible = false;
  if (!OwnsApplication) {
    // Listed only with a real window, and taken out by that same handle.
    ListedWindow = Control->EnsureHandle();
    if (ListedWindow && FormsList) FormsList->AddObject("", ListedWindow);
  }
  TKVWin::Init();
  Visible = visible;
  SetAlphaBlend(Control, AlphaBlend);
  if (UseClientSize) SetClientSize(Control, Width, Height);
  SetOnPaint(Control, BindEvent<&TKVMainForm::PaintBackground>(this));
  Control->UserData = this;
  PositionHandler();
}

TControl* TKVMainForm::OwnedApp() const {
  if (!OwnsApplication || !MainWindowControl || !MainWindowControl->IsApp) return nullptr;
  return MainWindowControl;
}

bool TKVMainForm::CloseProtocol(bool userRequest) {
  if (userRequest && ReadIntegerPlain(KeepOpen) != 0) return true;
  CloseChildForms();
  bool keepWindow = true;
  if (OwnsApplication) {
    FireNull(onClose);
    // From here on nothing that closing and freeing raise reaches a component.
    SetHooksIdle();
    keepWindow = false;
  } else {
    TControl* owner = Parent ? Parent->ParentForm() : nullptr;
    if (owner && owner->ModalChild == Control) {
      Control->ModalResult = -1;
    } else {
      Control->SetVisible(false);
    }
  }
  PlacementHandler(true);
  return keepWindow;
}

void TKVMainForm::CloseChildForms() {
  TList* children = Control->Children;
  // A child may go while it closes: the count is read again every time.
  for (int32_t i = 0; children && i < children->Count; ++i) {
    auto* child = static_cast<TControl*>(children->Items[i]);
    if (child->IsForm && child->Handle) SendMessageW(child->Handle, WM_CLOSE, 0, 1);
  }
}

void TKVMainForm::FollowDockTarget() {
  TControl* target = (*DockTarget)();
  if (!target || !Control->Handle) return;
  MoveWindow(Control->Handle, ::Left(target) + DockLeft, ::Top(target) + DockTop, ::Width(Control),
             ::Height(Control), TRUE);
}

void TKVMainForm::PostToFormsList() {
  if (!FormsList) return;
  for (int32_t i = 0; i < FormsList->Count; ++i) {
    PostMessageW(static_cast<HWND>(FormsList->ObjectAt(i)), InnerMessageId, 0, 0);
  }
}

void TKVMainForm::PaintBackground(TControl*, HDC dc) {
  if (Background && !Background->Empty()) Background->Draw(dc, 0, 0);
}

void TKVMainForm::PlaceNowhere(bool) {}

// PlacementStore is "<file>.ini\<section>"; the file lies beside the program.
void TKVMainForm::PlaceInIni(bool save) {
  if (!Control) return;
  const std::string folder = ProgramFolder();
  if (folder.empty()) return;
  const size_t mark = PlacementStore.find(kIniMark);
  TIniFile* ini = OpenIniFile(folder + PlacementStore.substr(0, mark + 4));
  ini->Section = PlacementStore.substr(mark + kIniMark.size());
  ini->WriteMode = save;
  if (save) {
    ini->ValueInteger("Left", ::Left(Control));
    ini->ValueInteger("Top", ::Top(Control));
    ini->ValueInteger("Width", ::Width(Control));
    ini->ValueInteger("Height", ::Height(Control));
  } else {
    SetLeft(Control, ini->ValueInteger("Left", ::Left(Control)));
    SetTop(Control, ini->ValueInteger("Top", ::Top(Control)));
    SetWidth(Control, ini->ValueInteger("Width", ::Width(Control)));
    SetHeight(Control, ini->ValueInteger("Height", ::Height(Control)));
  }
  ini->Free();
}

// HKCU\Software\<PlacementStore>; the size goes as Height before Width.
void TKVMainForm::PlaceInRegistry(bool save) {
  if (!Control) return;
  const std::wstring keyName = ToWstr("Software\\" + PlacementStore);
  HKEY key = nullptr;
  if (save) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    WriteDword(key, "Left", ::Left(Control));
    WriteDword(key, "Top", ::Top(Control));
    WriteDword(key, "Height", ::Height(Control));
    WriteDword(key, "Width", ::Width(Control));
    RegCloseKey(key);
    return;
  }
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  int32_t value = 0;
  if (ReadDword(key, "Left", value)) SetLeft(Control, value);
  if (ReadDword(key, "Top", value)) SetTop(Control, value);
  if (ReadDword(key, "Height", value)) SetHeight(Control, value);
  if (ReadDword(key, "Width", value)) SetWidth(Control, value);
  RegCloseKey(key);
}

HICON LoadProgramIcon(const char* name) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), ToWstr(name).c_str(), IMAGE_ICON,
                                       0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
