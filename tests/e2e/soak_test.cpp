// Every button pressed over and over, the targets filled again between the
// presses: the program's memory stays flat, and every window and GDI object
// made meanwhile is gone again. BRUMIX_SOAK_PRESSES sets how many presses each
// button gets (scripts/soak runs a thousand).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "main_window.h"
#include "process_resources.h"
#include "program_driver.h"
#include "target_tree.h"
#include "window_probe.h"

using namespace main_window;

namespace {

constexpr int kDefaultPresses = 20;
constexpr int kWarmUpRounds = 3;
constexpr DWORD kPressTimeoutMs = 30000;
constexpr uint64_t kMegabyte = 1048576;
// Room for the allocator's own rounding; a leak of a few dozen bytes a press
// grows past it within a thousand rounds.
constexpr SIZE_T kMemoryToleranceBytes = 256 * 1024;
constexpr int kSettledReads = 5;
constexpr DWORD kSettleStepMs = 100;

int Presses() {
  char value[16] = {};
  const DWORD length = GetEnvironmentVariableA("BRUMIX_SOAK_PRESSES", value, sizeof value);
  const int presses = length > 0 && length < sizeof value ? std::atoi(value) : 0;
  return presses > 0 ? presses : kDefaultPresses;
}

class Soak : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.StartIn(tree_.Outside(), ""));
    const HWND form = program_.WaitForWindow("obj_Form", kTitle);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(window_.Find(form));
    ASSERT_TRUE(Eventually([&] { return FocusOf(form) == window_.cleaners[0]; }));
  }

  std::string Folder(int row) const { return tree_.Folder(kCleaners[row].target); }

  void Refill(int row) {
    const std::string folder = Folder(row);
    ASSERT_TRUE(TargetTree::MakeFile(folder + "\\junk.tmp", kMegabyte));
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\sub"));
    ASSERT_TRUE(TargetTree::MakeFile(folder + "\\sub\\inner.dat"));
  }

  void Press(HWND button) {
    ASSERT_TRUE(PressWithin(button, kPressTimeoutMs)) << WindowText(button) << " hangs";
  }

  // The about box comes and goes; its windows are noted while it shows.
  void ShowAndCloseAbout() {
    PostMessageA(window_.about, BM_CLICK, 0, 0);
    const HWND box = program_.WaitForWindow("#32770", "");
    ASSERT_NE(box, nullptr);
    for (HWND window : WindowsOf(program_.ProcessId()))
      made_.insert(window);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(box); }));
  }

  // Every button once, exit aside: the filled targets counted, then each
  // cleaned, then the about box.
  void Round() {
    for (int row = 0; row < kRows; ++row)
      Refill(row);
    Press(window_.count);
    ASSERT_EQ(WindowText(window_.count), CountText(kRows));
    for (int row = 0; row < kRows; ++row) {
      Press(window_.cleaners[row]);
      ASSERT_FALSE(scratch::Exists(Folder(row) + "\\sub")) << kCleaners[row].caption;
      ASSERT_EQ(scratch::Exists(Folder(row) + "\\junk.tmp"), row == kFirefox);
    }
    ShowAndCloseAbout();
  }

  // The program's GDI objects once it has nothing left to do: a paint still
  // pending after the last press holds a brush or a DC of its own for a moment.
  // Re-enabled windows after the About box repaint a moment later, and Wine
  // draws their frames with objects of its own: the count has settled once it
  // stays the same for half a second (a fresh prefix once read 5 fewer after
  // 90 ms).
  std::optional<int> SettledGdiObjects() {
    std::optional<int> last = GdiObjectsOf(program_.Process());
    for (int read = 0, same = 0; read < 100 && same < kSettledReads; ++read) {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(window_.form, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &answer);
      WaitForInputIdle(program_.Process(), 2000);
      Sleep(kSettleStepMs);
      const std::optional<int> now = GdiObjectsOf(program_.Process());
      same = now == last ? same + 1 : 0;
      last = now;
    }
    return last;
  }

  TargetTree tree_;
  ProgramDriver program_;
  MainWindow window_;
  std::set<HWND> made_;
};

std::string Kilobytes(SIZE_T bytes) {
  return std::to_string(bytes / 1024) + " KB";
}

}  // namespace

TEST_F(Soak, ManyPressesOfEveryButtonLeaveMemoryWindowsAndGdiObjectsAsTheyWere) {
  for (int round = 0; round < kWarmUpRounds; ++round) {
    ASSERT_NO_FATAL_FAILURE(Round());
  }
  const std::optional<MemoryUse> memoryBefore = MemoryOf(program_.Process());
  const std::optional<int> gdiBefore = SettledGdiObjects();
  const std::vector<HWND> windowsBefore = WindowsOf(program_.ProcessId());
  ASSERT_TRUE(memoryBefore && memoryBefore->privateBytes > 0);
  ASSERT_TRUE(gdiBefore && *gdiBefore > 0);
  made_.clear();

  const int presses = Presses();
  const DWORD start = GetTickCount();
  for (int round = 0; round < presses; ++round) {
    ASSERT_NO_FATAL_FAILURE(Round()) << "round " << round;
  }
  const DWORD elapsedMs = GetTickCount() - start;

  const std::optional<MemoryUse> memoryAfter = MemoryOf(program_.Process());
  const std::optional<int> gdiAfter = SettledGdiObjects();
  const std::vector<HWND> windowsAfter = WindowsOf(program_.ProcessId());
  ASSERT_TRUE(memoryAfter && gdiAfter);
  std::printf(
      "soak: %d presses of each of 10 buttons in %lu ms\n"
      "  private memory %s -> %s, working set %s -> %s\n"
      "  windows %u -> %u (%u seen while the about box showed), GDI objects %d -> %d\n",
      presses, static_cast<unsigned long>(elapsedMs), Kilobytes(memoryBefore->privateBytes).c_str(),
      Kilobytes(memoryAfter->privateBytes).c_str(), Kilobytes(memoryBefore->workingSet).c_str(),
      Kilobytes(memoryAfter->workingSet).c_str(), static_cast<unsigned>(windowsBefore.size()),
      static_cast<unsigned>(windowsAfter.size()), static_cast<unsigned>(made_.size()), *gdiBefore,
      *gdiAfter);

  EXPECT_LE(memoryAfter->privateBytes, memoryBefore->privateBytes + kMemoryToleranceBytes);
  EXPECT_EQ(windowsAfter, windowsBefore);
  for (HWND window : made_) {
    const bool kept = std::binary_search(windowsBefore.begin(), windowsBefore.end(), window);
    EXPECT_TRUE(kept || !IsWindow(window)) << ClassOf(window) << " " << WindowText(window);
  }
  EXPECT_EQ(*gdiAfter, *gdiBefore);

  PostMessageA(window_.exit, BM_CLICK, 0, 0);
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}
