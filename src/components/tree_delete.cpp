#include "tree_delete.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "dir_tools.h"
#include "long_work.h"
#include "safe_target.h"
#include "text_conv.h"
#include "win_text.h"

namespace {

// Opened with OPEN_REPARSE_POINT: on Windows that is the link itself, not what
// it leads to. Under Wine 8 it is still the target, which the identity check
// below tells apart.
constexpr DWORD kOpenFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kFileAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
// A folder is listed through the very handle that was checked and is disposed.
constexpr DWORD kFolderAccess = kFileAccess | FILE_LIST_DIRECTORY | SYNCHRONIZE;
// What stops the system from deleting an entry, or the shell from doing it unasked.
constexpr DWORD kClearedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY |
                                  FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Deeper than any cache goes, and shallow enough for the window thread's stack.
constexpr int kMaxDepth = 256;

bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Join(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path.append(name);
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (*this) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  operator HANDLE() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE Open(const std::wstring& path, DWORD access) {
  return CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, kOpenFlags, nullptr);
}

bool SameObject(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// A folder as the engine walks it: its "\\?\" path and where it resolves.
struct WalkedFolder {
  std::wstring path;
  std::wstring final;
  // final was asked of the system for this very walk; otherwise it was kept
  // from before or put together from the parent's, and is asked again before
  // an entry is taken for a link because of it.
  bool fresh = false;
};

std::wstring Resolve(const std::wstring& path) {
  Handle folder(Open(path, FILE_READ_ATTRIBUTES));
  return folder ? FinalPathOf(folder, path) : std::wstring();
}

// Wine gives a name that ends in dots or spaces back without them, and "..."
// as no name at all, as GetFullPathNameW trims a path. A final path so trimmed
// is the entry's own unless the trimmed path names what the handle leads to.
bool IsTrimmedItself(HANDLE entry, const WalkedFolder& folder, std::wstring_view name,
                     std::wstring_view final) {
  const size_t kept = name.find_last_not_of(L". ");
  if (kept + 1 == name.size()) return false;
  const std::wstring trimmed = kept == std::wstring_view::npos
                                   ? Join(folder.final, L"")
                                   : Join(folder.final, name.substr(0, kept + 1));
  if (!SameText(final, trimmed)) return false;
  Handle other(Open(trimmed, FILE_READ_ATTRIBUTES));
  return !other || !SameObject(entry, other);
}

bool NamesItself(HANDLE entry, const WalkedFolder& folder, std::wstring_view name,
                 std::wstring_view final) {
  if (folder.final.empty() || final.empty()) return false;
  return SameText(final, Join(folder.final, name)) || IsTrimmedItself(entry, folder, name, final);
}

// Whether the open entry is the one named name in folder, not something a
// link leads to: under Wine a Linux link to a file looks like the file itself
// (attributes 0x20, the target's size), and deleting it deletes the target.
// Its resolved path gives it away: not its folder's resolved path plus its name.
bool IsItself(HANDLE entry, const std::wstring& path, WalkedFolder& folder, std::wstring_view name,
              std::wstring& final) {
  final = FinalPathOf(entry, path);
  if (NamesItself(entry, folder, name, final)) return true;
  if (folder.fresh) return false;
  folder.final = Resolve(folder.path);
  folder.fresh = true;
  return NamesItself(entry, folder, name, final);
}

struct Entry {
  std::wstring name;
  DWORD attributes;
  uint64_t size;
};

// The entries of a folder open for listing, "." and ".." left out.
bool ListOpenFolder(HANDLE folder, std::vector<Entry>& entries) {
  std::vector<LONGLONG> buffer(8192);
  const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
  while (GetFileInformationByHandleEx(folder, FileFullDirectoryInfo, buffer.data(), bytes)) {
    const auto* record = reinterpret_cast<const BYTE*>(buffer.data());
    for (;;) {
      const auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(record);
      const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") {
        entries.push_back({std::wstring(name), info->FileAttributes,
                           static_cast<uint64_t>(info->EndOfFile.QuadPart)});
      }
      if (!info->NextEntryOffset) break;
      record += info->NextEntryOffset;
    }
  }
  return GetLastError() == ERROR_NO_MORE_FILES;
}

bool ClearAttributes(HANDLE entry, DWORD attributes) {
  FILE_BASIC_INFO info{};  // times of 0 stay as they are
  info.FileAttributes = attributes & kKeptAttributes;
  if (!info.FileAttributes) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(entry, FileBasicInfo, &info, sizeof info);
}

bool SetDeleteDisposition(HANDLE entry) {
  FILE_DISPOSITION_INFO info{TRUE};
  return SetFileInformationByHandle(entry, FileDispositionInfo, &info, sizeof info);
}

using ChangeNotify = void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID);

// shell32 is loaded at the first notice: start-up must not pay for it.
void Notify(LONG event, const std::wstring& path) {
  static const HMODULE shell = LoadLibraryW(L"shell32.dll");
  static const auto notify = shell ? reinterpret_cast<ChangeNotify>(reinterpret_cast<void*>(
                                         GetProcAddress(shell, "SHChangeNotify")))
                                   : nullptr;
  if (notify) notify(event, SHCNF_PATHW, path.c_str(), nullptr);
}

// Explorer hears of each entry deleted at the top of a press, as after the
// shell's own deletion. But a notice costs as much as deleting a few dozen
// files (Wine's shell resolves the path and hands it to the desktop at once),
// and a press over loose files deletes thousands at the top: past the first
// few of one folder, one notice that the folder's contents changed, sent when
// the work ends, stands for the rest.
constexpr uint32_t kSeparateNotices = 16;

struct FolderNotices {
  std::wstring folder;
  uint32_t sent = 0;
  bool changePending = false;
};
FolderNotices notices;

void EndFolderNotices() {
  if (notices.changePending) Notify(SHCNE_UPDATEDIR, notices.folder);
  notices = {};
}

void TellExplorer(const std::wstring& path, DWORD attributes) {
  const std::wstring folder = path.substr(0, path.rfind(L'\\'));
  if (folder != notices.folder) {
    EndFolderNotices();
    notices.folder = folder;
  }
  AtLongWorkEnd(EndFolderNotices);
  if (notices.sent < kSeparateNotices) {
    ++notices.sent;
    Notify(IsFolder(attributes) && !IsLink(attributes) ? SHCNE_RMDIR : SHCNE_DELETE, path);
  } else {
    notices.changePending = true;
  }
}

void Step(std::string_view label) {
  if (label.empty()) {
    LongWorkTick();
  } else {
    LongWorkStep(label);
  }
}

// Windows lists a link to a file as a reparse point; Wine lists it as the
// file it leads to, and only opening it tells. Where the listing hides such
// links every file the count meets is opened; elsewhere none is.
bool ListingHidesFileLinks() {
  static const bool hides =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return hides;
}

class TreeDeleter {
 public:
  explicit TreeDeleter(DeleteProgress progress) : tally_(progress.tally), label_(progress.label) {}

  // The entry listed in folder: true when it is gone and nothing was kept.
  bool Delete(WalkedFolder& folder, const Entry& entry, int depth) {
    if (!IsPlainName(entry.name)) return Keep(tally_.failed);
    const std::wstring path = Join(folder.path, entry.name);
    if (IsLink(entry.attributes)) return DeleteLink(path);
    const bool isFolder = IsFolder(entry.attributes);
    Handle handle(Open(path, isFolder ? kFolderAccess : kFileAccess));
    if (!handle) return KeptFor(GetLastError());
    WalkedFolder inner{path, {}, true};
    if (!IsItself(handle, path, folder, entry.name, inner.final)) return Keep(tally_.links);
    if (isFolder && !Empty(handle, inner, depth + 1)) return false;
    if ((entry.attributes & kClearedAttributes) && !ClearAttributes(handle, entry.attributes)) {
      return Keep(tally_.failed);
    }
    if (!SetDeleteDisposition(handle)) return KeptFor(GetLastError());
    Gone(isFolder ? 0 : entry.size);
    return true;
  }

 private:
  bool Empty(HANDLE handle, WalkedFolder& folder, int depth) {
    std::vector<Entry> entries;
    if (depth > kMaxDepth || !ListOpenFolder(handle, entries)) return Keep(tally_.failed);
    bool allGone = true;
    for (const Entry& entry : entries)
      allGone = Delete(folder, entry, depth) && allGone;
    return allGone;
  }

  // Only when the handle is provably the link itself, another object than
  // the one the path leads to, is it deleted; under Wine 8 it never is.
  bool DeleteLink(const std::wstring& path) {
    Handle link(Open(path, DELETE | FILE_READ_ATTRIBUTES));
    Handle target(OpenForQuery(path));
    if (!link || !target || SameObject(link, target) || !SetDeleteDisposition(link)) {
      return Keep(tally_.links);
    }
    Gone(0);
    return true;
  }

  bool KeptFor(DWORD error) {
    // Gone meanwhile: nothing is kept.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    return Keep(error == ERROR_SHARING_VIOLATION ? tally_.inUse : tally_.failed);
  }

  static bool Keep(uint32_t& count) {
    ++count;
    return false;
  }

  void Gone(uint64_t bytes) {
    ++tally_.deleted;
    tally_.bytes += bytes;
    Step(label_);
  }

  TDeleteTally& tally_;
  std::string_view label_;
};

// A cleaning chain hands over one folder's entries one after another: the
// folder of the last one keeps its resolved path between calls.
WalkedFolder lastFolder;

WalkedFolder& FolderOf(const std::wstring& folder) {
  const std::wstring path = VerbatimPath(folder);
  if (lastFolder.path != path || lastFolder.final.empty()) {
    lastFolder = {path, Resolve(path), true};
  } else {
    lastFolder.fresh = false;
  }
  return lastFolder;
}

// path: the entry's as the caller named it, for the guard and for Explorer.
bool DeleteTop(WalkedFolder& folder, const Entry& entry, const std::wstring& path,
               DeleteProgress progress) {
  const bool isFolder = IsFolder(entry.attributes) && !IsLink(entry.attributes);
  if (isFolder && IsGuardedFolder(ToUtf8(path))) {
    ++progress.tally.failed;
    return false;
  }
  if (!TreeDeleter(progress).Delete(folder, entry, 0)) return false;
  TellExplorer(path, entry.attributes);
  return true;
}

class TreeMeasurer {
 public:
  explicit TreeMeasurer(std::string_view label) : label_(label) {}

  uint64_t Measure(WalkedFolder& folder, int depth) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstEntry(Join(folder.path, L"*"), entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    uint64_t total = 0;
    do {
      const std::wstring_view name = entry.cFileName;
      if (name == L"." || name == L".." || IsLink(entry.dwFileAttributes)) continue;
      Step(label_);
      if (IsFolder(entry.dwFileAttributes)) {
        WalkedFolder inner{Join(folder.path, name), Join(folder.final, name), false};
        if (depth < kMaxDepth) total += Measure(inner, depth + 1);
        continue;
      }
      const uint64_t size = (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
      // An empty file adds nothing, whatever it is.
      if (size && (!ListingHidesFileLinks() || IsFileItself(folder, name))) total += size;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return total;
  }

 private:
  // A file the system cannot open by its name ("*" or ":" in it, as Wine
  // shows some Linux names) stays, and is counted as it lists.
  static bool IsFileItself(WalkedFolder& folder, std::wstring_view name) {
    const std::wstring path = Join(folder.path, name);
    Handle file(Open(path, FILE_READ_ATTRIBUTES));
    if (!file) return GetLastError() != ERROR_FILE_NOT_FOUND;
    std::wstring final;
    return IsItself(file, path, folder, name, final);
  }

  std::string_view label_;
};

}  // namespace

bool IsPlainName(std::wstring_view name) {
  return name.find_first_of(L"\\/:") == std::wstring_view::npos && name != L"." && name != L"..";
}

bool DeleteEntryTree(const std::wstring& path, DeleteProgress progress) {
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return false;
  WalkedFolder& folder = FolderOf(path.substr(0, slash + 1));
  if (folder.path.empty()) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  const std::wstring name = path.substr(slash + 1);
  if (!GetFileAttributesExW(Join(folder.path, name).c_str(), GetFileExInfoStandard, &data)) {
    return false;
  }
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return DeleteTop(folder, {name, data.dwFileAttributes, size}, path, progress);
}

bool DeleteMatches(const std::wstring& folder, const std::wstring& pattern, bool filesOnly,
                   DeleteProgress progress) {
  WalkedFolder& resolved = FolderOf(folder);
  if (resolved.path.empty()) return false;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstEntry(Join(resolved.path, pattern), found);
  if (find == INVALID_HANDLE_VALUE) return false;
  std::vector<Entry> matches;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L".." || (filesOnly && IsFolder(found.dwFileAttributes))) continue;
    const uint64_t size = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    matches.push_back({std::wstring(name), found.dwFileAttributes, size});
  } while (FindNextFileW(find, &found));
  FindClose(find);
  bool allGone = !matches.empty();
  for (const Entry& match : matches)
    allGone = DeleteTop(resolved, match, Join(folder, match.name), progress) && allGone;
  return allGone;
}

uint64_t TreeBytes(const std::wstring& folder, std::string_view label) {
  const std::wstring path = VerbatimPath(folder);
  if (path.empty()) return 0;
  WalkedFolder root{path, Resolve(path), true};
  return TreeMeasurer(label).Measure(root, 0);
}
