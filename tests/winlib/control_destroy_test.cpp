#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "canvas.h"
#include "control.h"
#include "control_test_support.h"
#include "graphic_tool.h"

namespace {

using ControlDestroy = ControlTest;
using Strings = std::vector<std::string>;

int destroyedCount = 0;

void CountDestroyed(void*, TObj*) {
  ++destroyedCount;
}

}  // namespace

TEST_F(ControlDestroy, ChildrenAreFreedLastFirstAfterTheParentsOwnEvent) {
  TControl* parent = NewPopup();
  parent->OnDestroy = NoteEvent("parent");
  const char* names[] = {"first", "second", "third"};
  for (const char* name : names)
    NewChild(parent, nullptr, 0)->OnDestroy = NoteEvent(name);
  ASSERT_TRUE(parent->MakeWindow());
  parent->Free();
  EXPECT_EQ(controlJournal, (Strings{"parent", "third", "second", "first"}));
}

TEST_F(ControlDestroy, AFreedChildLeavesItsParentsChildren) {
  TControl* parent = NewPopup();
  TControl* first = NewChild(parent, nullptr, 0);
  TControl* second = NewChild(parent, nullptr, 0);
  static TControl* announced = reinterpret_cast<TControl*>(1);
  parent->ChildChangedProc = [](TControl*, TControl* child) { announced = child; };
  ASSERT_TRUE(parent->MakeWindow());
  parent->FocusedControl = first;
  first->Free();
  EXPECT_EQ(parent->Children->Count, 1);
  EXPECT_EQ(parent->Children->Get(0), second);
  EXPECT_EQ(parent->FocusedControl, nullptr);
  second->SetParent(nullptr);
  EXPECT_EQ(announced, nullptr);
  EXPECT_EQ(parent->Children->Count, 0);
  second->Free();
  parent->Free();
}

TEST_F(ControlDestroy, NoWindowOrGdiHandleIsLeftBehind) {
  TControl* parent = NewPopup();
  TControl* label = NewChild(parent, "STATIC", 0);
  TControl* box = NewChild(parent, nullptr, 0);
  TControl* inner = NewChild(box, "BUTTON", 0);
  box->Color = RGB(10, 20, 30);
  label->GetFont()->SetFontHeight(-20);
  ASSERT_TRUE(parent->MakeWindow());
  label->ApplyFont();

  std::vector<HWND> windows{parent->Handle, label->Handle, box->Handle, inner->Handle};
  std::vector<HGDIOBJ> objects;
  objects.push_back(label->Font->GetToolHandle());
  objects.push_back(box->GetBackBrush());
  // The colour answer of a standard control hands out its brush.
  label->AddMessageHandler(StandardControlHandler, false);
  HDC screen = GetDC(nullptr);
  objects.push_back(reinterpret_cast<HGDIOBJ>(
      SendMessageA(parent->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(screen),
                   reinterpret_cast<LPARAM>(label->Handle))));
  ReleaseDC(nullptr, screen);
  objects.push_back(box->GetCanvas()->EnsureState(kStateDC | kStateFont | kStateBrush));
  objects.push_back(inner->GetCanvas()->GetFont()->GetToolHandle());
  for (HGDIOBJ object : objects)
    ASSERT_NE(GetObjectType(object), 0u);
  for (HWND window : windows)
    ASSERT_TRUE(IsWindow(window));

  parent->Free();
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window));
  for (HGDIOBJ object : objects)
    EXPECT_EQ(GetObjectType(object), 0u) << object;
}

TEST_F(ControlDestroy, FreeingAChildOfTheMainWindowDestroysItOnce) {
  TControl* main = NewPopup();
  TControl* child = NewChild(main, nullptr, 0);
  ASSERT_TRUE(main->MakeWindow());
  MainWindowControl = main;
  destroyedCount = 0;
  child->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  HWND window = child->Handle;
  // Our own DestroyWindow brings WM_NCDESTROY, which frees such a child too.
  child->Free();
  EXPECT_EQ(destroyedCount, 1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(main->Children->Count, 0);
  MainWindowControl = nullptr;
  main->Free();
}

TEST_F(ControlDestroy, ChildrenOfTheMainWindowGoOnceWhenTheSystemDestroysItsWindow) {
  TControl* main = NewPopup();
  TControl* first = NewChild(main, nullptr, 0);
  TControl* second = NewChild(main, "BUTTON", 0);
  ASSERT_TRUE(main->MakeWindow());
  MainWindowControl = main;
  destroyedCount = 0;
  first->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  second->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  HWND mainWindow = main->Handle;
  DestroyWindow(mainWindow);
  EXPECT_EQ(destroyedCount, 2);
  EXPECT_EQ(main->Children->Count, 0);
  EXPECT_EQ(ControlOfWindow(mainWindow), nullptr);
  MainWindowControl = nullptr;
  main->Free();
  EXPECT_EQ(destroyedCount, 2);
}

TEST_F(ControlDestroy, ReleaseMessageFreesTheControlWithEverythingItOwns) {
  TControl* parent = NewPopup();
  TControl* child = NewChild(parent, nullptr, 0);
  TControl* grandchild = NewChild(child, nullptr, 0);
  ASSERT_TRUE(parent->MakeWindow());
  destroyedCount = 0;
  child->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  grandchild->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  HWND window = child->Handle;
  HGDIOBJ font = child->GetFont()->GetToolHandle();
  PostMessageA(window, RM_RELEASE, 0, 0);
  PumpWaiting();
  EXPECT_EQ(destroyedCount, 2);
  EXPECT_EQ(parent->Children->Count, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetObjectType(font), 0u);
  parent->Free();
  EXPECT_EQ(destroyedCount, 2);
}

TEST_F(ControlDestroy, AControlWithoutWindowIsFreedCleanly) {
  TControl* parent = NewPopup();
  TControl* child = NewChild(parent, nullptr, 0);
  child->AddMessageHandler(StandardControlHandler, true);
  HGDIOBJ brush = child->GetBrush()->GetToolHandle();
  ASSERT_NE(GetObjectType(brush), 0u);
  parent->Free();
  EXPECT_EQ(GetObjectType(brush), 0u);
}

// A release posted to a window being destroyed would be thrown away with it;
// the object goes when the message is done instead, with all it owns.
TEST_F(ControlDestroy, FormWhoseWindowTheSystemDestroysIsFreedAfterTheMessage) {
  TControl* form = NewPopup();
  TControl* child = NewChild(form, nullptr, 0);
  ASSERT_TRUE(form->MakeWindow());
  ASSERT_TRUE(form->IsMainWindow());
  destroyedCount = 0;
  form->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  child->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  HGDIOBJ font = form->GetFont()->GetToolHandle();
  HWND window = form->Handle;
  DestroyWindow(window);
  PumpWaiting();
  EXPECT_EQ(destroyedCount, 2);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetObjectType(font), 0u);
}
