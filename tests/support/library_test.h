// The fixture of the tests that build the window library's controls: every
// test starts with the library's globals as a fresh program has them, and
// whatever a test left behind (the application object, waiting messages) is
// gone before the next one.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "control.h"

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLibraryState(); }
  void TearDown() override {
    FreeApplication();
    ResetLibraryState();
    // A test that posted WM_QUIT or RM_RELEASE leaves nothing for the next one.
    PumpWaiting();
  }

  // The hooks come back to nothing: the library installs each again when a
  // control first needs it.
  static void ResetLibraryState() {
    MainWindowControl = nullptr;
    LoopRunning = false;
    LoopEnded = false;
    CreatingControl = nullptr;
    HasAppObject = false;
    ScreenCursor = nullptr;
    CursorLocked = false;
    GlobalMessageHook = NotHandled;
    GlobalKeyHook = NotHandled;
    WindowCreatedHook = DoNothing;
    AlignHook = DoNothing;
    InvalidateHook = DoNothing;
  }

  // The end of the message loop frees the application object, and every
  // control with it, before the scheme frees the components.
  static void FreeApplication() {
    TControl* app = MainWindowControl;
    MainWindowControl = nullptr;
    if (app) app->Free();
  }

  // Handles every message waiting for this thread; WM_QUIT is taken and dropped.
  static void PumpWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
};
