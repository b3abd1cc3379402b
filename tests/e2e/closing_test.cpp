// Closing the program and its modal box, driven from outside: the About box
// holds the form while it shows, and closing the window that owns the
// task-bar button closes the program through its form.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "main_window.h"
#include "program_driver.h"
#include "target_tree.h"
#include "window_probe.h"

namespace {

using namespace main_window;
using Strings = std::vector<std::string>;

constexpr int kIE = 0;

Strings FileLines(const std::string& path) {
  std::ifstream file(path);
  Strings lines;
  for (std::string line; std::getline(file, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace

TEST(Closing, TheAboutBoxHoldsTheFormUntilItClosesAndTheFormWorksAgainAfter) {
  TargetTree tree;
  const std::string junk = tree.Folder(kCleaners[kIE].target) + "\\junk.tmp";
  ASSERT_TRUE(TargetTree::MakeFile(junk));
  ProgramDriver program;
  ASSERT_TRUE(program.Start(""));
  MainWindow window;
  ASSERT_TRUE(window.Find(program.WaitForWindow("obj_Form", kTitle)));
  ASSERT_TRUE(Eventually([&] { return FocusOf(window.form) == window.cleaners[kIE]; }));

  ClickCentre(window.about);
  const HWND box = program.WaitForWindow("#32770", "");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), window.form);
  EXPECT_FALSE(IsWindowEnabled(window.form));
  // Clicked where the box leaves them in sight: About again and a cleaning button.
  RECT boxRect{};
  GetWindowRect(box, &boxRect);
  for (HWND button : {window.about, window.cleaners[kIE]}) {
    ASSERT_FALSE(PtInRect(&boxRect, Centre(button))) << WindowText(button);
    ClickCentre(button);
  }
  // Input is handled in order: once Enter has closed the box, the clicks
  // before it have been handled too.
  ASSERT_TRUE(BringToFront(box));
  PressKeys({VK_RETURN});
  ASSERT_TRUE(Eventually([&] { return !IsWindow(box); }));
  EXPECT_EQ(program.WaitForWindow("#32770", "", 0), nullptr);
  EXPECT_TRUE(scratch::Exists(junk));

  EXPECT_TRUE(IsWindowEnabled(window.form));
  ClickCentre(window.cleaners[kIE]);
  EXPECT_TRUE(Eventually([&] { return !scratch::Exists(junk); }));
  ClickCentre(window.exit);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}

// A task manager closes the window that owns the task-bar button: the form's
// own close runs once, asking KeepOpen, and nothing reaches the components
// after it while the windows go.
TEST(Closing, WmCloseToTheApplicationWindowRunsTheFormsCloseOnceAndExitsZero) {
  char tempFolder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, tempFolder);
  const std::string journal = std::string(tempFolder) + "brumix_closing.txt";
  ProgramDriver program;
  ASSERT_TRUE(program.StartExe(SiblingPath("closing_program.exe"), journal));
  const HWND form = program.WaitForWindow("obj_Form", "Closing");
  ASSERT_NE(form, nullptr);
  const HWND app = GetWindow(form, GW_OWNER);
  ASSERT_EQ(ClassOf(app), "obj_App");
  PostMessageA(app, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_EQ(FileLines(journal), (Strings{"keep open?", "close"}));
  DeleteFileA(journal.c_str());
}
