#include "safe_target.h"

#include <windows.h>

#include <shlobj.h>

#include <iterator>

#include "text_conv.h"
#include "win_text.h"

namespace {

bool IsDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Every step of a relative path: not empty, not "." or "..".
bool HasPlainSteps(std::wstring_view rest) {
  if (rest.empty()) return false;
  size_t start = 0;
  while (true) {
    const size_t end = rest.find(L'\\', start);
    const std::wstring_view step = rest.substr(start, end - start);
    if (step.empty() || step == L"." || step == L"..") return false;
    if (end == std::wstring_view::npos) return true;
    start = end + 1;
  }
}

// The part of a UNC path after "\\server\share\", or npos when it has none.
size_t UncStepsStart(std::wstring_view path) {
  if (!path.starts_with(L"\\\\")) return std::wstring_view::npos;
  const size_t serverEnd = path.find(L'\\', 2);
  if (serverEnd == std::wstring_view::npos) return serverEnd;
  const std::wstring_view server = path.substr(2, serverEnd - 2);
  // "\\?\" and "\\.\" name devices and raw paths, not shares.
  if (server.empty() || server == L"?" || server == L".") return std::wstring_view::npos;
  const size_t shareEnd = path.find(L'\\', serverEnd + 1);
  if (shareEnd == std::wstring_view::npos || shareEnd == serverEnd + 1) {
    return std::wstring_view::npos;
  }
  return shareEnd + 1;
}

std::wstring Folded(std::wstring_view text) {
  std::wstring folded(text);
  if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  return folded;
}

}  // namespace

bool IsPlainAbsolute(std::wstring_view path) {
  if (path.find(L'/') != std::wstring_view::npos) return false;
  if (path.size() > 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
    return HasPlainSteps(path.substr(3));
  }
  const size_t steps = UncStepsStart(path);
  return steps != std::wstring_view::npos && HasPlainSteps(path.substr(steps));
}

bool IsSameOrBelow(std::wstring_view path, std::wstring_view folder) {
  if (folder.empty() || path.size() < folder.size()) return false;
  const std::wstring foldedPath = Folded(path);
  if (Folded(folder) != std::wstring_view(foldedPath).substr(0, folder.size())) return false;
  return path.size() == folder.size() || path[folder.size()] == L'\\';
}

bool HoldsKeptFolder(std::wstring_view path, const GuardedFolders& guarded) {
  if (!IsPlainAbsolute(path)) return true;
  for (const std::wstring& kept : guarded.kept) {
    if (IsSameOrBelow(kept, path)) return true;
  }
  return false;
}

bool IsSafeFolder(std::wstring_view folder, const GuardedFolders& guarded) {
  if (HoldsKeptFolder(folder, guarded)) return false;
  for (const std::wstring& sealed : guarded.sealed) {
    if (!IsSameOrBelow(folder, sealed)) continue;
    bool unsealed = false;
    for (const std::wstring& opening : guarded.unsealed) {
      unsealed = unsealed || IsSameOrBelow(folder, opening);
    }
    if (!unsealed) return false;
  }
  return true;
}

namespace {

std::wstring WithoutTrailingSlash(std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

// "\\?\C:\x" is "C:\x", "\\?\UNC\server\share" is "\\server\share".
std::wstring WithoutVerbatimPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
  if (path.starts_with(L"\\\\?\\")) return path.substr(4);
  return path;
}

// Long names in place of 8.3 ones, so "C:\PROGRA~1" cannot pass for another
// folder; the path as it was when the system cannot tell.
std::wstring LongPath(const std::wstring& path) {
  const std::wstring asked = AnyLengthPath(path);
  const std::wstring longPath = TextAnswer(
      [&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(asked.c_str(), buffer, size); });
  return longPath.empty() ? path : WithoutVerbatimPrefix(longPath);
}

struct Resolved {
  bool missing = false;
  // Long, final (links followed), without a trailing "\"; empty when the
  // folder is there but the system cannot say where it leads.
  std::wstring final;
};

Resolved Resolve(const std::wstring& path) {
  HANDLE handle = OpenForQuery(path);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND, {}};
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool folder = GetFileInformationByHandle(handle, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  const std::wstring final = FinalPathOf(handle, path);
  CloseHandle(handle);
  // A file is no folder to empty: there is nothing below it.
  if (!folder) return {true, {}};
  if (final.empty()) return {};
  return {false, WithoutTrailingSlash(LongPath(WithoutVerbatimPrefix(final)))};
}

// The shell is loaded at the first check rather than with the program, as
// the deleter loads it: most runs never press a button.
HMODULE Shell() {
  static const HMODULE shell = LoadLibraryW(L"shell32.dll");
  return shell;
}

std::wstring ShellFolder(int csidl) {
  using FolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  static const auto folderPath = Shell() ? reinterpret_cast<FolderPath>(reinterpret_cast<void*>(
                                               GetProcAddress(Shell(), "SHGetFolderPathW")))
                                         : nullptr;
  wchar_t path[MAX_PATH] = {};
  if (!folderPath || folderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return {};
  }
  return path;
}

// Folders that have no CSIDL: asked by their known-folder id, where the
// system has them (Vista on).
std::wstring KnownFolder(const GUID& id) {
  using KnownFolderPath = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
  using TaskMemFree = void(WINAPI*)(void*);
  static const auto knownFolderPath =
      Shell() ? reinterpret_cast<KnownFolderPath>(
                    reinterpret_cast<void*>(GetProcAddress(Shell(), "SHGetKnownFolderPath")))
              : nullptr;
  static const HMODULE ole = knownFolderPath ? LoadLibraryW(L"ole32.dll") : nullptr;
  static const auto taskMemFree = ole ? reinterpret_cast<TaskMemFree>(reinterpret_cast<void*>(
                                            GetProcAddress(ole, "CoTaskMemFree")))
                                      : nullptr;
  PWSTR path = nullptr;
  if (!taskMemFree || knownFolderPath(id, 0, nullptr, &path) != S_OK) return {};
  std::wstring result = path;
  taskMemFree(path);
  return result;
}

constexpr GUID kDownloadsId = {
    0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};
constexpr GUID kUserProfilesId = {
    0x0762d272, 0xc50a, 0x4bb0, {0xa3, 0x82, 0x69, 0x7d, 0xcd, 0x72, 0x9b, 0x80}};

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = WithoutTrailingSlash(path).rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A folder is guarded by the name the system gives it and by where that
// name finally leads, both in their long form.
void Guard(std::vector<std::wstring>& list, const std::wstring& folder) {
  if (folder.empty()) return;
  const std::wstring path = WithoutTrailingSlash(LongPath(WithoutTrailingSlash(folder)));
  list.push_back(path);
  const Resolved resolved = Resolve(path);
  if (!resolved.final.empty() && resolved.final != path) list.push_back(resolved.final);
}

constexpr int kKeptFolders[] = {
    CSIDL_WINDOWS,          CSIDL_SYSTEM,         CSIDL_SYSTEMX86,     CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86, CSIDL_COMMON_APPDATA, CSIDL_PROFILE,       CSIDL_DESKTOPDIRECTORY,
    CSIDL_PERSONAL,         CSIDL_MYPICTURES,     CSIDL_MYMUSIC,       CSIDL_MYVIDEO,
    CSIDL_FAVORITES,        CSIDL_APPDATA,        CSIDL_LOCAL_APPDATA,
};
constexpr int kSealedFolders[] = {CSIDL_WINDOWS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                                  CSIDL_COMMON_APPDATA};

std::wstring WindowsFolder() {
  return TextAnswer([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
}

std::wstring SharedWindowsFolder() {
  return TextAnswer(
      [](wchar_t* buffer, DWORD size) { return GetSystemWindowsDirectoryW(buffer, size); });
}

std::wstring SystemFolder() {
  return TextAnswer([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); });
}

// The environment is never trusted to loosen the rule, only to add to it: a
// 32-bit program on 64-bit Windows learns where the 64-bit Program Files is
// from ProgramW6432 alone.
GuardedFolders LoadGuardedFolders() {
  GuardedFolders guarded;
  for (const int csidl : kKeptFolders)
    Guard(guarded.kept, ShellFolder(csidl));
  const std::wstring profile = ShellFolder(CSIDL_PROFILE);
  const std::wstring profiles = KnownFolder(kUserProfilesId);
  Guard(guarded.kept, profiles.empty() ? ParentOf(profile) : profiles);
  Guard(guarded.kept, KnownFolder(kDownloadsId));
  for (const std::wstring& folder : {WindowsFolder(), SharedWindowsFolder(), SystemFolder(),
                                     EnvironmentValue(L"ProgramW6432")}) {
    Guard(guarded.kept, folder);
  }
  for (const int csidl : kSealedFolders)
    Guard(guarded.sealed, ShellFolder(csidl));
  for (const std::wstring& windows : {WindowsFolder(), SharedWindowsFolder()}) {
    Guard(guarded.sealed, windows);
    if (!windows.empty()) Guard(guarded.unsealed, WithoutTrailingSlash(windows) + L"\\Temp");
  }
  Guard(guarded.sealed, EnvironmentValue(L"ProgramW6432"));
  return guarded;
}

}  // namespace

const GuardedFolders& SystemGuardedFolders() {
  // Asked once: a press must not pay for some thirty system calls, and these
  // folders do not move while the program runs.
  static const GuardedFolders guarded = LoadGuardedFolders();
  return guarded;
}

TargetVerdict JudgeCleaningTarget(const std::string& folder) {
  const std::wstring path = WithoutTrailingSlash(ToWstr(folder));
  // Relative, rooted on the current drive, a root, or a path the system
  // would read otherwise than it is written: never walked.
  if (!IsPlainAbsolute(path) || FullPath(path) != path) return TargetVerdict::kUnsafe;
  const Resolved resolved = Resolve(path);
  if (resolved.missing) return TargetVerdict::kMissing;
  if (resolved.final.empty()) return TargetVerdict::kUnsafe;
  const GuardedFolders& guarded = SystemGuardedFolders();
  const bool safe = IsSafeFolder(LongPath(path), guarded) && IsSafeFolder(resolved.final, guarded);
  return safe ? TargetVerdict::kSafe : TargetVerdict::kUnsafe;
}

bool IsGuardedFolder(const std::string& path) {
  const std::wstring full = WithoutTrailingSlash(FullPath(ToWstr(path)));
  if (full.empty()) return true;
  const Resolved resolved = Resolve(full);
  if (resolved.missing) return false;
  if (resolved.final.empty()) return true;
  const GuardedFolders& guarded = SystemGuardedFolders();
  return HoldsKeptFolder(LongPath(full), guarded) || HoldsKeptFolder(resolved.final, guarded);
}
