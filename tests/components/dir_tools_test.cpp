#include "dir_tools.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "component.h"
#include "dir.h"
#include "event.h"
#include "file_search.h"
#include "scratch_folder.h"
#include "text_conv.h"
#include "win_text.h"

namespace {

using scratch::Exists;
using scratch::Listed;
using scratch::ScratchFolder;

// Sits between the search and the deleter, noting every report on the way.
struct Tap : TKVComponent {
  std::vector<std::string> texts;
  TKV_Event onOut;
  void doTap(TData& data, uint16_t) {
    texts.push_back(data.text);
    TailPass(data, onOut);
  }
};

struct Recorder : TKVComponent {
  std::vector<TData> received;
  void doRecord(TData& data, uint16_t) { received.push_back(data); }
};

class DirTools : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    ASSERT_TRUE(scratch::MakeFolder(Tree()));
  }
  void TearDown() override { SetHooksIdle(); }

  [[nodiscard]] std::string Tree() const { return folder / "tree"; }
  [[nodiscard]] std::string Tree(const std::string& name) const { return Tree() + "\\" + name; }

  // A cleaning chain as the scheme joins it: search, deleter, something that
  // counts the deleter's onEnd.
  void Clean(uint16_t flagWord, uint8_t include = 2) {
    TKVFileSearch search;
    search.Mask = "*";
    search.FullName = 1;
    search.Include = include;
    search.Dir = Tree();
    TKVDirTools deleter;
    deleter.NoConfirmation = 1;
    deleter.NoErrorUI = 1;
    deleter.FilesOnly = (flagWord & FOF_FILESONLY) ? 1 : 0;
    ASSERT_EQ(deleter.FlagWord(), flagWord);
    search.onSearch = Link<&Tap::doTap>(&tap, 0);
    tap.onOut = Link<&TKVDirTools::doDelete>(&deleter, 2);
    deleter.onEnd = Link<&Recorder::doRecord>(&ends, 2);
    FireNull(Link<&TKVFileSearch::doSearch>(&search, 0));
  }

  void Delete(const std::string& path) {
    TKVDirTools deleter;
    deleter.NoConfirmation = 1;
    deleter.NoErrorUI = 1;
    deleter.onEnd = Link<&Recorder::doRecord>(&ends, 0);
    FireString(Link<&TKVDirTools::doDelete>(&deleter, 2), path);
  }

  [[nodiscard]] TData Size(const std::string& path) {
    TKVDirTools measurer;
    Recorder sizes;
    measurer.onEnd = Link<&Recorder::doRecord>(&sizes, 0);
    FireString(Link<&TKVDirTools::doSize>(&measurer, 3), path);
    EXPECT_EQ(sizes.received.size(), 1u);
    return sizes.received.empty() ? TData{} : sizes.received[0];
  }

  [[nodiscard]] bool TreeIsEmpty() const {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((Tree() + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    int count = 0;
    do {
      ++count;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count == 2;  // "." and ".."
  }

  ScratchFolder folder;
  Tap tap;
  Recorder ends;
};

TEST(DirToolsFlags, FlagWordIsTheSumOfTheSetProperties) {
  TKVDirTools tools;
  EXPECT_EQ(tools.FlagWord(), 0);
  tools.AllowUndo = tools.FilesOnly = tools.MultiDestFiles = tools.NoConfirmation = 1;
  tools.NoConfirmMkDir = tools.NoErrorUI = tools.RenameOnCollision = tools.Silent = 1;
  tools.SimpleProgress = 1;
  EXPECT_EQ(tools.FlagWord(), 0x40 | 0x80 | 0x1 | 0x10 | 0x200 | 0x400 | 0x8 | 0x4 | 0x100);
}

TEST_F(DirTools, CleaningDeletesASubfolderWholeOnItsFirstReport) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    ASSERT_TRUE(scratch::WriteFile(Tree(name), "x"));
  }
  ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
  ASSERT_TRUE(scratch::WriteFile(Tree("sub\\d.txt"), "x"));
  ASSERT_TRUE(scratch::WriteFile(folder / "beside.txt", "x"));
  Clean(0x410);
  std::sort(tap.texts.begin(), tap.texts.end());
  EXPECT_EQ(tap.texts,
            (std::vector<std::string>{Tree("a.txt"), Tree("b.txt"), Tree("c.txt"), Tree("sub")}));
  ASSERT_EQ(ends.received.size(), 4u);
  EXPECT_EQ(ends.received[0].type, dtNull);
  EXPECT_TRUE(TreeIsEmpty());
  EXPECT_TRUE(Exists(folder / "beside.txt"));
}

TEST_F(DirTools, FoldersOnlyCleaningWithFilesOnlyFlagDeletesTheFoldersAndKeepsLooseFiles) {
  ASSERT_TRUE(scratch::WriteFile(Tree("loose.txt"), "x"));
  ASSERT_TRUE(scratch::MakeFolder(Tree("one")));
  ASSERT_TRUE(scratch::WriteFile(Tree("one\\x.txt"), "x"));
  ASSERT_TRUE(scratch::MakeFolder(Tree("two")));
  ASSERT_TRUE(scratch::MakeFolder(Tree("two\\deep")));
  ASSERT_TRUE(scratch::WriteFile(Tree("two\\deep\\y.txt"), "x"));
  Clean(0x490, 1);
  EXPECT_EQ(ends.received.size(), 2u);
  EXPECT_FALSE(Exists(Tree("one")));
  EXPECT_FALSE(Exists(Tree("two")));
  EXPECT_TRUE(Exists(Tree("loose.txt")));
}

TEST_F(DirTools, FileInUseIsKeptWithoutOnEndAndTheWalkGoesOn) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    ASSERT_TRUE(scratch::WriteFile(Tree(name), "x"));
  }
  HANDLE held = CreateFileA(Tree("b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Clean(0x410);
  CloseHandle(held);
  EXPECT_EQ(tap.texts.size(), 3u);
  EXPECT_EQ(ends.received.size(), 2u);
  EXPECT_TRUE(Exists(Tree("b.txt")));
  EXPECT_FALSE(Exists(Tree("a.txt")));
  EXPECT_FALSE(Exists(Tree("c.txt")));
}

TEST_F(DirTools, DeleteFiresOnlyOnRealSuccess) {
  Delete(Tree("gone.txt"));
  Delete("");
  EXPECT_TRUE(ends.received.empty());
  ASSERT_TRUE(scratch::WriteFile(Tree("here.txt"), "x"));
  Delete(Tree("here.txt"));
  EXPECT_EQ(ends.received.size(), 1u);
  EXPECT_FALSE(Exists(Tree("here.txt")));
}

// Cut at 4096 bytes, this path would name the victim itself.
TEST_F(DirTools, OverlongPathDeletesNothing) {
  ASSERT_TRUE(scratch::WriteFile(Tree("victim"), "x"));
  std::string cut = Tree() + "\\";
  while (cut.size() + 2 + 6 <= kMaxDeletePath)
    cut += ".\\";
  cut += "victim";
  while (cut.size() < kMaxDeletePath)
    cut.insert(Tree().size() + 1, "\\");
  ASSERT_EQ(cut.size(), kMaxDeletePath);
  Delete(cut + "\\other");
  Delete(cut + std::string(10, ' '));
  EXPECT_TRUE(ends.received.empty());
  EXPECT_TRUE(Exists(Tree("victim")));
}

// Wine's shell walks through directory links and empties what they point to,
// and deleting a link to a file deletes the file: a link, and every folder
// holding one, stays; everything else goes.
TEST_F(DirTools, CleaningNeverReachesThroughALink) {
  for (const uint16_t flagWord : {uint16_t{0x410}, uint16_t{0x490}}) {
    SCOPED_TRACE(flagWord);
    ScratchFolder outside;
    ASSERT_TRUE(scratch::WriteFile(outside / "keep.txt", "0123456789"));
    ASSERT_TRUE(scratch::MakeFolder(outside / "deep"));
    ASSERT_TRUE(scratch::WriteFile(outside / "deep\\more.txt", "x"));
    ASSERT_TRUE(scratch::WriteFile(Tree("a.txt"), "abc"));
    ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
    ASSERT_TRUE(scratch::WriteFile(Tree("sub\\b.txt"), "de"));
    ASSERT_TRUE(scratch::MakeFolder(Tree("plain")));
    ASSERT_TRUE(scratch::WriteFile(Tree("plain\\c.txt"), "f"));
    const TData before = Size(Tree());
    ASSERT_TRUE(scratch::MakeLink(Tree("sub\\link"), outside.Path()));
    ASSERT_TRUE(scratch::MakeLink(Tree("top"), outside / "deep"));
    const TData after = Size(Tree());
    EXPECT_EQ(before.type, dtInteger);
    EXPECT_EQ(before.intValue, 6);
    EXPECT_EQ(after.type, dtInteger);
    EXPECT_EQ(after.intValue, 6);
    ASSERT_TRUE(scratch::MakeLink(Tree("file.txt"), outside / "keep.txt"));
    ASSERT_TRUE(scratch::MakeLink(Tree("plain\\more.txt"), outside / "deep\\more.txt"));

    tap.texts.clear();
    ends.received.clear();
    Clean(flagWord);
    EXPECT_TRUE(Exists(outside / "keep.txt"));
    EXPECT_TRUE(Exists(outside / "deep\\more.txt"));
    EXPECT_FALSE(Exists(Tree("a.txt")));
    EXPECT_FALSE(Exists(Tree("sub\\b.txt")));
    EXPECT_FALSE(Exists(Tree("plain\\c.txt")));
    EXPECT_TRUE(Listed(Tree("sub\\link")));
    EXPECT_TRUE(Listed(Tree("top")));
    EXPECT_TRUE(Listed(Tree("file.txt")));
    EXPECT_TRUE(Listed(Tree("plain\\more.txt")));
    EXPECT_NE(std::find(tap.texts.begin(), tap.texts.end(), Tree("sub\\link")), tap.texts.end());
    EXPECT_NE(std::find(tap.texts.begin(), tap.texts.end(), Tree("file.txt")), tap.texts.end());
    EXPECT_EQ(ends.received.size(), 3u);  // a.txt, plain\c.txt, sub\b.txt
    for (const char* link : {"sub\\link", "top", "file.txt", "plain\\more.txt"}) {
      ASSERT_TRUE(scratch::RemoveLink(Tree(link)));
    }
    scratch::RemoveTree(Tree());
    ASSERT_TRUE(scratch::MakeFolder(Tree()));
  }
}

// The deleter keeps the resolved path of the folder it last deleted in: the
// entries that come after are still each checked for being a link.
TEST_F(DirTools, ALinkMadeBesideAnEntryJustDeletedIsStillKept) {
  ScratchFolder outside;
  ASSERT_TRUE(scratch::WriteFile(outside / "keep.txt", "x"));
  ASSERT_TRUE(scratch::MakeFolder(outside / "deep"));
  ASSERT_TRUE(scratch::WriteFile(outside / "deep\\more.txt", "x"));
  ASSERT_TRUE(scratch::WriteFile(Tree("a.txt"), "x"));
  Delete(Tree("a.txt"));
  ASSERT_FALSE(Exists(Tree("a.txt")));
  ASSERT_TRUE(scratch::MakeLink(Tree("b.txt"), outside / "keep.txt"));
  ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
  ASSERT_TRUE(scratch::MakeLink(Tree("sub\\more.txt"), outside / "deep\\more.txt"));
  Delete(Tree("b.txt"));
  Delete(Tree("sub"));
  EXPECT_EQ(ends.received.size(), 1u);
  EXPECT_TRUE(Exists(outside / "keep.txt"));
  EXPECT_TRUE(Exists(outside / "deep\\more.txt"));
  EXPECT_TRUE(Listed(Tree("b.txt")));
  EXPECT_TRUE(Listed(Tree("sub\\more.txt")));
  for (const char* link : {"b.txt", "sub\\more.txt"}) {
    ASSERT_TRUE(scratch::RemoveLink(Tree(link)));
  }
}

// Wine's shell turns a path it cannot fit in MAX_PATH into an empty one, and
// deleting "" empties the current folder; a path that steps up with ".." would
// leave the folder it was found in.
TEST_F(DirTools, WhatTheShellCannotNameSafelyIsKept) {
  ScratchFolder current;
  ASSERT_TRUE(scratch::WriteFile(current / "keep.txt", "x"));
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));

  // A folder of 257 bytes holding a folder with a file: made on the Linux side, since the
  // ANSI calls stop short of it.
  const std::string base = Tree("long_edge");
  const std::string edge = std::string(257 - base.size() - 1, 'e');
  const std::string inner = scratch::UnixPath(base) + "/" + edge + "/inner";
  ASSERT_TRUE(scratch::RunLinux("Z:\\bin\\mkdir", "-p " + scratch::Quoted(inner)));
  ASSERT_TRUE(scratch::RunLinux("Z:\\bin\\touch", scratch::Quoted(inner + "/deep.bin")));
  Delete(base);
  ASSERT_TRUE(scratch::WriteFile(Tree("victim"), "x"));
  ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
  Delete(Tree("sub\\..\\victim"));
  Delete(Tree("sub/../victim"));

  SetCurrentDirectoryA(saved);
  EXPECT_TRUE(ends.received.empty());
  EXPECT_TRUE(Exists(current / "keep.txt"));
  EXPECT_TRUE(Listed(base));
  EXPECT_TRUE(Exists(Tree("victim")));
}

TEST_F(DirTools, LinkLoopEnds) {
  ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
  ASSERT_TRUE(scratch::WriteFile(Tree("sub\\b.txt"), "12345"));
  ASSERT_TRUE(scratch::MakeLink(Tree("sub\\loop"), Tree()));
  const TData size = Size(Tree());
  EXPECT_EQ(size.intValue, 5);
  Clean(0x410);
  EXPECT_FALSE(Exists(Tree("sub\\b.txt")));
  EXPECT_TRUE(Exists(folder / "tree"));
  EXPECT_TRUE(Listed(Tree("sub\\loop")));
}

TEST_F(DirTools, SizeIsAnIntegerBelowTwoGigabytesAndARealFromThere) {
  ASSERT_TRUE(scratch::MakeFolder(Tree("small")));
  ASSERT_TRUE(scratch::WriteFile(Tree("small\\ten.bin"), "0123456789"));
  const TData small = Size(Tree("small"));
  EXPECT_EQ(small.type, dtInteger);
  EXPECT_EQ(small.intValue, 10);

  // Files of the Linux-backed prefix are sparse: 3 GB cost no disk space.
  ASSERT_TRUE(scratch::MakeFolder(Tree("big")));
  HANDLE file = CreateFileA(Tree("big\\three.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = 3221225472LL;
  const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  ASSERT_TRUE(grown);
  const TData big = Size(Tree("big"));
  EXPECT_EQ(big.type, dtReal);
  EXPECT_EQ(big.realValue, 3221225472.0);
  EXPECT_EQ(TreeSize(Tree()), 3221225482ULL);

  const TData none = Size("");
  EXPECT_EQ(none.type, dtInteger);
  EXPECT_EQ(none.intValue, 0);
  const TData missing = Size(Tree("missing"));
  EXPECT_EQ(missing.type, dtInteger);
  EXPECT_EQ(missing.intValue, 0);
}

// The variable as it was set, never GetTempPath's answer: that makes a
// relative value absolute and falls back to the profile with both unset.
TEST(Dir, TempPathIsTmpOrTempAsSetAndEmptyWithoutThem) {
  SetHooksWorking();
  const std::wstring savedTmp = EnvironmentValue(L"TMP");
  const std::wstring savedTemp = EnvironmentValue(L"TEMP");
  const struct {
    const char* tmp;
    const char* temp;
    const char* path;
  } cases[] = {
      {"C:\\T", "C:\\U", "C:\\T\\"},    // TMP first
      {"C:\\T\\", nullptr, "C:\\T\\"},  // one backslash at the end, never two
      {"", "C:\\U", "C:\\U\\"},         // an empty TMP counts as unset
      {nullptr, "C:\\U", "C:\\U\\"},    // then TEMP
      {".", nullptr, ".\\"},            // relative, as set: the cleaner refuses it
      {"", "", ""},                     // no fallback to the profile
      {nullptr, nullptr, ""},           // nor to the Windows folder
      {"C:\\Темп\\Ωμέγα", nullptr, "C:\\Темп\\Ωμέγα\\"},  // beyond any one code page
  };
  TKVDir dir;
  for (const auto& c : cases) {
    SetEnvironmentVariableW(L"TMP", c.tmp ? ToWstr(c.tmp).c_str() : nullptr);
    SetEnvironmentVariableW(L"TEMP", c.temp ? ToWstr(c.temp).c_str() : nullptr);
    TData incoming;
    EXPECT_EQ(ReadString(incoming, Link<&TKVDir::TempPath>(&dir, 0), {}), c.path)
        << (c.tmp ? c.tmp : "(unset)") << " " << (c.temp ? c.temp : "(unset)");
  }
  SetEnvironmentVariableW(L"TMP", savedTmp.empty() ? nullptr : savedTmp.c_str());
  SetEnvironmentVariableW(L"TEMP", savedTemp.empty() ? nullptr : savedTemp.c_str());
  SetHooksIdle();
}

TEST(Dir, ChDirFiresWhetherOrNotTheFolderExists) {
  SetHooksWorking();
  char before[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof before, before);
  ScratchFolder folder;
  TKVDir dir;
  Recorder fired;
  dir.onChDir = Link<&Recorder::doRecord>(&fired, 0);
  const TKV_Event chDir = Link<&TKVDir::doChDir>(&dir, 0);

  FireString(chDir, folder.Path());
  char now[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof now, now);
  EXPECT_STREQ(now, folder.Path().c_str());
  FireString(chDir, folder / "missing");
  GetCurrentDirectoryA(sizeof now, now);
  EXPECT_STREQ(now, folder.Path().c_str());
  ASSERT_EQ(fired.received.size(), 2u);
  EXPECT_EQ(fired.received[1].type, dtNull);

  SetCurrentDirectoryA(before);
  SetHooksIdle();
}

}  // namespace
