// The cleaner against what a real disk can hold in its folders: links out of
// them and back into them, paths past 260 bytes, read-only and held entries, a
// huge sparse file and awkward names. After every button nothing outside the
// targets may have changed, the program must still answer, and its count must
// be what is left.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <set>
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
constexpr uint64_t kSparseSize = 3ULL << 30;
constexpr uint64_t kLinkedFileSize = 5 * kMegabyte;
// A press walks and deletes a whole target on the window thread.
constexpr DWORD kPressTimeoutMs = 120000;
// A folder of 257 characters can be opened by its plain path, but its
// listing pattern "\*.*" takes it past 260: the walk must go long there.
constexpr size_t kEdgeFolderLength = 257;

// Names in cp1251 and UTF-8 bytes are made on the Linux side: with
// ru_RU.CP1251 not installed as a Linux locale, Wine's Unix code page is 7-bit
// ASCII, no Cyrillic name can be made through Win32 (error 2), and a Linux
// name's bytes from 0x80 on show with the top bit cleared. Written as printf
// escapes: "Кэш ёлки.tmp", "Єнот.tmp" (shown with a "*") and the folder
// "папка с пробелами" holding "файл.dat" in cp1251, "кэш.tmp" in UTF-8.
const std::vector<std::string> kCyrillicFiles = {
    R"(\312\375\370 \270\353\352\350.tmp)",
    R"(\252\355\356\362.tmp)",
    R"(\320\272\321\215\321\210.tmp)",
};
constexpr char kCyrillicFolder[] =
    R"(\357\340\357\352\340 \361 \357\360\356\341\345\353\340\354\350)";
constexpr char kCyrillicInner[] = R"(\364\340\351\353.dat)";
// So cp1251's "Ь" and "®" show as "\" and ".": a name made of them reads as
// a path that climbs out of its folder.
constexpr char kCp1251Backslash[] = R"(\334)";
constexpr char kCp1251UpLevel[] = R"(\334\256\256)";

long long Megabytes(uint64_t bytes) {
  return std::llrint(static_cast<double>(bytes) / kMegabyte);
}

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

// The name as the shell makes it from printf escapes.
std::string Printed(const std::string& escapes) {
  return "\"$(printf " + Quote(escapes) + ")\"";
}

// One argument of a Windows command line, which Wine splits into the Linux
// argv: inner quotes are escaped (no backslash here comes before one).
std::string Argument(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text)
    quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  return quoted + "\"";
}

class HostileTrees : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeDecoy();
    for (int row = 0; row < kRows && !HasFatalFailure(); ++row)
      FillHostile(row);
    decoy_ = Outside();
  }

  void TearDown() override {
    program_.Kill();
    for (HANDLE holder : held_)
      CloseHandle(holder);
  }

  std::string Folder(int row) const { return tree_.Folder(kCleaners[row].target); }
  std::string Cwd() const { return tree_.Outside() + "\\cwd"; }
  std::vector<std::string> TargetFolders() const {
    std::vector<std::string> folders;
    for (const CleaningTarget& target : tree_.Targets())
      folders.push_back(target.folder);
    return folders;
  }
  // Everything of the tree but the insides of the targets.
  TreeListing Outside() const { return ListTree(tree_.Root(), TargetFolders()); }

  // What the links point at, the program's current directory holding names
  // like those in the targets, a folder that only a wrongly resolved path
  // reaches, and entries beside every target.
  void MakeDecoy() {
    const std::string outside = tree_.Outside();
    ASSERT_TRUE(tree_.MakeFolders(outside + "\\linked_dir\\deeper"));
    ASSERT_TRUE(scratch::WriteFile(outside + "\\linked_dir\\keep.dat", "behind a link"));
    ASSERT_TRUE(scratch::WriteFile(outside + "\\linked_dir\\deeper\\more.dat", "further in"));
    ASSERT_TRUE(
        scratch::WriteFile(outside + "\\linked_file.bin", std::string(kLinkedFileSize, 'k')));
    ASSERT_TRUE(tree_.MakeFolders(outside + "\\victim"));
    ASSERT_TRUE(scratch::WriteFile(outside + "\\victim\\precious.dat", "precious"));
    ASSERT_TRUE(tree_.MakeFolders(Cwd() + "\\sub"));
    ASSERT_TRUE(tree_.MakeFolders(Cwd() + "\\inner"));
    for (const char* name : {"plain.tmp", "-rf", "sub\\inner.dat", "inner\\deep.bin", "keep.txt"})
      ASSERT_TRUE(scratch::WriteFile(Cwd() + "\\" + name, std::string("decoy ") + name));
    for (const std::string& folder : TargetFolders()) {
      ASSERT_TRUE(tree_.MakeFolders(folder + "_beside"));
      ASSERT_TRUE(scratch::WriteFile(folder + "_beside\\keep.dat", "beside " + folder));
      ASSERT_TRUE(scratch::WriteFile(folder + ".txt", "named like " + folder));
    }
  }

  void MakeFile(const std::string& path, uint64_t size = 10) {
    ASSERT_TRUE(TargetTree::MakeFile(path, size)) << path;
  }

  void FillHostile(int row) {
    const std::string folder = Folder(row);
    MakeFile(folder + "\\plain.tmp", kMegabyte);
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\sub"));
    MakeFile(folder + "\\sub\\inner.dat", kMegabyte);
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\empty"));
    MakeFile(folder + "\\sparse.bin", kSparseSize);
    for (const char* name : {"  two leading spaces.dat", "name with spaces.tmp", ".hidden", "-rf",
                             "--help", "dots.in.the.name.tmp"}) {
      MakeFile(folder + "\\" + name);
    }
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\-"));
    MakeFile(folder + "\\-\\-x");
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\folder with spaces"));
    MakeFile(folder + "\\folder with spaces\\file.dat", kMegabyte);

    MakeFile(folder + "\\readonly.dat", kMegabyte);
    ASSERT_TRUE(SetFileAttributesA((folder + "\\readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(tree_.MakeFolders(folder + "\\ro_folder"));
    MakeFile(folder + "\\ro_folder\\in.dat", kMegabyte);
    ASSERT_TRUE(SetFileAttributesA((folder + "\\ro_folder").c_str(), FILE_ATTRIBUTE_READONLY));

    MakeFile(folder + "\\held.dat", kMegabyte);
    HANDLE holder = CreateFileA((folder + "\\held.dat").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    held_.push_back(holder);

    // Past 260 bytes: a folder whose name crosses the limit, and a folder of
    // 257 bytes that holds a folder.
    const std::string cross = folder + "\\long_cross\\" + std::string(250, 'x');
    ASSERT_GT(cross.size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(MakeFileAnyLength(cross + "\\deep.bin", kMegabyte));
    const std::string base = folder + "\\long_edge\\";
    const std::string edge = base + std::string(kEdgeFolderLength - base.size(), 'e');
    ASSERT_TRUE(MakeFileAnyLength(edge + "\\inner\\deep.bin", kMegabyte));

    ASSERT_TRUE(tree_.MakeFolders(folder + "\\nest"));
    MakeFile(folder + "\\nest\\n.dat", kMegabyte);
    // The last target also holds a name that climbs out of it.
    MakeLinuxSide(folder, row == kRows - 1);
  }

  // A name of cp1251 bytes that Wine shows as "z\..\..\outside\victim": up
  // from the folder to the tree's root, then down to the decoy's victim.
  std::string EscapeName(const std::string& folder) const {
    std::string name = "z";
    for (size_t i = tree_.Root().size(); i < folder.size(); ++i) {
      if (folder[i] == '\\') name += kCp1251UpLevel;
    }
    name += kCp1251UpLevel;
    return name + kCp1251Backslash + "outside" + kCp1251Backslash + "victim";
  }

  // Links, and names the Win32 calls cannot make: a trailing dot, a trailing
  // space, only dots, Cyrillic letters. One shell does it all and leaves a
  // marker when done.
  void MakeLinuxSide(const std::string& folder, bool withEscape) {
    const std::string unixFolder = scratch::UnixPath(folder);
    const std::string unixOutside = scratch::UnixPath(tree_.Outside());
    ASSERT_FALSE(unixFolder.empty());
    std::string script = "cd " + Quote(unixFolder) + " && ln -s " +
                         Quote(unixOutside + "/linked_dir") + " dir_link && ln -s " +
                         Quote(unixFolder) + " nest/back && ln -s " +
                         Quote(unixOutside + "/linked_file.bin") +
                         " file_link.bin && truncate -s 1M 'trailing dot.' 'trailing space ' '...'";
    for (const std::string& name : kCyrillicFiles)
      script += " && truncate -s 1M " + Printed(name);
    script += " && mkdir " + Printed(kCyrillicFolder) + " && truncate -s 1M " +
              Printed(std::string(kCyrillicFolder) + "/" + kCyrillicInner);
    if (withEscape) script += " && touch " + Printed(EscapeName(folder));
    script += " && touch made";
    ASSERT_TRUE(scratch::RunLinux("Z:\\bin\\sh", "-c " + Argument(script)));
    const std::string marker = folder + "\\made";
    ASSERT_TRUE(scratch::WaitFor([&] { return scratch::Exists(marker); })) << script;
    ASSERT_TRUE(DeleteFileA(marker.c_str()));
    for (const char* name :
         {"dir_link", "nest\\back", "file_link.bin", "trailing dot.", "trailing space ", "..."}) {
      ASSERT_TRUE(ExistsAnyLength(folder + "\\" + name)) << name;
    }
    fileLinks_.insert(folder + "\\file_link.bin");
  }

  void StartProgram() {
    // The current directory is part of the decoy: a program that loses a
    // path may delete relative to it.
    ASSERT_TRUE(program_.StartIn(Cwd(), ""));
    const HWND form = program_.WaitForWindow("obj_Form", kTitle);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(window_.Find(form));
    ASSERT_TRUE(Eventually([&] { return FocusOf(form) == window_.cleaners[0]; }));
  }

  StatusView Status() const { return ReadStatusBar(program_.Process(), window_.bar); }

  // The program still runs, answers, shows no window besides its form, and
  // nothing outside the targets changed. A change is told once, at the
  // button that made it.
  void ExpectUnharmed(const std::string& after) {
    SCOPED_TRACE(after);
    EXPECT_EQ(WaitForSingleObject(program_.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(Answers(window_.form));
    const HWND app = GetWindow(window_.form, GW_OWNER);
    std::vector<std::string> shown;
    for (HWND window : program_.VisibleWindows()) {
      if (window != app) shown.push_back(ClassOf(window) + " " + WindowText(window));
    }
    EXPECT_EQ(shown, std::vector<std::string>{std::string("obj_Form ") + kTitle});
    ExpectOutsideAsItWas();
  }

  void ExpectOutsideAsItWas() {
    const TreeListing now = Outside();
    EXPECT_EQ(ListingChanges(decoy_, now), "") << "outside the targets";
    decoy_ = now;
  }

  // Lamps up to the last row pressed are lit, the others are not.
  void ExpectLamps(int rowsPressed) {
    for (int row = 0; row < kRows; ++row) {
      const COLORREF expected = row < rowsPressed ? kLampOn : kLampOff;
      EXPECT_TRUE(Eventually([&] { return window_.Lamp(row) == expected; }, 3000))
          << kCleaners[row].caption << ": " << std::hex << window_.Lamp(row);
    }
  }

  // What is left in the targets, in megabytes, against the caption, paths
  // past 260 characters included; a link counts nothing, a link to a file
  // too (under Wine it lists as the file it points to).
  void ExpectCountOfWhatIsLeft(const std::string& after) {
    SCOPED_TRACE(after);
    ASSERT_TRUE(PressWithin(window_.count, kPressTimeoutMs)) << "the count press hangs";
    uint64_t left = 0;
    for (int row = 0; row < kRows; ++row)
      left += BytesUnder(Folder(row), fileLinks_);
    EXPECT_EQ(WindowText(window_.count), CountText(Megabytes(left)))
        << "left in the targets: " << left << " bytes";
  }

  // Only the held file and the links stay (Wine 8 cannot remove a link
  // without touching what it leads to), and the folder that holds a link; a
  // name that reads as a path, a wildcard or a stream is never acted on.
  // Firefox's cleaning leaves the files lying in its folder.
  void ExpectCleaned(int row) {
    const std::string folder = Folder(row);
    std::set<std::string> kept = {"held.dat", "dir_link", "file_link.bin", "nest", "nest\\back"};
    for (const auto& [path, what] : ListTree(folder)) {
      const bool looseFile = path.find('\\') == std::string::npos && what != "folder";
      const bool unnamable = looseFile && path.find_first_of("*?:") != std::string::npos;
      const bool climbing = row == kRows - 1 && path.starts_with("z\\");
      EXPECT_TRUE(kept.erase(path) || unnamable || climbing || (row == kFirefox && looseFile))
          << path;
    }
    EXPECT_TRUE(kept.empty()) << "gone: " << *kept.begin();
  }

  TargetTree tree_;
  ProgramDriver program_;
  MainWindow window_;
  std::vector<HANDLE> held_;
  std::set<std::string> fileLinks_;
  TreeListing decoy_;
};

}  // namespace

TEST_F(HostileTrees, EveryButtonKeepsToItsTargetAnswersAndCountsWhatIsLeft) {
  ASSERT_FALSE(decoy_.empty());
  StartProgram();
  ExpectCountOfWhatIsLeft("count before cleaning");
  ExpectUnharmed("count before cleaning");
  ExpectLamps(0);
  EXPECT_TRUE(Status().simple);
  EXPECT_EQ(Status().text, kWaiting);

  for (int row = 0; row < kRows; ++row) {
    const std::string button = kCleaners[row].caption;
    ASSERT_TRUE(PressWithin(window_.cleaners[row], kPressTimeoutMs)) << button << " hangs";
    ExpectUnharmed(button);
    {
      SCOPED_TRACE(button);
      ExpectLamps(row + 1);
      EXPECT_FALSE(Status().simple);
      EXPECT_EQ(Status().text, kCleaned);
      ExpectCleaned(row);
    }
    ExpectCountOfWhatIsLeft("count after " + button);
    ExpectUnharmed("count after " + button);
  }

  PostMessageA(window_.about, BM_CLICK, 0, 0);
  const HWND box = program_.WaitForWindow("#32770", "");
  ASSERT_NE(box, nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(Eventually([&] { return !IsWindow(box); }));
  ExpectUnharmed("about");

  PostMessageA(window_.exit, BM_CLICK, 0, 0);
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
  ExpectOutsideAsItWas();
}
