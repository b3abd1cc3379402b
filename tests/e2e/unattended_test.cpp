// "/auto" cleans every target with no window at any time; its exit code and,
// with "/log FILE", one line per target tell what stayed.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "program_driver.h"
#include "target_tree.h"
#include "text_conv.h"

namespace {

constexpr size_t kHeldRow = 1;  // the temporary folder, second in tab order
constexpr std::string_view kPress = "Удалить ";

// Each line keeps its "\r".
std::vector<std::string> LinesOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);)
    lines.push_back(line);
  return lines;
}

// Ends by itself, having shown no window; its exit code.
DWORD RunToEnd(const std::string& arguments) {
  ProgramDriver program;
  EXPECT_TRUE(program.Start(arguments));
  EXPECT_TRUE(program.WaitForExit()) << "hangs";
  EXPECT_EQ(program.WindowsSeen().size(), 0u) << arguments;
  return program.ExitCode();
}

}  // namespace

TEST(Unattended, EmptiesEveryTargetButWhatIsInUseAndLogsEachOne) {
  TargetTree tree;
  for (const CleaningTarget& target : tree.Targets())
    ASSERT_TRUE(TargetTree::MakeFile(target.folder + "\\planted\\inner.tmp"));
  const std::string held = tree.Targets()[kHeldRow].folder + "\\held.tmp";
  ASSERT_TRUE(TargetTree::MakeFile(held));
  HANDLE file = CreateFileW(ToWstr(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const std::string log = tree.Outside() + "\\brumix.log";

  EXPECT_EQ(RunToEnd("/auto /log \"" + log + "\""), 1u);
  CloseHandle(file);
  const std::vector<std::string> lines = LinesOf(log);
  ASSERT_EQ(lines.size(), std::size(kTargetPlaces));
  for (size_t row = 0; row < lines.size(); ++row) {
    const std::string& folder = tree.Targets()[row].folder;
    const std::string name(std::string_view(kTargetPlaces[row].button).substr(kPress.size()));
    EXPECT_NE(lines[row].find("  " + name + " — удалено: "), std::string::npos) << lines[row];
    EXPECT_EQ(lines[row].find("удалено: 0 "), std::string::npos) << lines[row];
    const bool isHeld = row == kHeldRow;
    EXPECT_TRUE(lines[row].ends_with(isHeld ? "осталось: 1 (занято другой программой: 1)\r"
                                            : "осталось: 0\r"))
        << lines[row];
    EXPECT_FALSE(scratch::Exists(folder + "\\planted")) << folder;
    EXPECT_TRUE(isHeld ? scratch::Exists(held) : TargetTree::IsEmptyFolder(folder)) << folder;
  }

  // Nothing held now: all goes, and without "/log" nothing is logged.
  EXPECT_EQ(RunToEnd("/auto"), 0u);
  EXPECT_TRUE(TargetTree::IsEmptyFolder(tree.Targets()[kHeldRow].folder));
  EXPECT_EQ(LinesOf(log).size(), lines.size());
}
