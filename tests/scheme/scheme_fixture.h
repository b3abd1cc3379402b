// The real scheme, its window shown, over real folders: every target folder of the cleaner lives
// in a scratch tree, found through the prefix's own registry values and the
// temporary path, which the fixture points there and puts back afterwards.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "event.h"
#include "long_work.h"
#include "scheme.h"
#include "target_tree.h"

using Target = CleaningTarget;

class SchemeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCommonControls(); }
  void SetUp() override;
  void TearDown() override;

  // As a user would: BM_CLICK on the component's window.
  // Back from the click, as the loop would be: the press's work is over.
  static void Click(TKVWin* button) {
    SendMessageA(button->Control->Handle, BM_CLICK, 0, 0);
    EndLongWork();
  }
  // What the status bar shows: its simple text, or part 0 once it has left simple mode.
  std::string StatusText() const;
  // The end of the message loop frees the application object, and every
  // window control with it, before the scheme frees the components.
  static void FreeApplication();

  // A target folder by the cleaner's own sub-paths.
  std::string TempFolder() const { return tree_->Folder("temp"); }
  std::string IEFolder() const { return tree_->Folder("ie"); }
  std::string BelowLocal(const std::string& subPath) const {
    return tree_->LocalAppData() + "\\" + subPath;
  }
  std::string Outside() const { return tree_->Outside(); }
  const std::vector<Target>& Targets() const { return tree_->Targets(); }

  void MakeFolders(const std::string& path) const { ASSERT_TRUE(tree_->MakeFolders(path)) << path; }
  // A file of that many bytes (sparse: no data is written).
  static void MakeFile(const std::string& path, uint64_t size = 10) {
    ASSERT_TRUE(TargetTree::MakeFile(path, size)) << path;
  }
  // Three files, a subfolder with a file and a nested folder with another.
  void FillTarget(const std::string& folder) const;
  static bool IsEmptyFolder(const std::string& folder) { return TargetTree::IsEmptyFolder(folder); }

  std::unique_ptr<TargetTree> tree_;
  std::unique_ptr<TClassMainForm_25378D0> scheme_;
};
