#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "dir_list.h"

namespace {

using Names = std::vector<std::string>;

constexpr const char* kFiles[] = {"a.txt", "b.TMP", "c.log", "noext"};
constexpr const char* kDirs[] = {"sub1", "sub2.d"};

// A scratch folder under the prefix's temp path with a few files and
// subdirectories, removed again after each test.
class DirListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    folder = std::string(temp) + "brumix_dir_list_test";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : kFiles) {
      const HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      CloseHandle(file);
    }
    for (const char* name : kDirs)
      CreateDirectoryA((folder + "\\" + name).c_str(), nullptr);
    list = NewDirList();
  }
  void TearDown() override {
    list->Free();
    for (const char* name : kFiles)
      DeleteFileA((folder + "\\" + name).c_str());
    for (const char* name : kDirs)
      RemoveDirectoryA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
  }

  Names Scan(std::string_view mask, DWORD wanted) {
    list->ScanDirectory(folder, mask, wanted);
    Names names;
    for (int32_t i = 0; i < list->EntryCount(); ++i)
      names.emplace_back(list->Entry(i)->cFileName);
    return names;
  }

  static Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder;
  TDirList* list = nullptr;
};

}  // namespace

TEST_F(DirListTest, StarDotStarWithAnyEntryListsAllButDots) {
  EXPECT_EQ(Sorted(Scan("*.*", 0x80)),
            (Names{"a.txt", "b.TMP", "c.log", "noext", "sub1", "sub2.d"}));
  EXPECT_EQ(list->Path, folder + "\\");
  EXPECT_EQ(list->Masks, nullptr);
  // Same with an empty mask and with a path that already ends in a backslash.
  EXPECT_EQ(Sorted(Scan("", 0x80)).size(), 6u);
  list->ScanDirectory(folder + "\\", "*", 0x80);
  EXPECT_EQ(list->EntryCount(), 6);
  EXPECT_EQ(list->Path, folder + "\\");
}

TEST_F(DirListTest, EntriesKeepTheSystemsOrder) {
  Names system;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") system.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(Scan("*", 0x80), system);
}

TEST_F(DirListTest, DirectoriesPlusMaskListsEverySubdirectory) {
  EXPECT_EQ(Sorted(Scan("*.txt", 0x90)), (Names{"a.txt", "sub1", "sub2.d"}));
  EXPECT_EQ(Sorted(Scan("nothing", 0x90)), (Names{"sub1", "sub2.d"}));
  const WIN32_FIND_DATAA* first = list->Entry(0);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(list->Entry(2), nullptr);
  EXPECT_EQ(list->Entry(-1), nullptr);
}

TEST_F(DirListTest, DirectoryBitAloneListsOnlyDirectoriesThroughMasks) {
  EXPECT_EQ(Sorted(Scan("*", 0x10)), (Names{"sub1", "sub2.d"}));
  EXPECT_EQ(Scan("*.d", 0x10), (Names{"sub2.d"}));
}

TEST_F(DirListTest, ExclusionMaskDropsOnlyItsExtension) {
  EXPECT_EQ(Sorted(Scan("^*.tmp", 0x80)), (Names{"a.txt", "c.log", "noext", "sub1", "sub2.d"}));
}

TEST_F(DirListTest, PlainMasksMatchWithoutCase) {
  EXPECT_EQ(Scan("B.tmp", 0x80), (Names{"b.TMP"}));
  EXPECT_EQ(Sorted(Scan("?.*", 0x80)), (Names{"a.txt", "b.TMP", "c.log"}));
  // "*.*" as a mask of ours means every name; other dotted masks need a dot.
  EXPECT_EQ(Sorted(Scan("*.??*", 0x80)), (Names{"a.txt", "b.TMP", "c.log"}));
}

TEST_F(DirListTest, DotEntriesOnlyThroughTheirOwnMasks) {
  EXPECT_EQ(Scan(".", 0x80), (Names{"."}));
  EXPECT_EQ(Sorted(Scan("..", 0x90)), (Names{"..", "sub1", "sub2.d"}));
}

TEST_F(DirListTest, MaskCannotReachAnotherFolder) {
  EXPECT_TRUE(Scan("..\\*", 0x80).empty());
  EXPECT_TRUE(Scan("sub1\\*", 0x80).empty());
}

TEST_F(DirListTest, MissingOrEmptyPathListsNothing) {
  EXPECT_EQ(Scan("*.*", 0x80).size(), 6u);
  list->ScanDirectory(folder + "\\no_such_folder", "*.*", 0x80);
  EXPECT_EQ(list->EntryCount(), 0);
  ASSERT_NE(list->Entries, nullptr);
  list->ScanDirectory("", "*", 0x80);
  EXPECT_EQ(list->EntryCount(), 0);
  list->ClearEntries();
  EXPECT_EQ(list->Entries, nullptr);
  EXPECT_EQ(list->EntryCount(), 0);
}

TEST(MatchesMask, StarsQuestionMarksAndCase) {
  EXPECT_TRUE(MatchesMask("anything", "*"));
  EXPECT_TRUE(MatchesMask("", "*"));
  EXPECT_TRUE(MatchesMask("a.b", "*.*"));
  EXPECT_FALSE(MatchesMask("noext", "*.*"));
  EXPECT_TRUE(MatchesMask("ab", "a*b"));
  EXPECT_TRUE(MatchesMask("aXYZb", "a*b"));
  EXPECT_FALSE(MatchesMask("aXYZbc", "a*b"));
  EXPECT_TRUE(MatchesMask("abcbd", "a*b?"));
  EXPECT_TRUE(MatchesMask("README.TXT", "readme.t?t"));
  EXPECT_TRUE(MatchesMask("Файл.TMP", "файл.tmp"));
  EXPECT_FALSE(MatchesMask("abc", "ab"));
  EXPECT_FALSE(MatchesMask("ab", "abc"));
  EXPECT_FALSE(MatchesMask("a", "a?"));
  EXPECT_TRUE(MatchesMask("a", "a***"));
  EXPECT_TRUE(MatchesMask("", ""));
  EXPECT_FALSE(MatchesMask("x", ""));
}

TEST(MatchesMask, PathologicalMasksStayBounded) {
  // Ten thousand "*a" then "b" against a run of a's: a backtracking matcher
  // would try an astronomic number of splits or run out of stack.
  std::string mask;
  for (int i = 0; i < 10000; ++i)
    mask += "*a";
  EXPECT_FALSE(MatchesMask(std::string(3000, 'a'), mask + "b"));
  EXPECT_TRUE(MatchesMask(std::string(20000, 'a'), mask));
  EXPECT_TRUE(MatchesMask("x", std::string(200000, '*') + "x"));
  EXPECT_FALSE(MatchesMask("y", std::string(200000, '*') + "x"));
}
