#include "file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "component.h"
#include "event.h"
#include "scratch_folder.h"

namespace {

using scratch::ScratchFolder;

// Takes what the search fires and answers its data inputs.
struct Listener : TKVComponent {
  std::vector<std::string> reports;
  std::vector<std::string> others;
  std::vector<TData> ends;
  std::string maskAnswer;

  void doReport(TData& data, uint16_t) { reports.push_back(data.text); }
  void doOther(TData& data, uint16_t) { others.push_back(data.text); }
  void doEnd(TData& data, uint16_t) { ends.push_back(data); }
  void MaskValue(TData& data, uint16_t) { SetString(data, maskAnswer); }
};

class FileSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    search.Mask = "*";
    search.FullName = 1;
    search.Include = 2;
    search.onSearch = Link<&Listener::doReport>(&listener, 0);
    search.onOtherFiles = Link<&Listener::doOther>(&listener, 0);
    search.onEndSearch = Link<&Listener::doEnd>(&listener, 0);
  }
  void TearDown() override { SetHooksIdle(); }

  // Three files, and a subfolder holding two more.
  void MakeTree() {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      ASSERT_TRUE(scratch::WriteFile(folder / name, "x"));
    }
    ASSERT_TRUE(scratch::MakeFolder(folder / "sub"));
    ASSERT_TRUE(scratch::WriteFile(folder / "sub\\d.txt", "x"));
    ASSERT_TRUE(scratch::WriteFile(folder / "sub\\e.txt", "x"));
  }

  void Search() { FireNull(Link<&TKVFileSearch::doSearch>(&search, 0)); }

  [[nodiscard]] std::vector<std::string> Sorted(std::vector<std::string> texts) const {
    std::sort(texts.begin(), texts.end());
    return texts;
  }
  [[nodiscard]] size_t Position(const std::string& text) const {
    return std::find(listener.reports.begin(), listener.reports.end(), text) -
           listener.reports.begin();
  }
  [[nodiscard]] int32_t EndCount() const {
    EXPECT_EQ(listener.ends.size(), 1u);
    if (listener.ends.empty()) return -1;
    EXPECT_EQ(listener.ends[0].type, dtInteger);
    return listener.ends[0].intValue;
  }

  ScratchFolder folder;
  TKVFileSearch search;
  Listener listener;
};

TEST_F(FileSearch, ReportsSixEntriesFolderBeforeItsFilesAndCountsFive) {
  MakeTree();
  search.Dir = folder.Path();
  Search();
  const std::vector<std::string> expected = {folder / "a.txt",      folder / "b.txt",
                                             folder / "c.txt",      folder / "sub",
                                             folder / "sub\\d.txt", folder / "sub\\e.txt"};
  EXPECT_EQ(Sorted(listener.reports), expected);
  EXPECT_LT(Position(folder / "sub"), Position(folder / "sub\\d.txt"));
  EXPECT_LT(Position(folder / "sub"), Position(folder / "sub\\e.txt"));
  EXPECT_EQ(EndCount(), 5);
  EXPECT_EQ(search.MatchCount(), 5);
  EXPECT_TRUE(listener.others.empty());
}

TEST_F(FileSearch, FoldersOnlyReportsFoldersButStillCountsFiles) {
  MakeTree();
  search.Dir = folder.Path();
  search.Include = 1;
  Search();
  EXPECT_EQ(listener.reports, std::vector<std::string>{folder / "sub"});
  EXPECT_EQ(EndCount(), 5);
}

TEST_F(FileSearch, FilesOnlyAndStayingInTheFolder) {
  MakeTree();
  search.Dir = folder.Path();
  search.Include = 0;
  search.SearchSubDirs = 1;
  search.FullName = 0;
  Search();
  EXPECT_EQ(Sorted(listener.reports), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(EndCount(), 3);
}

TEST_F(FileSearch, FolderWithAndWithoutTrailingBackslashWalksAlike) {
  MakeTree();
  search.Dir = folder.Path();
  Search();
  const std::vector<std::string> plain = Sorted(listener.reports);
  listener.reports.clear();
  search.Dir = folder.Path() + "\\";
  Search();
  EXPECT_EQ(Sorted(listener.reports), plain);
  ASSERT_EQ(plain.size(), 6u);
  for (const std::string& report : plain) {
    EXPECT_EQ(report.rfind(folder.Path() + "\\", 0), 0u) << report;
    EXPECT_EQ(report.find("\\\\"), std::string::npos) << report;
  }
}

TEST_F(FileSearch, MaskFromItsInputIsCaseInsensitive) {
  for (const char* name : {"a.tmp", "B.Tmp", "c.txt"}) {
    ASSERT_TRUE(scratch::WriteFile(folder / name, "x"));
  }
  search.Dir = folder.Path();
  listener.maskAnswer = "*.TMP";
  search.MaskLink = Link<&Listener::MaskValue>(&listener, 0);
  Search();
  EXPECT_EQ(Sorted(listener.reports),
            (std::vector<std::string>{folder / "B.Tmp", folder / "a.tmp"}));
  EXPECT_EQ(listener.others, std::vector<std::string>{folder / "c.txt"});
  EXPECT_EQ(EndCount(), 2);
}

TEST_F(FileSearch, HashStandsForOneDigit) {
  for (const char* name : {"log1.txt", "logA.txt", "log12.txt"}) {
    ASSERT_TRUE(scratch::WriteFile(folder / name, "x"));
  }
  search.Dir = folder.Path();
  search.Mask = "log#.txt";
  Search();
  EXPECT_EQ(listener.reports, std::vector<std::string>{folder / "log1.txt"});
  EXPECT_EQ(Sorted(listener.others),
            (std::vector<std::string>{folder / "log12.txt", folder / "logA.txt"}));
  EXPECT_EQ(EndCount(), 1);
}

TEST(MaskMatches, WildcardRules) {
  EXPECT_TRUE(MaskMatches("*", ""));
  EXPECT_TRUE(MaskMatches("a*", "a"));
  EXPECT_TRUE(MaskMatches("*.txt", "x.y.txt"));
  EXPECT_FALSE(MaskMatches("*.txt", "x.txt.bak"));
  EXPECT_TRUE(MaskMatches("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(MaskMatches("a?", "a"));
  EXPECT_TRUE(MaskMatches("a?", "ab"));
  EXPECT_FALSE(MaskMatches("log#", "logx"));
  EXPECT_TRUE(MaskMatches("*#", "v2"));
  EXPECT_FALSE(MaskMatches("abc", "ab"));
}

// With both inputs unlinked and both properties empty, the chain that came
// with the event gives the folder first, then the mask.
TEST_F(FileSearch, IncomingChainGivesFolderThenMask) {
  for (const char* name : {"keep.log", "skip.txt"}) {
    ASSERT_TRUE(scratch::WriteFile(folder / name, "x"));
  }
  search.Mask.clear();
  TData maskElement;
  SetString(maskElement, "*.log");
  TData data;
  SetString(data, folder.Path());
  data.next = &maskElement;
  FireData(Link<&TKVFileSearch::doSearch>(&search, 0), data);
  EXPECT_EQ(listener.reports, std::vector<std::string>{folder / "keep.log"});
  EXPECT_EQ(EndCount(), 1);
}

TEST_F(FileSearch, EmptyFolderTextFiresNothingAtAll) {
  MakeTree();
  Search();
  EXPECT_TRUE(listener.reports.empty());
  EXPECT_TRUE(listener.ends.empty());
}

TEST_F(FileSearch, MissingFolderContributesNothingButEndsWithZero) {
  search.Dir = folder / "no such folder";
  Search();
  EXPECT_TRUE(listener.reports.empty());
  EXPECT_EQ(EndCount(), 0);
}

TEST_F(FileSearch, LinkedFolderIsReportedButNeverEntered) {
  MakeTree();
  ScratchFolder outside;
  ASSERT_TRUE(scratch::WriteFile(outside / "far.txt", "x"));
  ASSERT_TRUE(scratch::MakeLink(folder / "sub\\out", outside.Path()));
  ASSERT_TRUE(scratch::MakeLink(folder / "sub\\loop", folder.Path()));
  search.Dir = folder.Path();
  Search();
  EXPECT_EQ(Sorted(listener.reports),
            (std::vector<std::string>{folder / "a.txt", folder / "b.txt", folder / "c.txt",
                                      folder / "sub", folder / "sub\\d.txt", folder / "sub\\e.txt",
                                      folder / "sub\\loop", folder / "sub\\out"}));
  EXPECT_EQ(EndCount(), 5);
  EXPECT_TRUE(scratch::RemoveLink(folder / "sub\\out"));
}

}  // namespace
