// The whole window, driven from outside as a user drives it: real clicks and
// keys, the lamps read off the screen, the status bar read from the running
// program, and the real folders of the prefix filled and checked.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "main_window.h"
#include "program_driver.h"
#include "target_tree.h"
#include "window_probe.h"

namespace {

using namespace main_window;

constexpr COLORREF kTeal = kLampOff;
constexpr COLORREF kGreen = kLampOn;
constexpr uint64_t kMegabyte = 1048576;
constexpr int kIE = 0, kTemp = 1;

// The buttons in the order the program makes them, which is their tab order.
const std::vector<std::string> kTabOrder = {
    "Удалить кэш IE",
    "Удалить %temp%",
    "Об авторе",
    "Выход",
    "Удалить кэш Google Chrome",
    "Удалить кэш Firefox",
    "Удалить кэш Яндекс.Браузера",
    "Удалить кэш Vivaldi",
    "Удалить кэш Opera 12",
    "Удалить кэш Opera 20 и выше",
    kCountCaption,
};

// Left, top, width and height in the parent's client area.
std::string Placement(HWND window) {
  const RECT rect = RectInParent(window);
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
         std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

std::string At(int left, int top, int width, int height) {
  return std::to_string(left) + "," + std::to_string(top) + " " + std::to_string(width) + "x" +
         std::to_string(height);
}

// A real drag with the left button held. Each step waits until the pointer
// is seen there: under Wine an event that follows a move at once may still
// land where the pointer was.
void Drag(POINT from, POINT to) {
  const auto send = [](POINT point, DWORD buttons) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    Eventually([&] {
      POINT cursor{};
      return GetCursorPos(&cursor) && cursor.x == point.x && cursor.y == point.y;
    });
  };
  send(from, 0);
  send(from, MOUSEEVENTF_LEFTDOWN);
  send({(from.x + to.x) / 2, (from.y + to.y) / 2}, 0);
  send(to, MOUSEEVENTF_LEFTUP);
}

// Pixels of the dotted focus rectangle: those unlike the button face on the
// rectangle's left and right sides, two pixels in, clear of the centred text.
int FocusDots(HWND button) {
  RECT rect{};
  GetWindowRect(button, &rect);
  int dots = 0;
  for (const LONG x : {rect.left + 2, rect.right - 3}) {
    for (const COLORREF pixel : ScreenPixels({x, rect.top + 2, x + 1, rect.bottom - 2}))
      dots += pixel != GetSysColor(COLOR_BTNFACE);
  }
  return dots;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

class Brumix : public ::testing::Test {
 protected:
  // The targets are in place before the start: the program takes its
  // temporary path from the environment it inherits.
  void SetUp() override {
    ASSERT_TRUE(program_.Start(""));
    form_ = program_.WaitForWindow("obj_Form", kTitle);
    ASSERT_NE(form_, nullptr);
    window_.Find(form_);
    ASSERT_EQ(window_.lamps.size(), static_cast<size_t>(kRows));
    ASSERT_TRUE(window_.count && window_.about && window_.exit && window_.bar);
    // Ready for input once the start step has focused the first cleaning button.
    ASSERT_TRUE(Eventually([&] { return FocusOf(form_) == window_.cleaners[kIE]; }));
  }

  std::string Folder(int row) const { return tree_.Folder(kCleaners[row].target); }
  StatusView Status() const { return ReadStatusBar(program_.Process(), window_.bar); }
  // Class and caption of each top-level window the program shows besides
  // its application window, which has no height.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (HWND window : program_.VisibleWindows()) {
      if (window != GetWindow(form_, GW_OWNER))
        shown.push_back(ClassOf(window) + " " + WindowText(window));
    }
    return shown;
  }
  bool Running() const { return WaitForSingleObject(program_.Process(), 0) == WAIT_TIMEOUT; }

  // (row + 1) MB in a file and 1 MB in a subfolder; a folder beside the target
  // and a folder that a link inside it leads to hold files that must stay.
  void Fill(int row) {
    const std::string folder = Folder(row);
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\sub"));
    ASSERT_TRUE(TargetTree::MakeFile(folder + "\\junk.tmp", (row + 1) * kMegabyte));
    ASSERT_TRUE(TargetTree::MakeFile(folder + "\\sub\\inner.dat", kMegabyte));
    const std::string beside = folder + "_beside";
    const std::string linked = tree_.Outside() + "\\" + kCleaners[row].target;
    for (const std::string& keeper : {beside, linked}) {
      ASSERT_TRUE(tree_.MakeFolders(keeper));
      ASSERT_TRUE(TargetTree::MakeFile(keeper + "\\keep.dat", 3 * kMegabyte));
      mustStay_.push_back(keeper + "\\keep.dat");
    }
    ASSERT_TRUE(scratch::MakeLink(folder + "\\link", linked));
  }

  // Presses a key and waits for the focus to move; the caption of the new one.
  std::string MoveFocus(std::initializer_list<WORD> keys) {
    const HWND before = FocusOf(form_);
    PressKeys(keys);
    Eventually([&] { return FocusOf(form_) != before; });
    return WindowText(FocusOf(form_));
  }

  TargetTree tree_;
  ProgramDriver program_;
  HWND form_ = nullptr;
  MainWindow window_;
  std::vector<std::string> mustStay_;
};

}  // namespace

TEST_F(Brumix, StartsAsDesignedShowsItsAboutBoxAndExitsByItsButton) {
  std::vector<HWND> titled;
  for (HWND window : TopWindowsOf(program_.ProcessId())) {
    if (WindowText(window) == kTitle) titled.push_back(window);
  }
  const HWND app = GetWindow(form_, GW_OWNER);
  EXPECT_EQ(ClassOf(app), "obj_App");
  std::sort(titled.begin(), titled.end());
  std::vector<HWND> expected = {form_, app};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(titled, expected);

  RECT frame{};
  GetWindowRect(form_, &frame);
  const int barHeight = RectInParent(window_.bar).bottom - RectInParent(window_.bar).top;
  EXPECT_EQ(frame.right - frame.left, 307);
  EXPECT_EQ(frame.bottom - frame.top, 376 + barHeight);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 307) / 2);
  // Centred as it finally stands, status bar included.
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (376 + barHeight)) / 2);
  const LONG style = GetWindowLongA(form_, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  // Wine answers no WM_GETICON from another process, so the icon is looked
  // for where the caption shows it: the window class has none, so only the
  // window's big icon can put the broom's warm colours there.
  const int edge = GetSystemMetrics(SM_CXFIXEDFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  const RECT iconArea = {frame.left + edge, frame.top + edge, frame.left + edge + caption,
                         frame.top + edge + caption - 1};
  EXPECT_TRUE(Eventually([&] {
    const std::vector<COLORREF> pixels = ScreenPixels(iconArea);
    return std::count_if(pixels.begin(), pixels.end(),
                         [](COLORREF c) { return GetRValue(c) > GetBValue(c) + 40; }) >= 10;
  }));

  int bitmapButtons = 0;
  for (HWND child : ChildWindows(form_)) {
    if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
        ClassOf(child) == "obj_BUTTON") {
      ++bitmapButtons;
    }
  }
  EXPECT_EQ(bitmapButtons, 9);
  for (int row = 0; row < kRows; ++row) {
    SCOPED_TRACE(kCleaners[row].caption);
    ASSERT_NE(window_.cleaners[row], nullptr);
    EXPECT_EQ(GetWindowLongA(window_.cleaners[row], GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(Placement(window_.cleaners[row]), At(10, 40 + 30 * row, 240, 20));
    EXPECT_EQ(Placement(window_.lamps[row]), At(260, 40 + 30 * row, 25, 25));
    // Drawn a moment after the window shows.
    EXPECT_TRUE(Eventually([&] { return window_.Lamp(row) == kTeal; })) << window_.Lamp(row);
  }
  EXPECT_EQ(GetWindowLongA(window_.count, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(Placement(window_.count), At(10, 280, 240, 20));
  EXPECT_EQ(Placement(window_.about), At(10, 315, 120, 20));
  EXPECT_EQ(Placement(window_.exit), At(135, 315, 115, 20));
  RECT client{};
  GetClientRect(form_, &client);
  EXPECT_EQ(Placement(window_.bar), At(0, client.bottom - barHeight, client.right, barHeight));
  EXPECT_TRUE(Status().simple);
  EXPECT_EQ(Status().text, kWaiting);

  ASSERT_TRUE(TargetTree::MakeFile(Folder(kIE) + "\\junk.tmp"));
  ClickCentre(window_.about);
  const HWND box = program_.WaitForWindow("#32770", "");
  ASSERT_NE(box, nullptr);
  int boxButtons = 0;
  for (HWND child : ChildWindows(box)) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child)) ++boxButtons;
  }
  EXPECT_EQ(boxButtons, 1);
  const std::vector<std::string> lines = Lines(MessageBoxText(box));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_NE(lines[0], "");
  EXPECT_EQ(lines[1], "Софтина написана сугубо для себя, и может содержать тыщи багов");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "(!) Внимание - закрывайте браузеры во время чистки, иначе будет плохо. ");
  EXPECT_NE(lines[5], "");
  EXPECT_NE(lines[6], "");
  const HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  ClickCentre(ok);
  ASSERT_TRUE(Eventually([&] { return !IsWindow(box); }));

  // Closing the box changed nothing.
  EXPECT_TRUE(Running());
  EXPECT_TRUE(scratch::Exists(Folder(kIE) + "\\junk.tmp"));
  EXPECT_EQ(WindowText(window_.count), kCountCaption);
  EXPECT_EQ(Status().text, kWaiting);
  for (int row = 0; row < kRows; ++row)
    EXPECT_TRUE(Eventually([&] { return window_.Lamp(row) == kTeal; })) << row;

  ClickCentre(window_.exit);
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}

TEST_F(Brumix, EachCleaningButtonEmptiesOnlyItsTargetAndTheCountAddsUpAllEight) {
  for (int row = 0; row < kRows; ++row)
    Fill(row);
  const std::string held = Folder(kTemp) + "\\held.tmp";
  ASSERT_TRUE(TargetTree::MakeFile(held, 14 * kMegabyte / 10));
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);

  // 36 MB of files, 8 MB in subfolders and 1.4 MB held open: 45.4 MB. What
  // lies beside a target or behind a link is not counted.
  ClickCentre(window_.count);
  EXPECT_TRUE(Eventually([&] { return WindowText(window_.count) == CountText(45); }))
      << WindowText(window_.count);
  for (int row = 0; row < kRows; ++row) {
    EXPECT_TRUE(Eventually([&] { return window_.Lamp(row) == kTeal; })) << row;
    EXPECT_TRUE(scratch::Exists(Folder(row) + "\\sub\\inner.dat")) << row;
  }
  EXPECT_TRUE(Status().simple);
  EXPECT_EQ(Status().text, kWaiting);

  for (int row = 0; row < kRows; ++row) {
    SCOPED_TRACE(kCleaners[row].caption);
    const std::string folder = Folder(row);
    // Firefox deletes the profile folders and leaves files lying beside them.
    const bool fileGoes = row != kFirefox;
    if (row % 2 == 0) {
      ClickCentre(window_.cleaners[row]);
    } else {
      ClickButton(window_.cleaners[row]);
    }
    EXPECT_TRUE(Eventually([&] {
      return !scratch::Exists(folder + "\\sub") &&
             scratch::Exists(folder + "\\junk.tmp") != fileGoes && window_.Lamp(row) == kGreen;
    }));
    if (row + 1 < kRows) {
      EXPECT_EQ(window_.Lamp(row + 1), kTeal);
    }
    EXPECT_FALSE(Status().simple);
    EXPECT_EQ(Status().text, kCleaned);

    // Again, with nothing left to delete: nothing changes.
    ClickButton(window_.cleaners[row]);
    EXPECT_EQ(window_.Lamp(row), kGreen);
    EXPECT_FALSE(Status().simple);
    EXPECT_EQ(Status().text, kCleaned);
  }
  EXPECT_TRUE(scratch::Exists(held));
  EXPECT_TRUE(scratch::Exists(Folder(kFirefox) + "\\junk.tmp"));
  for (const std::string& path : mustStay_)
    EXPECT_TRUE(scratch::Exists(path)) << path;

  // What is left: the held file and Firefox's 4 MB, 5.4 MB in all.
  ClickButton(window_.count);
  EXPECT_EQ(WindowText(window_.count), CountText(5));
  CloseHandle(holder);

  POINT closeBox{};
  ASSERT_TRUE(FindCloseBox(form_, &closeBox));
  ClickAt(closeBox);
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}

TEST_F(Brumix, TabWalksTheButtonsSpacePressesOneAndAltF4Closes) {
  ASSERT_TRUE(TargetTree::MakeFile(Folder(kIE) + "\\junk.tmp", 2 * kMegabyte));
  ASSERT_TRUE(BringToFront(form_));
  // No default and no cancel button: neither key presses anything.
  PressKeys({VK_RETURN});
  PressKeys({VK_ESCAPE});

  std::vector<std::string> forward, backward;
  for (size_t i = 0; i < kTabOrder.size(); ++i)
    forward.push_back(MoveFocus({VK_TAB}));
  for (size_t i = 0; i < kTabOrder.size(); ++i)
    backward.push_back(MoveFocus({VK_SHIFT, VK_TAB}));
  std::vector<std::string> expectedForward(kTabOrder.begin() + 1, kTabOrder.end());
  expectedForward.push_back(kTabOrder.front());
  EXPECT_EQ(forward, expectedForward);
  std::vector<std::string> expectedBackward(kTabOrder.rbegin(), kTabOrder.rend());
  EXPECT_EQ(backward, expectedBackward);
  // The keys are handled in order, so Enter and Esc were handled long ago.
  EXPECT_TRUE(scratch::Exists(Folder(kIE) + "\\junk.tmp"));
  EXPECT_EQ(WindowText(window_.count), kCountCaption);
  EXPECT_EQ(Shown(), std::vector<std::string>{"obj_Form Brumix 1.2"});

  ASSERT_EQ(FocusOf(form_), window_.cleaners[kIE]);
  PressKeys({VK_SPACE});
  EXPECT_TRUE(Eventually(
      [&] { return !scratch::Exists(Folder(kIE) + "\\junk.tmp") && window_.Lamp(kIE) == kGreen; }));
  ASSERT_EQ(MoveFocus({VK_SHIFT, VK_TAB}), kCountCaption);
  PressKeys({VK_SPACE});
  EXPECT_TRUE(Eventually([&] { return WindowText(window_.count) == CountText(0); }))
      << WindowText(window_.count);

  PressKeys({VK_MENU, VK_F4});
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}

TEST_F(Brumix, TheStatusBarHasNoGripAndADragAtItsCornerLeavesTheWindowAsItWas) {
  EXPECT_FALSE(GetWindowLongA(window_.bar, GWL_STYLE) & SBARS_SIZEGRIP);
  const std::string frame = Placement(form_);
  const std::string bar = Placement(window_.bar);
  ASSERT_TRUE(BringToFront(form_));
  RECT corner{};
  GetWindowRect(window_.bar, &corner);
  Drag({corner.right - 3, corner.bottom - 3}, {corner.right + 57, corner.bottom + 57});
  // Input is handled in order: once Tab has moved the focus, the drag is over.
  EXPECT_EQ(MoveFocus({VK_TAB}), kCleaners[kTemp].caption);
  EXPECT_EQ(Placement(form_), frame);
  EXPECT_EQ(Placement(window_.bar), bar);
}

TEST_F(Brumix, TheFocusedButtonShowsAFocusRectangleThatTabMovesOn) {
  const HWND first = window_.cleaners[kIE];
  const HWND second = window_.cleaners[kTemp];
  ASSERT_TRUE(BringToFront(form_));
  EXPECT_TRUE(Eventually([&] { return FocusDots(first) > 0; }));
  EXPECT_EQ(FocusDots(second), 0);
  ASSERT_EQ(MoveFocus({VK_TAB}), kCleaners[kTemp].caption);
  EXPECT_TRUE(Eventually([&] { return FocusDots(first) == 0 && FocusDots(second) > 0; }));
}
