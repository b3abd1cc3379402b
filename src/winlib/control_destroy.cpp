// Destruction of a control: children first, last made first, then what the
// control owns, then its window, so nothing of it is left behind.
#include "canvas.h"
#include "control.h"
#include "graphic_tool.h"

namespace {

// Negative keeps handlers away from the object under destruction; odd makes
// every further Free of it do nothing.
constexpr int32_t kRefCountDestroying = -0x40000001;

template <class T>
void FreeOwned(T*& object) {
  T* owned = object;
  object = nullptr;
  if (owned) owned->Free();
}

}  // namespace

// The form's references to its controls never outlive them.
void TControl::ForgetInForm(TControl* form) {
  if (form->FocusedControl == this) form->FocusedControl = nullptr;
  if (form->StatusBar == this) form->StatusBar = nullptr;
  if (form->DefaultButton == this) form->DefaultButton = nullptr;
  if (form->CancelButton == this) form->CancelButton = nullptr;
}

TControl::~TControl() {
  InDestructor = true;
  RefCount = kRefCountDestroying;
  if (TControl* form = ParentForm()) ForgetInForm(form);
  if (Handle && !SystemDestroyed) ShowWindow(Handle, SW_HIDE);
  DestroyObjPart();
  DestroyChildren();
  ReleaseOwned();
  // No global may point at a freed control.
  if (MainWindowControl == this) MainWindowControl = nullptr;
  if (MainWindowControl && MainWindowControl->FocusedControl == this) {
    MainWindowControl->FocusedControl = nullptr;
  }
  if (CreatingControl == this) CreatingControl = nullptr;
}

// Runs once, whether the object goes through Free or after RM_RELEASE.
void TControl::ReleaseOwned() {
  if (ReleasedOwned) return;
  ReleasedOwned = true;
  Destroying = true;

  BaseClassName.clear();
  FreeOwned(Canvas);
  FreeOwned(Font);
  FreeOwned(Brush);
  FreeOwned(KindObject1);
  FreeOwned(KindObject2);

  if (Accelerators) DestroyAcceleratorTable(Accelerators);
  Accelerators = nullptr;
  if (Handle && !SystemDestroyed) {
    DestroyBigIcon();
    DestroyWindow(Handle);
  }
  Handle = nullptr;

  if (BackBrush) DeleteObject(BackBrush);
  BackBrush = nullptr;
  if (UpdateRgn) DeleteObject(UpdateRgn);
  if (PendingRgn) DeleteObject(PendingRgn);
  UpdateRgn = PendingRgn = nullptr;
  Caption.clear();
  KindText.clear();

  if (Parent) {
    Parent->Children->Remove(this);
    if (Parent->FocusedControl == this) Parent->FocusedControl = nullptr;
    Parent = nullptr;
  }

  FreeOwned(Children);
  FreeOwned(KindList);
  FreeOwned(Handlers);
  DestroyObjPart();
}

void TControl::DestroyBigIcon() {
  const auto icon = reinterpret_cast<HICON>(SendMessageW(Handle, WM_SETICON, ICON_BIG, 0));
  if (icon && !IconShared) {
    DestroyIcon(icon);
    if (icon == Icon) Icon = nullptr;
  }
}

// The system is destroying the window under a living object: what destruction
// would ask of the window is taken now, while the window still answers.
void TControl::LetGoOfDyingWindow() {
  DestroyBigIcon();
  SystemDestroyed = true;
}
