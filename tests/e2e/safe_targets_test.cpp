// A cleaning button empties a folder only when it is plainly a cache: a root,
// a relative path, a system or user folder, or a registry value that is not
// text is refused, and so is a browser's cache while that browser runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_window.h"
#include "program_driver.h"
#include "target_tree.h"
#include "tree_listing.h"
#include "window_probe.h"

using namespace main_window;

namespace {

constexpr char kRefused[] = "Эту папку чистить опасно: не трогаю.";
constexpr char kBrowserOpen[] = "Закройте браузер и нажмите ещё раз.";
constexpr int kIE = 0, kTemp = 1, kChrome = 2;
constexpr DWORD kPressTimeoutMs = 120000;
constexpr char kDecoyText[] = "a decoy the cleaner must leave";

struct Variable {
  const char* name;
  std::optional<std::string> value;  // none: unset
};

void SetEnvironment(const Variable& variable) {
  SetEnvironmentVariableA(variable.name, variable.value ? variable.value->c_str() : nullptr);
}

// Variables of this process, which a started program inherits, for the
// scope's length.
class EnvironmentScope {
 public:
  explicit EnvironmentScope(const std::vector<Variable>& variables) {
    for (const Variable& variable : variables) {
      // None of these is ever set empty here: no value means unset.
      char value[32767];
      const bool set = GetEnvironmentVariableA(variable.name, value, sizeof value) != 0;
      saved_.push_back({variable.name, set ? std::optional<std::string>(value) : std::nullopt});
      SetEnvironment(variable);
    }
  }
  ~EnvironmentScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      SetEnvironment(*it);
  }

 private:
  std::vector<Variable> saved_;
};

std::string ProfileFolder() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::string WindowsFolder() {
  char path[MAX_PATH] = {};
  return std::string(path, GetWindowsDirectoryA(path, MAX_PATH));
}

class SafeTargets : public ::testing::Test {
 protected:
  // A start right after the previous program's window closed can end at once
  // with code 1; it is tried once more then.
  void StartIn(const std::string& folder) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      program_ = std::make_unique<ProgramDriver>();
      ASSERT_TRUE(program_->StartIn(folder, ""));
      const HWND form = program_->WaitForWindow("obj_Form", kTitle);
      if (!form) continue;
      window_ = MainWindow{};
      ASSERT_TRUE(window_.Find(form));
      ASSERT_TRUE(Eventually([&] { return FocusOf(form) == window_.cleaners[kIE]; }));
      // Drawn, every lamp off: a lamp read later shows what a press made of it.
      for (int lamp = 0; lamp < kRows; ++lamp)
        ASSERT_TRUE(Eventually([&] { return window_.Lamp(lamp) == kLampOff; }));
      return;
    }
    FAIL() << "no window; exit code " << program_->ExitCode();
  }

  void Close() {
    PostMessageA(window_.form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program_->WaitForExit());
    EXPECT_EQ(program_->ExitCode(), 0u);
  }

  // The press of a cleaning button, then what the window says of it.
  void ExpectPress(int row, const std::string& status) {
    ASSERT_TRUE(PressWithin(window_.cleaners[row], kPressTimeoutMs)) << "the press hangs";
    EXPECT_EQ(ReadStatusBar(program_->Process(), window_.bar).text, status);
    if (status == kCleaned) {
      EXPECT_TRUE(Eventually([&] { return window_.Lamp(row) == kLampOn; }, 3000));
    } else {
      EXPECT_EQ(window_.Lamp(row), kLampOff);
    }
  }

  // What an allowed press must remove.
  static void Plant(const std::string& folder) {
    for (const char* name : {"brumix_planted.tmp", "brumix_planted\\inner.tmp"})
      ASSERT_TRUE(TargetTree::MakeFile(folder + "\\" + name)) << folder;
  }

  TargetTree tree_;
  std::unique_ptr<ProgramDriver> program_;
  MainWindow window_;
};

// One start of the program, pressing one button.
struct Case {
  std::string what;
  std::vector<Variable> environment;
  // The "Cache" value's type and bytes; REG_NONE leaves it as it is.
  DWORD cacheType = REG_NONE;
  std::string cacheBytes = {};
  // The folder the press must empty; none when it must refuse.
  std::string emptied = {};
};

// So that a cleaner gone wrong empties decoys rather than the machine, roots
// and relative paths land on a spare drive R: that leads into the scratch
// tree, and the program starts in R:\cwd. Decoys lie there, in the folder
// USERPROFILE names (Wine's temporary path falls back to it), in every refused
// scratch folder, and directly in the real profile and Windows folders, which
// no scratch space can stand for.
class RefusedFolders : public SafeTargets {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch::Exists("R:\\")) << "the drive letter is taken";
    for (const std::string& folder :
         {Outside("drive"), Outside("drive\\a"), Outside("drive\\cwd"), Outside("profile"),
          Outside("binary"), Outside("expand"), Outside("expand\\Cache"), tree_.LocalAppData()}) {
      ASSERT_TRUE(tree_.MakeFolders(folder + "\\sub"));
      ASSERT_TRUE(scratch::WriteFile(folder + "\\keep.dat", kDecoyText));
      ASSERT_TRUE(scratch::WriteFile(folder + "\\sub\\inner.dat", kDecoyText));
    }
    ASSERT_NO_FATAL_FAILURE(MapDrive());
    for (const std::string& decoy : RealDecoys())
      ASSERT_TRUE(scratch::WriteFile(decoy, kDecoyText)) << decoy;
  }

  void TearDown() override {
    if (program_) program_->Kill();
    for (const std::string& decoy : RealDecoys())
      DeleteFileA(decoy.c_str());
    DeleteFileA((WindowsFolder() + "\\Temp\\brumix_planted.tmp").c_str());
    scratch::RemoveTree(WindowsFolder() + "\\Temp\\brumix_planted");
    // Linux's rm, so the link goes and never what it leads to.
    if (!driveLink_.empty() &&
        scratch::RunLinux("Z:\\bin\\rm", "-f " + scratch::Quoted(driveLink_))) {
      EXPECT_TRUE(scratch::WaitFor([] { return !scratch::Exists("R:\\"); }));
    }
  }

  std::string Outside(const std::string& name) const { return tree_.Outside() + "\\" + name; }
  static std::vector<std::string> RealDecoys() {
    return {ProfileFolder() + "\\brumix_decoy.txt", WindowsFolder() + "\\brumix_decoy.txt"};
  }

  // Wine keeps its drives as links in the prefix's dosdevices folder and
  // reads them at every access, so a new one is seen at once.
  void MapDrive() {
    const std::string driveC = scratch::UnixPath("C:\\");
    ASSERT_TRUE(driveC.ends_with("/c:/")) << driveC;
    driveLink_ = driveC.substr(0, driveC.size() - 3) + "r:";
    const std::string target = scratch::UnixPath(Outside("drive"));
    ASSERT_TRUE(scratch::RunLinux(
        "Z:\\bin\\ln", "-sfn " + scratch::Quoted(target) + " " + scratch::Quoted(driveLink_)));
    ASSERT_TRUE(scratch::WaitFor([] { return scratch::Exists("R:\\cwd\\keep.dat"); }));
  }

  // The real folders come last, so a cleaner that goes wrong on scratch
  // space never reaches them.
  std::vector<Case> TempCases() const {
    const std::string windowsTemp = WindowsFolder() + "\\Temp";
    auto row = [&](const char* what, std::optional<std::string> value) {
      return Case{what, {{"TMP", value}, {"TEMP", value}, {"USERPROFILE", Outside("profile")}}};
    };
    Case allowed = row("the Windows folder's Temp", windowsTemp);
    allowed.emptied = windowsTemp;
    return {row("a drive root", "R:\\"),
            row("the current drive's root", "\\"),
            row("a climb to the root", "R:\\a\\.."),
            row("unset", std::nullopt),
            row("empty", ""),
            row("the current folder", "."),
            row("relative to a drive", "R:"),
            row("the profile", ProfileFolder()),
            row("the Windows folder", WindowsFolder()),
            allowed};
  }

  std::vector<Case> CacheCases() const {
    auto text = [](const char* what, const std::string& value) {
      return Case{what, {}, REG_SZ, TextValueBytes(value)};
    };
    return {text("a drive root", "R:\\"),
            text("relative to a drive", "R:"),
            text("Local AppData", tree_.LocalAppData()),
            {"a number spelling a root", {}, REG_DWORD, std::string("R:\\\0", 4)},
            {"bytes spelling a safe folder", {}, REG_BINARY, TextValueBytes(Outside("binary"))},
            {"an expandable path",
             {{"BRUMIX_CACHE_HOME", Outside("expand")}},
             REG_EXPAND_SZ,
             TextValueBytes("%BRUMIX_CACHE_HOME%\\Cache"),
             Outside("expand\\Cache")},
            text("the profile", ProfileFolder())};
  }

  // One start per case. A cleaner that goes wrong once is stopped there.
  void RunAll(const std::vector<Case>& cases, int button) {
    for (const Case& row : cases) {
      ASSERT_FALSE(HasFailure()) << "stopped before: " << row.what;
      SCOPED_TRACE(row.what);
      const bool allowed = !row.emptied.empty();
      std::vector<std::string> excluded;
      if (allowed) {
        ASSERT_NO_FATAL_FAILURE(Plant(row.emptied));
        excluded.push_back(row.emptied);
      }
      const TreeListing before = ListTree(tree_.Root(), excluded);
      {
        EnvironmentScope scope(row.environment);
        if (row.cacheType != REG_NONE) {
          ASSERT_TRUE(WriteShellFolderBytes("Cache", row.cacheType, row.cacheBytes));
        }
        ASSERT_NO_FATAL_FAILURE(StartIn("R:\\cwd"));
      }
      ExpectPress(button, allowed ? kCleaned : kRefused);
      ASSERT_NO_FATAL_FAILURE(Close());
      EXPECT_EQ(ListingChanges(before, ListTree(tree_.Root(), excluded)), "");
      for (const std::string& decoy : RealDecoys())
        EXPECT_TRUE(scratch::Exists(decoy)) << decoy;
      if (allowed) {
        for (const char* name : {"brumix_planted.tmp", "brumix_planted"})
          EXPECT_FALSE(scratch::Listed(row.emptied + "\\" + name)) << name;
      }
    }
  }

  std::string driveLink_;
};

}  // namespace

TEST_F(RefusedFolders, TheTempButtonEmptiesOnlyAnAbsoluteTemporaryFolderOutsideTheSystem) {
  RunAll(TempCases(), kTemp);
}

TEST_F(RefusedFolders, TheIEButtonEmptiesOnlyACacheFolderGivenAsText) {
  RunAll(CacheCases(), kIE);
}

TEST_F(SafeTargets, ABrowsersCacheStaysWhileTheBrowserRuns) {
  const std::string cache = tree_.Folder(kCleaners[kChrome].target);
  ASSERT_NO_FATAL_FAILURE(Plant(cache));
  const std::string browserExe = tree_.Outside() + "\\chrome.exe";
  ASSERT_TRUE(CopyFileA(SiblingPath("idle_program.exe").c_str(), browserExe.c_str(), FALSE));
  ProgramDriver browser;
  ASSERT_TRUE(browser.StartExe(browserExe, ""));
  const TreeListing before = ListTree(tree_.Root());
  ASSERT_NO_FATAL_FAILURE(StartIn(tree_.Outside()));

  ExpectPress(kChrome, kBrowserOpen);
  EXPECT_EQ(ListingChanges(before, ListTree(tree_.Root())), "");

  browser.Kill();
  ExpectPress(kChrome, kCleaned);
  EXPECT_TRUE(TargetTree::IsEmptyFolder(cache));
  Close();
}

// Counting deletes nothing, so the real drive root can stand in here.
TEST_F(SafeTargets, TheCountLeavesARefusedFolderOut) {
  ASSERT_TRUE(TargetTree::MakeFile(tree_.Outside() + "\\huge.bin", 2ULL << 30));
  EnvironmentScope temp({{"TMP", "C:\\"}, {"TEMP", "C:\\"}});
  ASSERT_NO_FATAL_FAILURE(StartIn(tree_.Outside()));
  ASSERT_TRUE(PressWithin(window_.count, kPressTimeoutMs)) << "the count hangs";
  EXPECT_EQ(WindowText(window_.count), CountText(0));
  Close();
}
