// The message loop on real windows, the form behaviour at the end of a
// session, and the application object's system menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "app.h"
#include "control_test_support.h"
#include "program_driver.h"

namespace {

using Strings = std::vector<std::string>;

class App : public ControlTest {
 protected:
  void TearDown() override {
    IdleHook = DoNothing;
    LoopEndHook = [] {};
    ControlTest::TearDown();
  }
};

void NoteIdle(TControl*) {
  controlJournal.push_back("idle");
}

void NoteFreed(void*, TObj*) {
  controlJournal.push_back("freed");
}

HWND madeWindow = nullptr;
void PostCloseOnceMade(TControl* control) {
  madeWindow = control->Handle;
  PostMessageA(control->Handle, WM_CLOSE, 0, 0);
}

std::vector<std::string> FileLines(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);)
    lines.push_back(line);
  return lines;
}

// Set by the watchdog when the loop had to be woken from outside.
std::atomic<bool> wokenFromOutside{false};

bool QuitOnAppMessage(TControl*, MSG& msg, LRESULT&) {
  if (msg.message != WM_APP) return false;
  controlJournal.push_back(wokenFromOutside ? "handled late" : "handled");
  PostQuitMessage(0);
  return true;
}

struct TWatchdog {
  HANDLE done;
  HWND window;
};

// Wakes a loop that went to sleep on a waiting message, so that a failure
// shows as a note instead of a hang.
DWORD WINAPI Watchdog(void* data) {
  auto* watchdog = static_cast<TWatchdog*>(data);
  if (WaitForSingleObject(watchdog->done, 10000) == WAIT_TIMEOUT) {
    wokenFromOutside = true;
    PostMessageA(watchdog->window, WM_USER, 0, 0);
  }
  return 0;
}

}  // namespace

TEST_F(App, WmQuitPostedBeforeTheLoopEndsItAfterItsFirstPass) {
  TControl* control = NewPopup();
  control->AddFreeNotify(NoteFreed, nullptr);
  IdleHook = NoteIdle;
  LoopEndHook = [] { controlJournal.push_back("loop end"); };
  PostQuitMessage(0);
  TControl* variable = control;
  EXPECT_TRUE(RunLoop(variable));
  EXPECT_EQ(controlJournal, (Strings{"idle", "loop end", "freed"}));
  EXPECT_EQ(variable, nullptr);
  EXPECT_EQ(MainWindowControl, nullptr);
  EXPECT_TRUE(LoopEnded);
  EXPECT_FALSE(LoopRunning);
}

// The first pass's pump stops at the WM_NULL; the message behind it is
// handled on the next pass without anything new arriving.
TEST_F(App, WmNullEndsOnePumpAndTheMessageBehindItIsStillHandled) {
  TControl* control = NewPopup();
  ASSERT_TRUE(control->MakeWindow());
  control->AddMessageHandler(QuitOnAppMessage, false);
  IdleHook = NoteIdle;
  PostMessageA(control->Handle, WM_NULL, 0, 0);
  PostMessageA(control->Handle, WM_APP, 0, 0);
  TWatchdog watchdog{CreateEventA(nullptr, TRUE, FALSE, nullptr), control->Handle};
  wokenFromOutside = false;
  HANDLE thread = CreateThread(nullptr, 0, Watchdog, &watchdog, 0, nullptr);

  TControl* variable = control;
  RunLoop(variable);
  SetEvent(watchdog.done);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(watchdog.done);
  EXPECT_EQ(controlJournal, (Strings{"idle", "handled", "idle"}));
}

TEST_F(App, ClosingTheMainWindowEndsTheLoopWithTheControlFreed) {
  TControl* control = NewPopup();
  control->OnWindowCreated = PostCloseOnceMade;
  control->AddFreeNotify(NoteFreed, nullptr);
  TControl* variable = control;
  EXPECT_TRUE(RunLoop(variable));
  EXPECT_EQ(controlJournal, Strings{"freed"});
  EXPECT_EQ(variable, nullptr);
  EXPECT_EQ(MainWindowControl, nullptr);
  EXPECT_FALSE(IsWindow(madeWindow));
}

// A top-level window cannot be a child: nothing could ever end such a loop,
// so it ends at once and says so.
TEST_F(App, AMainWindowThatCannotBeMadeEndsTheLoopAtOnce) {
  TControl* control = NewTopLevel();
  control->Style = WS_CHILD;
  control->AddFreeNotify(NoteFreed, nullptr);
  IdleHook = NoteIdle;
  TControl* variable = control;
  EXPECT_FALSE(RunLoop(variable));
  EXPECT_EQ(controlJournal, Strings{"freed"});
  EXPECT_EQ(variable, nullptr);
  EXPECT_FALSE(LoopRunning);
}

TEST_F(App, EndSessionThatIsCancelledChangesNothing) {
  TControl* form = NewPopup();
  form->IsForm = true;
  form->AddMessageHandler(FormHandler, false);
  ASSERT_TRUE(form->MakeWindow());
  MainWindowControl = form;
  LoopRunning = true;
  LoopEndHook = [] { controlJournal.push_back("loop end"); };
  SendMessageA(form->Handle, WM_ENDSESSION, 0, 0);
  EXPECT_TRUE(controlJournal.empty());
  EXPECT_TRUE(LoopRunning);
  EXPECT_FALSE(LoopEnded);
  EXPECT_EQ(MainWindowControl, form);
  EXPECT_TRUE(IsWindow(form->Handle));
  MainWindowControl = nullptr;
  form->Free();
}

// Logging off ends a program inside its loop: the loop never returns (that
// would end the program with 3), no box, exit code 0, and the main control is
// really freed first, although the message still runs on the form.
TEST_F(App, EndSessionFreesTheMainControlAndEndsTheProgramWithExitCodeZeroAndNoBox) {
  char tempFolder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, tempFolder);
  const std::string journal = std::string(tempFolder) + "brumix_endsession.txt";
  ProgramDriver program;
  ASSERT_TRUE(program.StartExe(SiblingPath("winlib_endsession_program.exe"), journal));
  HWND window = program.WaitForWindow("obj_Form", "End session");
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_ENDSESSION, 1, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  for (HWND seen : program.WindowsSeen()) {
    EXPECT_NE(ClassOf(seen), "#32770") << WindowText(seen);
  }
  EXPECT_EQ(FileLines(journal),
            (Strings{"app destroyed", "form destroyed", "form notified", "button destroyed"}));
  DeleteFileA(journal.c_str());
}

TEST_F(App, TheApplicationObjectsSystemMenuIsTrimmed) {
  TControl* app = NewApp("Brumix app");
  ASSERT_TRUE(app->MakeWindow());
  EXPECT_TRUE(HasAppObject);
  EXPECT_EQ(ClassOf(app->Handle), "obj_App");
  EXPECT_EQ(WindowTextUtf8(app->Handle), "Brumix app");
  HMENU menu = GetSystemMenu(app->Handle, FALSE);
  ASSERT_NE(menu, nullptr);
  const UINT missing = static_cast<UINT>(-1);
  EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), missing);
  EXPECT_EQ(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), missing);
  EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), missing);
  EXPECT_TRUE(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), missing);
  app->Free();
}
