// A press over a large folder: the window keeps painting and shows how far the
// press got, and a click on another button meanwhile does nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "main_window.h"
#include "program_driver.h"
#include "target_tree.h"
#include "window_probe.h"

using namespace main_window;

namespace {

constexpr int kIE = 0, kTemp = 1;
constexpr int kFolders = 200, kFilesPerFolder = 100;
constexpr char kDeleting[] = "Удаляю... ";
constexpr COLORREF kCoverColour = RGB(255, 0, 255);

bool FillFolder(const std::string& folder) {
  for (int f = 0; f < kFolders; ++f) {
    const std::string sub = folder + "\\d" + std::to_string(f);
    if (!CreateDirectoryA(sub.c_str(), nullptr)) return false;
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const std::string path = sub + "\\f" + std::to_string(i) + ".tmp";
      HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      if (file == INVALID_HANDLE_VALUE) return false;
      CloseHandle(file);
    }
  }
  return true;
}

// This thread's windows paint only while it handles its messages.
template <class Condition>
bool EventuallyPumping(Condition condition, DWORD timeoutMs) {
  return Eventually(
      [&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
          DispatchMessageA(&msg);
        return condition();
      },
      timeoutMs);
}

// A plain window of one colour over the given screen rectangle.
HWND Cover(const RECT& area) {
  static HBRUSH brush = CreateSolidBrush(kCoverColour);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = brush;
  windowClass.lpszClassName = "long_press_cover";
  RegisterClassA(&windowClass);
  return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "long_press_cover", "",
                         WS_POPUP | WS_VISIBLE, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

}  // namespace

TEST(LongPress, WindowPaintsAndTakesNoOtherPress) {
  TargetTree tree;
  ASSERT_TRUE(FillFolder(tree.Folder("temp")));
  const std::string ieFile = tree.Folder("ie") + "\\kept.tmp";
  ASSERT_TRUE(TargetTree::MakeFile(ieFile));

  ProgramDriver program;
  ASSERT_TRUE(program.Start(""));
  MainWindow window;
  ASSERT_TRUE(window.Find(program.WaitForWindow("obj_Form", kTitle)));
  ASSERT_TRUE(Eventually([&] { return window.Lamp(kIE) == kLampOff; }));

  PostMessageA(window.cleaners[kTemp], BM_CLICK, 0, 0);
  ASSERT_TRUE(Eventually([&] {
    return ReadStatusBar(program.Process(), window.bar).text.rfind(kDeleting, 0) == 0;
  })) << "no progress shown";

  // Covered and uncovered, the button is drawn again at once. Wine puts back
  // an uncovered area by itself, so the button is also marked as wanting
  // paint, as Windows would mark it: only the program can paint it then.
  RECT area;
  GetWindowRect(window.count, &area);
  const COLORREF face = PixelAtCentre(window.count);
  HWND cover = Cover(area);
  ASSERT_TRUE(EventuallyPumping([&] { return PixelAtCentre(window.count) == kCoverColour; }, 5000));
  DestroyWindow(cover);
  RedrawWindow(window.count, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  EXPECT_TRUE(EventuallyPumping(
      [&] {
        return !GetUpdateRect(window.count, nullptr, FALSE) && PixelAtCentre(window.count) == face;
      },
      500))
      << "the button was not painted within half a second";
  EXPECT_EQ(ReadStatusBar(program.Process(), window.bar).text.rfind(kDeleting, 0), 0u)
      << "the press was over before the window could be tried";

  ClickAt(Centre(window.cleaners[kIE]));
  ASSERT_TRUE(Eventually([&] { return TargetTree::IsEmptyFolder(tree.Folder("temp")); }, 120000));
  ASSERT_TRUE(
      Eventually([&] { return ReadStatusBar(program.Process(), window.bar).text == kCleaned; }));
  EXPECT_TRUE(scratch::Exists(ieFile)) << "the click during the press was taken";
  EXPECT_EQ(window.Lamp(kIE), kLampOff);

  PostMessageA(window.form, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
}
