// The "/ih" switch, from outside: one information box, then exit code 0.
#include <gtest/gtest.h>

#include "program_driver.h"
#include "window_probe.h"

namespace {

constexpr char kDialogClass[] = "#32770";

}  // namespace

TEST(InfoSwitch, ShowsExactlyTheMakerBoxAndExitsWithZero) {
  ProgramDriver program;
  ASSERT_TRUE(program.Start("/ih"));
  HWND box = program.WaitForWindow(kDialogClass, "Kavex Info");
  ASSERT_NE(box, nullptr);

  EXPECT_EQ(MessageBoxText(box), "Сделано в Kavex.");
  int buttons = 0;
  for (HWND child : ChildWindows(box)) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child)) ++buttons;
  }
  EXPECT_EQ(buttons, 1);
  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);

  SendMessageA(ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  ASSERT_EQ(program.WindowsSeen().size(), 1u);
  EXPECT_EQ(program.WindowsSeen()[0], box);
}

TEST(InfoSwitch, QuotedSwitchIsRecognised) {
  ProgramDriver program;
  ASSERT_TRUE(program.Start("\"/ih\""));
  HWND box = program.WaitForWindow(kDialogClass, "Kavex Info");
  ASSERT_NE(box, nullptr);
  SendMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}

// Anything but the exact first argument starts the program normally: its
// window comes up, and closing it ends the program with 0, no box ever shown.
TEST(InfoSwitch, OtherArgumentsStartNormally) {
  for (const char* arguments : {"", "/IH", "-ih", "/ihx", "other /ih"}) {
    ProgramDriver program;
    ASSERT_TRUE(program.Start(arguments));
    HWND form = program.WaitForWindow("obj_Form", "Brumix 1.2");
    ASSERT_NE(form, nullptr) << arguments;
    PostMessageA(form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit()) << arguments;
    EXPECT_EQ(program.ExitCode(), 0u) << arguments;
    for (const std::string& caption : program.CaptionsSeen()) {
      EXPECT_NE(caption, "Kavex Info") << arguments;
    }
  }
}
