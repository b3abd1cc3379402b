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
#include "tree_listing.h"
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
 public:
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

  TDeleteTally Delete(const std::string& path, uint8_t filesOnly = 0) {
    TKVDirTools deleter;
    deleter.NoConfirmation = 1;
    deleter.NoErrorUI = 1;
    deleter.FilesOnly = filesOnly;
    deleter.onEnd = Link<&Recorder::doRecord>(&ends, 0);
    FireString(Link<&TKVDirTools::doDelete>(&deleter, 2), path);
    return deleter.Tally;
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
  ScratchFolder outside;
  HANDLE held = INVALID_HANDLE_VALUE;
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

// A path that steps up with ".." or reads "/" as a step would leave the
// folder it was found in; a drive root is never deleted.
TEST_F(DirTools, PathsThatDoNotReadPlainlyDeleteNothing) {
  ASSERT_TRUE(scratch::WriteFile(Tree("victim"), "x"));
  ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
  Delete(Tree("sub\\..\\victim"));
  Delete(Tree("sub/../victim"));
  Delete(Tree("sub\\*\\victim"));
  Delete(Tree().substr(0, 3));
  EXPECT_TRUE(ends.received.empty());
  EXPECT_TRUE(Exists(Tree("victim")));
}

struct EngineCase {
  const char* what;
  // Makes its entries below the tree and says what to delete.
  std::string (*make)(DirTools& test);
  uint8_t filesOnly;
  std::vector<std::string> left;  // below the tree, afterwards
  size_t ends;
  TDeleteTally tally;
};

// Eight folders of 40 characters: past 300 whatever the tree's own path.
std::string DeepFile(const std::string& top) {
  std::string path = top;
  for (int level = 0; level < 8; ++level)
    path += "\\" + std::string(40, 'd');
  return path + "\\deep.bin";
}

const EngineCase kEngineCases[] = {
    {"read-only, hidden and system files go",
     [](DirTools& t) {
       for (const char* name : {"ro", "ro\\r.txt", "ro\\h.txt", "ro\\s.txt"}) {
         EXPECT_TRUE(name[2] ? scratch::WriteFile(t.Tree(name), "12") : scratch::MakeFolder(t.Tree(name)));
       }
       SetFileAttributesW(ToWstr(t.Tree("ro\\r.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
       SetFileAttributesW(ToWstr(t.Tree("ro\\h.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
       SetFileAttributesW(ToWstr(t.Tree("ro\\s.txt")).c_str(), FILE_ATTRIBUTE_SYSTEM);
       SetFileAttributesW(ToWstr(t.Tree("ro")).c_str(), FILE_ATTRIBUTE_READONLY);
       return t.Tree("ro");
     },
     0, {}, 1, {4, 6, 0, 0, 0}},
    {"a path past 300 characters goes",
     [](DirTools& t) {
       EXPECT_TRUE(MakeFileAnyLength(DeepFile(t.Tree("deep")), 7));
       return t.Tree("deep");
     },
     0, {}, 1, {10, 7, 0, 0, 0}},
    {"a held file alone stays, and the folder that holds it",
     [](DirTools& t) {
       EXPECT_TRUE(scratch::MakeFolder(t.Tree("held")) && scratch::MakeFolder(t.Tree("held\\sub")));
       for (const char* name : {"held\\a.txt", "held\\b.txt", "held\\sub\\c.txt"})
         EXPECT_TRUE(scratch::WriteFile(t.Tree(name), "x"));
       t.held = CreateFileW(ToWstr(t.Tree("held\\b.txt")).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
       return t.Tree("held");
     },
     0, {"held", "held\\b.txt"}, 0, {3, 2, 1, 0, 0}},
    {"a wildcard with FilesOnly deletes the matching files only",
     [](DirTools& t) {
       EXPECT_TRUE(scratch::MakeFolder(t.Tree("w")) && scratch::MakeFolder(t.Tree("w\\c.tmp")));
       for (const char* name : {"w\\a.tmp", "w\\b.log", "w\\c.tmp\\d.tmp"})
         EXPECT_TRUE(scratch::WriteFile(t.Tree(name), "x"));
       return t.Tree("w\\*.tmp");
     },
     1, {"w", "w\\b.log", "w\\c.tmp", "w\\c.tmp\\d.tmp"}, 1, {1, 1, 0, 0, 0}},
    {"a folder that holds the user's folders is never deleted",
     [](DirTools& t) {
       EXPECT_TRUE(scratch::WriteFile(t.Tree("kept.txt"), "x"));
       // The profile: the scratch folder is made in its Temp.
       return ToUtf8(FullPath(ToWstr(t.Tree() + "\\..\\..\\..")));
     },
     0, {"kept.txt"}, 0, {0, 0, 0, 0, 1}},
    {"links made on the Linux side stay, and what they lead to",
     [](DirTools& t) {
       EXPECT_TRUE(scratch::MakeFolder(t.Tree("links")) && scratch::WriteFile(t.Tree("links\\a.txt"), "x"));
       EXPECT_TRUE(scratch::MakeLink(t.Tree("links\\dir"), t.outside.Path()));
       EXPECT_TRUE(scratch::MakeLink(t.Tree("links\\file.txt"), t.outside / "keep.txt"));
       return t.Tree("links");
     },
     0, {"links", "links\\dir", "links\\file.txt"}, 0, {1, 1, 0, 2, 0}},
};

std::vector<std::string> ListedBelow(const std::string& folder, const std::string& below = "") {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(AnyLengthPath(ToWstr(folder + "\\*")).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = below + ToUtf8(entry.cFileName);
    if (name.ends_with(".")) continue;
    names.push_back(name);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      const auto inner = ListedBelow(folder + "\\" + ToUtf8(entry.cFileName), name + "\\");
      names.insert(names.end(), inner.begin(), inner.end());
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(DirTools, TheEngineDeletesWhatIsSafeKeepsTheRestAndTalliesBoth) {
  for (const EngineCase& c : kEngineCases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(scratch::WriteFile(outside / "keep.txt", "outside"));
    ends.received.clear();
    const TDeleteTally tally = Delete(c.make(*this), c.filesOnly);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ListedBelow(Tree()), c.left);
    EXPECT_EQ(ends.received.size(), c.ends);
    EXPECT_EQ(tally.deleted, c.tally.deleted);
    EXPECT_EQ(tally.bytes, c.tally.bytes);
    EXPECT_EQ(tally.inUse, c.tally.inUse);
    EXPECT_EQ(tally.links, c.tally.links);
    EXPECT_EQ(tally.failed, c.tally.failed);
    EXPECT_EQ(ListedBelow(outside.Path()), std::vector<std::string>{"keep.txt"});
    // Deleting it on this side would delete what it leads to.
    if (Listed(Tree("links\\file.txt"))) {
      ASSERT_TRUE(scratch::RemoveLink(Tree("links\\file.txt")));
    }
    scratch::RemoveTree(Tree());
    ASSERT_TRUE(scratch::MakeFolder(Tree()));
  }
}

// A link counts nothing, a link to a file too (under Wine it lists as the file).
TEST_F(DirTools, LinksCountNothingAndALinkLoopEnds) {
  ASSERT_TRUE(scratch::MakeFolder(Tree("sub")));
  ASSERT_TRUE(scratch::WriteFile(Tree("sub\\b.txt"), "12345"));
  ASSERT_TRUE(scratch::WriteFile(outside / "keep.txt", "outside"));
  ASSERT_TRUE(scratch::MakeLink(Tree("sub\\loop"), Tree()));
  ASSERT_TRUE(scratch::MakeLink(Tree("sub\\file.txt"), outside / "keep.txt"));
  const TData size = Size(Tree());
  EXPECT_EQ(size.intValue, 5);
  Clean(0x410);
  EXPECT_FALSE(Exists(Tree("sub\\b.txt")));
  EXPECT_TRUE(Exists(folder / "tree"));
  EXPECT_TRUE(Listed(Tree("sub\\loop")));
  EXPECT_TRUE(Listed(Tree("sub\\file.txt")));
  EXPECT_TRUE(Exists(outside / "keep.txt"));
  EXPECT_EQ(Size(Tree()).intValue, 0);
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
