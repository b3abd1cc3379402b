// A tree with a file more than 300 characters deep, beside names that no one
// code page holds, walked, measured and cleaned by the components joined as a
// cleaning chain joins them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dir_tools.h"
#include "file_search.h"
#include "hub.h"
#include "scratch_folder.h"
#include "text_conv.h"

namespace {

// The "\\?\" form: names no one code page holds, and paths past MAX_PATH.
std::wstring Verbatim(const std::string& path) {
  return L"\\\\?\\" + ToWstr(path);
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the search reports and what the deleter deleted.
struct Sink : TKVComponent {
  std::vector<std::string> reports;
  int deleted = 0;
  void doReport(TData& data, uint16_t) { reports.push_back(data.text); }
  void doDeleted(TData&, uint16_t) { ++deleted; }
};

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

// Two short folders with a file each, beside the deep branch.
struct ShortNames {
  const char* folders[2];
  const char* files[2];
};

class WideTree : public ::testing::TestWithParam<ShortNames> {
 protected:
  // 15 bytes in all, 10 of them deep.
  void SetUp() override {
    const ShortNames& names = GetParam();
    // Wine keeps a name on the Linux side in the charset of the locale it was
    // started in, and cannot make one that charset cannot spell: under a locale
    // that is not installed (ru_RU.CP1251 here) that is every name beyond ASCII.
    if (!CreateDirectoryW(Verbatim(folder / names.folders[0]).c_str(), nullptr)) {
      GTEST_SKIP() << "this Wine session cannot keep such names on disk; C.UTF-8 can";
    }
    made.push_back(folder / names.folders[0]);
    MakeFile(names.files[0], "abc");
    MakeFolder(names.folders[1]);
    MakeFile(names.files[1], "de");
    std::string deep = "deep";
    MakeFolder(deep);
    for (int level = 0; ToWstr(folder / deep).size() <= 300; ++level) {
      deep += "\\level_" + std::to_string(level) + std::string(40, 'x');
      MakeFolder(deep);
    }
    deepFile = folder / (deep + "\\bottom.bin");
    MakeFile(deep + "\\bottom.bin", "0123456789");
    SetHooksWorking();
  }
  void TearDown() override { SetHooksIdle(); }

  void MakeFolder(const std::string& name) {
    ASSERT_TRUE(CreateDirectoryW(Verbatim(folder / name).c_str(), nullptr)) << name;
    made.push_back(folder / name);
  }
  // Written under a plain name, then given its own.
  void MakeFile(const std::string& name, const std::string& content) {
    ASSERT_TRUE(scratch::WriteFile(folder / "staged", content));
    ASSERT_TRUE(MoveFileW(ToWstr(folder / "staged").c_str(), Verbatim(folder / name).c_str()))
        << name;
    made.push_back(folder / name);
  }

  // Every report goes to the sink and, through the hub, on to the deleter
  // when there is one. Answers the match count.
  int32_t Search(TKVDirTools* deleter = nullptr) {
    TKVFileSearch search;
    search.Mask = "*";
    search.FullName = 1;
    search.Include = 2;
    search.Dir = folder.Path();
    TKVHub hub;
    hub.SetOutCount(2);
    search.onSearch = Link<&TKVHub::doEvent>(&hub, 0);
    hub.onEvent[0] = Link<&Sink::doReport>(&sink, 0);
    if (deleter) {
      hub.onEvent[1] = Link<&TKVDirTools::doDelete>(deleter, 2);
      deleter->onEnd = Link<&Sink::doDeleted>(&sink, 0);
    }
    FireNull(Link<&TKVFileSearch::doSearch>(&search, 0));
    return search.MatchCount();
  }

  scratch::ScratchFolder folder;
  std::vector<std::string> made;
  std::string deepFile;
  Sink sink;
};

TEST_P(WideTree, EveryEntryIsReportedByItsWholePathAndMeasured) {
  EXPECT_EQ(Search(), 3);
  EXPECT_EQ(Sorted(sink.reports), Sorted(made));
  EXPECT_GT(ToWstr(deepFile).size(), 300u);
  EXPECT_NE(std::find(sink.reports.begin(), sink.reports.end(), deepFile), sink.reports.end());
  EXPECT_EQ(TreeSize(folder.Path()), 15u);
  EXPECT_EQ(TreeSize(folder / GetParam().folders[1]), 2u);
}

// The shell cannot name the deep file: its branch stays whole and is still
// measured, while the short names go.
TEST_P(WideTree, CleaningDeletesTheShortNamesAndKeepsTheDeepBranchWhole) {
  TKVDirTools deleter;
  deleter.NoConfirmation = 1;
  deleter.NoErrorUI = 1;
  // A folder deleted on its report is not walked: only the deep file is counted.
  EXPECT_EQ(Search(&deleter), 1);
  EXPECT_EQ(sink.deleted, 2);
  for (const char* name : GetParam().folders) {
    EXPECT_FALSE(Exists(folder / name)) << name;
  }
  EXPECT_TRUE(Exists(deepFile));
  EXPECT_EQ(TreeSize(folder.Path()), 10u);
}

INSTANTIATE_TEST_SUITE_P(
    Names, WideTree,
    ::testing::Values(ShortNames{{"short", "other"}, {"short\\a.txt", "other\\b.bin"}},
                      ShortNames{{"Кэш", "Ωμέγα"}, {"Кэш\\файл.txt", "Ωμέγα\\数据.bin"}}));

}  // namespace
