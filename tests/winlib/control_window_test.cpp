#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "control.h"
#include "control_test_support.h"

namespace {

using ControlWindow = ControlTest;

std::string ClassOf(HWND window) {
  wchar_t name[80] = {};
  GetClassNameW(window, name, 80);
  return ToUtf8(name);
}

RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool RecordCreation(void* data, MSG& msg, LRESULT&) {
  auto* control = static_cast<TControl*>(data);
  // The object already knows its window while CreateWindowExA is still running.
  if (msg.message == WM_NCCREATE && control->Handle == msg.hwnd)
    controlJournal.push_back("nccreate");
  if (msg.message == WM_CREATE && control->Handle == msg.hwnd) controlJournal.push_back("create");
  return false;
}

bool RefuseCreate(void*, MSG& msg, LRESULT& result) {
  if (msg.message != WM_CREATE) return false;
  result = -1;
  return true;
}

}  // namespace

TEST_F(ControlWindow, WindowMadeOnDemandIsHiddenUntilMakeWindow) {
  TControl* control = NewPopup();
  control->Style |= WS_VISIBLE;
  EXPECT_EQ(control->Handle, nullptr);
  HWND window = control->EnsureHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(control->EnsureHandle(), window);
  EXPECT_EQ(ControlOfWindow(window), control);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(control->ShowPending);
  EXPECT_TRUE(control->MakeWindow());
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(control->ShowPending);
  EXPECT_TRUE(control->Visible);
  control->Free();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(ControlWindow, CreateHiddenMakesTheWindowWithoutShowLater) {
  TControl* control = NewPopup();
  control->CreateHidden = true;
  control->Style &= ~WS_VISIBLE;
  HWND window = control->EnsureHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(control->ShowPending);
  control->MakeWindow();
  EXPECT_FALSE(IsWindowVisible(window));
  control->Free();
}

TEST_F(ControlWindow, ChildrenAreMadeWithTheirParentAtTheParentsSpacing) {
  TControl* parent = NewPopup();
  parent->Spacing = 5;
  parent->ClientMargins.Left = 10;
  parent->ClientMargins.Top = 20;
  TControl* first = NewChild(parent, nullptr, 0);
  TControl* second = NewChild(parent, "STATIC", 0);
  EXPECT_EQ(first->Spacing, 5);
  ASSERT_TRUE(parent->MakeWindow());
  ASSERT_NE(first->Handle, nullptr);
  ASSERT_NE(second->Handle, nullptr);
  EXPECT_EQ(GetParent(first->Handle), parent->Handle);
  const RECT rect = RectInParent(first->Handle);
  EXPECT_EQ(rect.left, 15);
  EXPECT_EQ(rect.top, 25);
  EXPECT_EQ(rect.right - rect.left, 64);
  EXPECT_EQ(rect.bottom - rect.top, 64);
  parent->Free();
}

TEST_F(ControlWindow, ChildAskedForItsHandleMakesItsParentFirst) {
  TControl* parent = NewPopup();
  parent->Style |= WS_VISIBLE;
  TControl* child = NewChild(parent, nullptr, 0);
  HWND window = child->EnsureHandle();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(parent->Handle, nullptr);
  EXPECT_EQ(GetParent(window), parent->Handle);
  EXPECT_FALSE(IsWindowVisible(parent->Handle));
  parent->MakeWindow();
  EXPECT_TRUE(IsWindowVisible(parent->Handle));
  EXPECT_TRUE(IsWindowVisible(window));
  parent->Free();
}

TEST_F(ControlWindow, ZeroSizeGetsTheSystemDefaultAndAFormWithoutPositionTheDefaultPlace) {
  TControl* unplaced = NewTopLevel();
  unplaced->Style &= ~WS_VISIBLE;
  ASSERT_TRUE(unplaced->MakeWindow());
  RECT rect;
  GetWindowRect(unplaced->Handle, &rect);
  EXPECT_GT(rect.right - rect.left, 0);
  EXPECT_GT(rect.bottom - rect.top, 0);

  TControl* placed = NewPopup();
  placed->Bounds = {30, 40, 230, 190};
  placed->PositionGiven = 3;
  ASSERT_TRUE(placed->MakeWindow());
  GetWindowRect(placed->Handle, &rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right - rect.left, 200);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  unplaced->Free();
  placed->Free();
}

TEST_F(ControlWindow, TwoControlsOfAKindShareOneClassBuiltOnTheStandardOne) {
  TControl* parent = NewPopup();
  TControl* first = NewChild(parent, "BUTTON", BS_AUTOCHECKBOX);
  TControl* second = NewChild(parent, "BUTTON", BS_AUTOCHECKBOX);
  ASSERT_TRUE(parent->MakeWindow());
  ASSERT_NE(first->Handle, nullptr);
  ASSERT_NE(second->Handle, nullptr);
  EXPECT_EQ(ClassOf(first->Handle), "obj_BUTTON");
  EXPECT_EQ(ClassOf(second->Handle), "obj_BUTTON");
  EXPECT_EQ(ClassOf(parent->Handle), "obj_Test");
  // A second registration of the name would have failed the second window.
  WNDCLASSW standard;
  ASSERT_TRUE(GetClassInfoW(nullptr, L"BUTTON", &standard));
  EXPECT_EQ(first->DefWndProc, standard.lpfnWndProc);
  EXPECT_EQ(second->DefWndProc, standard.lpfnWndProc);
  EXPECT_EQ(GetClassLongPtrW(first->Handle, GCLP_WNDPROC),
            reinterpret_cast<ULONG_PTR>(&WndProcShared));
  EXPECT_TRUE(IsWindowUnicode(first->Handle));
  // The standard procedure behind ours still does the button's work.
  SendMessageA(first->Handle, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendMessageA(first->Handle, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(second->Handle, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  parent->Free();
}

TEST_F(ControlWindow, CreationMessagesAlreadyReachTheNewObject) {
  TControl* control = NewPopup();
  control->OnMessage = TOnMessage{RecordCreation, control};
  // Beyond every single-byte code page: only a Unicode window keeps it whole.
  control->Caption = "Заголовок Ωμέγα 😀";
  ASSERT_TRUE(control->MakeWindow());
  EXPECT_EQ(controlJournal, (std::vector<std::string>{"nccreate", "create"}));
  EXPECT_EQ(CreatingControl, nullptr);
  EXPECT_TRUE(IsWindowUnicode(control->Handle));
  EXPECT_EQ(WindowTextUtf8(control->Handle), "Заголовок Ωμέγα 😀");
  control->Free();
}

TEST_F(ControlWindow, ClassNamesAreCutToSixtyThreeUnitsNeverInsideACharacter) {
  const std::string ascii57(57, 'n');
  const struct {
    std::string base, registered;
  } names[] = {
      {std::string(70, 'x'), "obj_" + std::string(59, 'x')},
      {ascii57 + "😀", "obj_" + ascii57 + "😀"},  // 63 units exactly
      {ascii57 + "m😀", "obj_" + ascii57 + "m"},
  };
  for (const auto& name : names) {
    TControl* control = NewPopup();
    control->BaseClassName = name.base;
    ASSERT_TRUE(control->MakeWindow());
    EXPECT_EQ(ClassOf(control->Handle), name.registered);
    control->Free();
  }
}

TEST_F(ControlWindow, DisabledControlIsMadeDisabled) {
  TControl* control = NewPopup();
  control->Enabled = false;
  ASSERT_TRUE(control->MakeWindow());
  EXPECT_FALSE(IsWindowEnabled(control->Handle));
  control->Free();
}

TEST_F(ControlWindow, FailedCreationLeavesHandleZeroAndLaterControlsUnharmed) {
  TControl* refused = NewPopup();
  refused->OnMessage = TOnMessage{RefuseCreate, nullptr};
  EXPECT_FALSE(refused->MakeWindow());
  EXPECT_EQ(refused->Handle, nullptr);
  EXPECT_EQ(CreatingControl, nullptr);

  TControl* orphan = NewPopup();
  orphan->Style |= WS_CHILD;  // a child style with no parent window
  EXPECT_FALSE(orphan->MakeWindow());
  EXPECT_EQ(orphan->Handle, nullptr);

  // Wine refuses to register a class with an empty name.
  TControl* unnamed = NewPopup();
  unnamed->BaseClassName.clear();
  unnamed->BaseClassNameAsIs = true;
  EXPECT_FALSE(unnamed->MakeWindow());
  EXPECT_EQ(unnamed->Handle, nullptr);

  TControl* next = NewPopup();
  ASSERT_TRUE(next->MakeWindow());
  EXPECT_EQ(ControlOfWindow(next->Handle), next);
  EXPECT_EQ(ControlOfWindow(refused->Handle), nullptr);
  refused->Free();
  orphan->Free();
  unnamed->Free();
  next->Free();
}

TEST_F(ControlWindow, MessagesOfAWindowWithoutObjectGoToTheMainWindowOrDefault) {
  TControl* control = NewPopup();
  ASSERT_TRUE(control->MakeWindow());
  // A window of the library's class that no control made.
  HWND stray = CreateWindowExW(0, L"obj_Test", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(stray, nullptr);
  EXPECT_EQ(ControlOfWindow(stray), nullptr);
  SetWindowTextW(stray, L"default");
  EXPECT_EQ(WindowTextUtf8(stray), "default");

  MainWindowControl = control;
  static int seen = 0;
  seen = 0;
  CallMessageProc = [](LPARAM, WPARAM) { ++seen; };
  SendMessageA(stray, 0x8FFF, 0, 0);
  EXPECT_EQ(seen, 1);
  CallMessageProc = [](LPARAM, WPARAM) {};
  DestroyWindow(stray);
  // The stray window's end must not touch the main window's object.
  EXPECT_TRUE(IsWindow(control->Handle));
  EXPECT_EQ(ControlOfWindow(control->Handle), control);
  MainWindowControl = nullptr;
  control->Free();
}
