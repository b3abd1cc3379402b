// A user whose folders are named in Cyrillic, on a Windows whose code page is
// not Cyrillic: the cleaner still finds them, reads every name whatever its
// script, and measures and deletes a path past 260 characters. Runs under
// a Western code page only, where Wine can name such files at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "main_window.h"
#include "program_driver.h"
#include "target_tree.h"
#include "tree_listing.h"
#include "window_probe.h"

using namespace main_window;

namespace {

constexpr uint64_t kMegabyte = 1048576;
constexpr int kTemp = 1, kChrome = 2;
constexpr DWORD kPressTimeoutMs = 120000;

// Cyrillic, Greek and Chinese: no single code page holds them all.
const std::vector<std::string> kNames = {"файл кэша.tmp", "αρχείο.dat", "缓存.bin"};
constexpr char kFolder[] = "папка ελληνικά";

// A chain of folders that takes the path past 300 characters.
std::string DeepPath(const std::string& folder) {
  std::string path = folder + "\\глубоко";
  while (path.size() < 330)
    path += "\\" + std::string(40, 'd');
  return path + "\\глубокий файл.tmp";
}

class UnicodePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GetACP(), 1251u) << "meant for a Western code page";
    for (const int row : {kTemp, kChrome}) {
      const std::string folder = tree_.Folder(kCleaners[row].target);
      for (const std::string& name : kNames)
        ASSERT_TRUE(MakeFileAnyLength(folder + "\\" + name, kMegabyte)) << name;
      ASSERT_TRUE(MakeFileAnyLength(folder + "\\" + kFolder + "\\" + kNames[0], kMegabyte));
      ASSERT_TRUE(MakeFileAnyLength(DeepPath(folder), kMegabyte));
    }
    ASSERT_TRUE(program_.Start(""));
    const HWND form = program_.WaitForWindow("obj_Form", kTitle);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(window_.Find(form));
  }

  void TearDown() override { program_.Kill(); }

  std::string Folder(int row) const { return tree_.Folder(kCleaners[row].target); }

  TargetTree tree_{"Пользователь Ωμέγα"};
  ProgramDriver program_;
  MainWindow window_;
};

}  // namespace

TEST_F(UnicodePaths, TargetsBelowACyrillicNameAreCountedAndCleanedWithoutCuttingAPath) {
  // Five megabytes in each of two targets, the one past 300 characters too.
  ASSERT_TRUE(PressWithin(window_.count, kPressTimeoutMs));
  EXPECT_EQ(WindowText(window_.count), CountText(10));

  for (const int row : {kTemp, kChrome}) {
    SCOPED_TRACE(kCleaners[row].caption);
    const std::string folder = Folder(row);
    ASSERT_TRUE(PressWithin(window_.cleaners[row], kPressTimeoutMs));
    EXPECT_TRUE(Eventually([&] { return window_.Lamp(row) == kLampOn; }, 3000));
    for (const std::string& name : kNames)
      EXPECT_FALSE(ExistsAnyLength(folder + "\\" + name)) << name;
    EXPECT_FALSE(ExistsAnyLength(folder + "\\" + kFolder));
    EXPECT_FALSE(ExistsAnyLength(folder + "\\глубоко"));
  }
  EXPECT_EQ(ReadStatusBar(program_.Process(), window_.bar).text, kCleaned);

  ASSERT_TRUE(PressWithin(window_.count, kPressTimeoutMs));
  EXPECT_EQ(WindowText(window_.count), CountText(0));
  PostMessageW(window_.form, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}
