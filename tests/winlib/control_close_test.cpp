#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control.h"
#include "control_test_support.h"

namespace {

using ControlClose = ControlTest;
using Strings = std::vector<std::string>;

void Refuse(void* word, TControl*, bool& accept) {
  controlJournal.push_back(static_cast<const char*>(word));
  accept = false;
}

void Accept(void* word, TControl*, bool& accept) {
  controlJournal.push_back(static_cast<const char*>(word));
  accept = true;
}

bool QuitPosted() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

}  // namespace

TEST_F(ControlClose, RefusedCloseKeepsTheWindowAndIsAskedOnceOutsideTheLoop) {
  TControl* control = NewPopup();
  ASSERT_TRUE(control->MakeWindow());
  MainWindowControl = control;
  control->OnClose = TOnClose{Refuse, const_cast<char*>("asked")};
  EXPECT_EQ(SendMessageA(control->Handle, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(control->Handle));
  EXPECT_FALSE(QuitPosted());
  // Not asked again: the second close goes through.
  SendMessageA(control->Handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(controlJournal, Strings{"asked"});
  EXPECT_TRUE(QuitPosted());
  MainWindowControl = nullptr;
  control->Free();
}

TEST_F(ControlClose, WhileTheLoopRunsARefusingOnCloseStaysAssigned) {
  TControl* control = NewPopup();
  ASSERT_TRUE(control->MakeWindow());
  MainWindowControl = control;
  LoopRunning = true;
  control->OnClose = TOnClose{Refuse, const_cast<char*>("asked")};
  SendMessageA(control->Handle, WM_CLOSE, 0, 0);
  SendMessageA(control->Handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(controlJournal, (Strings{"asked", "asked"}));
  EXPECT_TRUE(IsWindow(control->Handle));
  EXPECT_FALSE(QuitPosted());
  LoopRunning = false;
  MainWindowControl = nullptr;
  control->Free();
}

TEST_F(ControlClose, AcceptedCloseOfTheMainWindowClosesTheAppObjectThenPostsQuit) {
  HasAppObject = true;
  TControl* app = NewPopup();
  TControl* form = NewWindowedControl(app, "Test", false);
  form->Style = WS_POPUP;
  ASSERT_TRUE(app->MakeWindow());
  ASSERT_NE(form->Handle, nullptr);
  MainWindowControl = app;
  EXPECT_TRUE(form->IsMainWindow());
  form->OnClose = TOnClose{Accept, const_cast<char*>("form")};
  app->OnClose = TOnClose{Accept, const_cast<char*>("app")};
  EXPECT_EQ(SendMessageA(form->Handle, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(controlJournal, (Strings{"form", "app"}));
  EXPECT_TRUE(QuitPosted());
  // Closing only asks to quit; the windows go when their objects do.
  EXPECT_TRUE(IsWindow(form->Handle));
  MainWindowControl = nullptr;
  app->Free();
}

TEST_F(ControlClose, ClosedChildOfTheMainWindowIsFreedOnceByTheSystemsDestruction) {
  TControl* main = NewPopup();
  TControl* child = NewChild(main, nullptr, 0);
  ASSERT_TRUE(main->MakeWindow());
  MainWindowControl = main;
  HWND window = child->Handle;
  static int destroyed = 0;
  destroyed = 0;
  child->OnDestroy = TOnEvent{[](void*, TObj*) { ++destroyed; }, nullptr};
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(main->Children->Count, 0);
  EXPECT_FALSE(QuitPosted());
  MainWindowControl = nullptr;
  main->Free();
  EXPECT_EQ(destroyed, 1);
}
