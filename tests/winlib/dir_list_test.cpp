#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "dir_list.h"
#include "text_conv.h"

namespace {

using Names = std::vector<std::string>;

constexpr const char* kFiles[] = {"a.txt", "b.TMP", "c.log", "noext"};
constexpr const char* kDirs[] = {"sub1", "sub2.d"};

// Made and removed through the "\\?\" form, so a test can go past MAX_PATH.
std::wstring LongWide(const std::string& path) {
  return L"\\\\?\\" + ToWstr(path);
}

// A scratch folder under the prefix's temp path with a few files and
// subdirectories; everything made is removed again after each test.
class DirListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder = ToUtf8(temp) + "brumix_dir_list_test";
    MakeFolder(folder);
    for (const char* name : kFiles)
      MakeFile(folder + "\\" + name);
    for (const char* name : kDirs)
      MakeFolder(folder + "\\" + name);
    list = NewDirList();
  }
  void TearDown() override {
    list->Free();
    // Last made first: what a folder holds goes before the folder.
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
      const std::wstring path = LongWide(it->first);
      if (it->second) {
        RemoveDirectoryW(path.c_str());
      } else {
        DeleteFileW(path.c_str());
      }
    }
  }

  void MakeFolder(const std::string& path) {
    const bool madeNow = CreateDirectoryW(LongWide(path).c_str(), nullptr);
    ASSERT_TRUE(madeNow || GetLastError() == ERROR_ALREADY_EXISTS);
    made.emplace_back(path, true);
  }
  // False when the system cannot name the file.
  bool TryMakeFile(const std::string& path, DWORD size = 0) {
    const HANDLE file = CreateFileW(LongWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::string bytes(size, 'x');
    DWORD written = 0;
    WriteFile(file, bytes.data(), size, &written, nullptr);
    CloseHandle(file);
    made.emplace_back(path, false);
    return true;
  }
  void MakeFile(const std::string& path) { ASSERT_TRUE(TryMakeFile(path)); }

  Names ScanIn(const std::string& path, std::string_view mask, DWORD wanted) {
    list->ScanDirectory(path, mask, wanted);
    Names names;
    for (int32_t i = 0; i < list->EntryCount(); ++i)
      names.push_back(list->Entry(i)->Name);
    return names;
  }
  Names Scan(std::string_view mask, DWORD wanted) { return ScanIn(folder, mask, wanted); }

  static Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder;
  TDirList* list = nullptr;
  std::vector<std::pair<std::string, bool>> made;  // path, is a folder
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
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(ToWstr(folder + "\\*.*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    const std::string name = ToUtf8(found.cFileName);
    if (name != "." && name != "..") system.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(Scan("*", 0x80), system);
}

TEST_F(DirListTest, DirectoriesPlusMaskListsEverySubdirectory) {
  EXPECT_EQ(Sorted(Scan("*.txt", 0x90)), (Names{"a.txt", "sub1", "sub2.d"}));
  EXPECT_EQ(Sorted(Scan("nothing", 0x90)), (Names{"sub1", "sub2.d"}));
  const TDirEntry* first = list->Entry(0);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Attributes & FILE_ATTRIBUTE_DIRECTORY);
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

TEST_F(DirListTest, NamesBeyondTheCodePageMatchAndComeBackAsUtf8) {
  // Wine names a file on the Unix side in the Unix locale's character set:
  // under a locale that is not installed (ru_RU.CP1251 and en_US.UTF-8 here)
  // that is ASCII, and only an installed UTF-8 one (C.UTF-8) can hold these.
  if (!TryMakeFile(folder + "\\Ωμέγα.txt", 5) || !TryMakeFile(folder + "\\日本.TMP")) {
    GTEST_SKIP() << "this Wine session cannot name files beyond ASCII";
  }
  const struct {
    const char* mask;
    Names names;
  } cases[] = {
      {"ωμέγα.*", {"Ωμέγα.txt"}},  // without case beyond ASCII too
      {"??.tmp", {"日本.TMP"}},    // "?" is a character, not a byte
      {"*.txt", {"a.txt", "Ωμέγα.txt"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sorted(Scan(c.mask, 0x80)), c.names) << c.mask;
  }
  Scan("Ωμέγα.txt", 0x80);
  ASSERT_EQ(list->EntryCount(), 1);
  EXPECT_EQ(list->Entry(0)->Size, 5u);
}

// Wine would list it by the plain name too; Windows only through "\\?\".
TEST_F(DirListTest, AFolderPastMaxPathIsListedWhole) {
  std::string deep = folder;
  while (ToWstr(deep).size() < MAX_PATH + 20)
    MakeFolder(deep += "\\" + std::string(40, 'd'));
  MakeFile(deep + "\\file.txt");
  MakeFile(deep + "\\noext");
  EXPECT_EQ(Sorted(ScanIn(deep, "*", 0x80)), (Names{"file.txt", "noext"}));
  EXPECT_EQ(list->Path, deep + "\\");
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
  EXPECT_TRUE(MatchesMask("日本", "??"));
  EXPECT_FALSE(MatchesMask("日本", "???"));
  EXPECT_TRUE(MatchesMask("x😀y", "x?y"));
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
