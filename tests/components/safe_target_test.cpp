#include "safe_target.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "scratch_folder.h"

namespace {

// A user Ann with a redirected home share, laid out as Windows lays it out.
const GuardedFolders kAnn = {
    {L"C:\\Windows", L"C:\\Windows\\System32", L"C:\\Program Files", L"C:\\ProgramData",
     L"C:\\Users", L"C:\\Users\\Ann", L"C:\\Users\\Ann\\Documents",
     L"C:\\Users\\Ann\\AppData\\Local", L"\\\\srv\\home\\ann"},
    {L"C:\\Windows", L"C:\\Program Files", L"C:\\ProgramData"},
    {L"C:\\Windows\\Temp"},
};

TEST(SafeTarget, OnlyPlainAbsoluteFoldersOutsideTheGuardedOnesMayBeEmptied) {
  const struct {
    const wchar_t* folder;
    bool safe;
  } cases[] = {
      {L"C:\\Users\\Ann\\AppData\\Local\\Temp", true},
      {L"c:\\users\\ann\\appdata\\local\\Google\\Chrome\\User Data\\Default\\Cache", true},
      {L"D:\\Cache", true},
      {L"\\\\srv\\home\\ann\\cache", true},
      // A name that only starts like a kept folder's.
      {L"C:\\Users\\Ann\\AppDataX", true},
      {L"C:\\Windows\\Temp", true},
      {L"C:\\Windows\\Temp\\sub", true},
      // Roots, and what is not absolute or not plain.
      {L"", false},
      {L"C:", false},
      {L"C:\\", false},
      {L"\\", false},
      {L"\\Google\\Chrome\\User Data\\Default\\Cache", false},
      {L".", false},
      {L"rel", false},
      {L"\\\\srv\\home", false},
      {L"\\\\?\\C:\\Cache", false},
      {L"\\\\.\\C:\\Cache", false},
      {L"C:\\Users\\Ann\\..\\Bob", false},
      {L"C:\\Users\\.\\Ann\\Temp", false},
      {L"C:\\a\\\\b", false},
      {L"C:\\Users\\Ann\\Temp\\", false},
      {L"C:/Users/Ann/Temp", false},
      // Kept folders and what holds them, in any letter case.
      {L"C:\\USERS\\ANN", false},
      {L"C:\\Users\\Ann\\AppData", false},
      {L"C:\\Users\\Ann\\AppData\\Local", false},
      {L"C:\\Users", false},
      {L"\\\\srv\\home\\ann", false},
      // Inside the sealed folders.
      {L"C:\\Windows\\Tempest", false},
      {L"C:\\Windows\\Fonts", false},
      {L"C:\\Program Files\\Opera\\cache", false},
      {L"C:\\ProgramData\\Cache", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSafeFolder(c.folder, kAnn), c.safe) << std::wstring(c.folder).size();
  }
  // The deleter's own guard: what holds a kept folder, or a root.
  EXPECT_TRUE(HoldsKeptFolder(L"C:\\Users\\Ann\\AppData", kAnn));
  EXPECT_TRUE(HoldsKeptFolder(L"C:\\", kAnn));
  EXPECT_FALSE(HoldsKeptFolder(L"C:\\Users\\Ann\\AppData\\Local\\Temp\\x", kAnn));
  EXPECT_FALSE(HoldsKeptFolder(L"C:\\Program Files\\x", kAnn));
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// The same rule on this system's own folders, links followed.
TEST(SafeTarget, TheSystemsOwnFoldersAndLinksToThemAreRefused) {
  scratch::ScratchFolder scratch;
  const std::string cache = scratch / "cache";
  ASSERT_TRUE(scratch::MakeFolder(cache));
  const std::string profile = ShellFolder(CSIDL_PROFILE);
  ASSERT_FALSE(profile.empty());
  const std::string toProfile = scratch / "to_profile";
  ASSERT_TRUE(scratch::MakeLink(toProfile, profile));
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);

  const struct {
    std::string folder;
    TargetVerdict verdict;
  } cases[] = {
      {cache, TargetVerdict::kSafe},
      {cache + "\\", TargetVerdict::kSafe},
      {std::string(windows) + "\\Temp", TargetVerdict::kSafe},
      {cache + "\\missing", TargetVerdict::kMissing},
      {"", TargetVerdict::kUnsafe},
      {"C:\\", TargetVerdict::kUnsafe},
      {"C:", TargetVerdict::kUnsafe},
      {".", TargetVerdict::kUnsafe},
      {cache + "\\..\\cache", TargetVerdict::kUnsafe},
      {cache + ".", TargetVerdict::kUnsafe},
      {profile, TargetVerdict::kUnsafe},
      {windows, TargetVerdict::kUnsafe},
      {ShellFolder(CSIDL_LOCAL_APPDATA), TargetVerdict::kUnsafe},
      {toProfile, TargetVerdict::kUnsafe},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JudgeCleaningTarget(c.folder), c.verdict) << c.folder;
  }
  EXPECT_TRUE(IsGuardedFolder(toProfile));
  EXPECT_TRUE(IsGuardedFolder(profile));
  EXPECT_FALSE(IsGuardedFolder(cache));
  ASSERT_TRUE(scratch::RemoveLink(toProfile));
}

}  // namespace
