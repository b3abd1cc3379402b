// Closing the program, driven from outside: closing the window that owns the
// task-bar button closes the program through its main form.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "program_driver.h"

namespace {

using Strings = std::vector<std::string>;

Strings FileLines(const std::string& path) {
  std::ifstream file(path);
  Strings lines;
  for (std::string line; std::getline(file, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace

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
