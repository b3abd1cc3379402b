// The real scheme, its window shown, over real folders: every target folder of the cleaner lives
// in a scratch tree, found through the prefix's own registry values and the
// temporary path, which the fixture points there and puts back afterwards.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "event.h"
#include "scheme.h"
#include "scratch_folder.h"

struct Target {
  const char* name;
  std::string folder;
};

class SchemeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCommonControls(); }
  void SetUp() override;
  void TearDown() override;

  // As a user would: BM_CLICK on the component's window.
  static void Click(TKVWin* button) { SendMessageA(button->Control->Handle, BM_CLICK, 0, 0); }
  // What the status bar shows: its simple text, or part 0 once it has left simple mode.
  std::string StatusText() const;
  // The end of the message loop frees the application object, and every
  // window control with it, before the scheme frees the components.
  static void FreeApplication();

  // A target folder by the cleaner's own sub-paths.
  std::string TempFolder() const { return root_ / "temp"; }
  std::string IEFolder() const { return root_ / "ie"; }
  std::string LocalAppData() const { return root_ / "local"; }
  std::string BelowLocal(const std::string& subPath) const {
    return LocalAppData() + "\\" + subPath;
  }
  std::string Outside() const { return root_ / "outside"; }
  std::vector<Target> Targets() const;

  // Makes every folder of the path below the scratch root.
  void MakeFolders(const std::string& path) const;
  // A file of that many bytes (sparse: no data is written).
  void MakeFile(const std::string& path, uint64_t size = 10) const;
  // Three files, a subfolder with a file and a nested folder with another.
  void FillTarget(const std::string& folder) const;
  bool IsEmptyFolder(const std::string& folder) const;
  void SetShellFolder(const char* valueName, const std::string& value);
  void DeleteShellFolder(const char* valueName);

  scratch::ScratchFolder root_;
  std::unique_ptr<TClassMainForm_25378D0> scheme_;

 private:
  struct SavedValue {
    const char* name;
    std::optional<std::string> value;
  };
  std::vector<SavedValue> saved_;
  std::string savedTmp_, savedTemp_;
};
