#include "dir_tools.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "control.h"
#include "dir_list.h"
#include "safe_target.h"

namespace {

bool IsLink(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_REPARSE_POINT;
}
bool IsFolder(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_DIRECTORY;
}

// Calls visit(folder, entry) for every entry below folder ("\"-terminated),
// depth first, never entering a link. Stops when visit answers false. A folder
// that cannot be listed (even an empty one lists "." and "..") is passed over,
// or, given somewhere to say so, stops the walk.
template <class Visit>
bool WalkTree(const std::string& folder, Visit& visit, bool* unlistable = nullptr) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    if (!unlistable) return true;
    *unlistable = true;
    return false;
  }
  bool goOn = true;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    goOn = visit(folder, entry);
    if (goOn && IsFolder(entry.dwFileAttributes) && !IsLink(entry.dwFileAttributes)) {
      goOn = WalkTree(folder + entry.cFileName + "\\", visit, unlistable);
    }
  } while (goOn && FindNextFileA(find, &entry));
  FindClose(find);
  return goOn;
}

// The shell copies every path it works on into a MAX_PATH buffer and lists a
// folder as its path plus "\*.*". Under Wine a path that does not fit comes
// out empty, and deleting "" deletes everything in the current folder; so no
// path longer than this is ever handed to it, nor a folder holding one.
constexpr size_t kShellPathLimit = MAX_PATH - 6;

// A name the system should never report, but Wine does when a Linux name's
// bytes map to separators: "z\..\..\outside" would climb out of its folder.
bool IsPlainName(const char* name) {
  const std::string_view text(name);
  return text.find_first_of("\\/") == std::string_view::npos && text != "." && text != "..";
}

// The same for a whole path: no "." or ".." step, no "/" separator.
bool IsPlainPath(const std::string& path) {
  if (path.find('/') != std::string::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view step(path.data() + start, end - start);
    if (step == "." || step == "..") return false;
    start = end + 1;
  }
  return true;
}

std::string AsFolder(std::string path) {
  if (path.back() != '\\') path += '\\';
  return path;
}

// The path the system resolves for an entry, links followed; empty when it
// cannot tell. Looked up at run time: systems without it have no links to files.
std::string FinalPath(const std::string& path) {
  using FinalPathName = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static const auto finalPathName = reinterpret_cast<FinalPathName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32"), "GetFinalPathNameByHandleA")));
  if (!finalPathName) return path;
  // No access asked for, so a file held open without sharing opens too.
  HANDLE entry =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (entry == INVALID_HANDLE_VALUE) return {};
  char buffer[kMaxDeletePath + 1];
  const DWORD length = finalPathName(entry, buffer, sizeof buffer, 0);
  CloseHandle(entry);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

std::string Joined(const std::string& folder, const std::string& name) {
  return AsFolder(folder) + name;
}

// Under Wine a Linux link to a file looks like the file itself (attributes
// 0x20, the target's size), and deleting it deletes the target. The resolved
// path gives a link away: it is not its folder's resolved path plus its name.
bool IsItself(const std::string& folderFinal, const std::string& name,
              const std::string& entryFinal) {
  if (folderFinal.empty() || entryFinal.empty()) return false;
  return lstrcmpiA(Joined(folderFinal, name).c_str(), entryFinal.c_str()) == 0;
}

// A resolve costs an open and a query, as much as the entry's own, and a
// cleaning chain hands over one folder's entries one after another: the
// folder of the last entry checked keeps its resolved path between calls.
struct ResolvedFolder {
  std::string folder;
  std::string final;
};
ResolvedFolder lastFolder;

// Only a match is taken from what was kept: a mismatch is tried again with the
// folder resolved now, so a folder that has moved since is not refused by mistake.
bool IsItselfIn(const std::string& folder, const std::string& name, const std::string& entryFinal) {
  if (lastFolder.folder == folder && IsItself(lastFolder.final, name, entryFinal)) return true;
  lastFolder = {folder, FinalPath(folder)};
  if (lastFolder.final.empty()) lastFolder.folder.clear();
  return IsItself(lastFolder.final, name, entryFinal);
}

// Whether anything below a folder, whose resolved path is known, is a link, or
// a name or path the shell would mishandle, or a folder that cannot be listed.
// A subfolder found to be itself has just been resolved, so its entries are
// checked against that: every entry costs one resolve, every folder none.
bool UnsafeBelow(const std::string& folder, const std::string& folderFinal) {
  std::unordered_map<std::string, std::string> finals{{folder, folderFinal}};
  bool found = false;
  auto visit = [&](const std::string& parent, const WIN32_FIND_DATAA& entry) {
    const auto parentFinal = finals.find(parent);
    found = parentFinal == finals.end() || IsLink(entry.dwFileAttributes) ||
            !IsPlainName(entry.cFileName) ||
            parent.size() + strlen(entry.cFileName) > kShellPathLimit;
    if (found) return false;
    const std::string entryFinal = FinalPath(parent + entry.cFileName);
    found = !IsItself(parentFinal->second, entry.cFileName, entryFinal);
    if (!found && IsFolder(entry.dwFileAttributes)) {
      finals.emplace(parent + entry.cFileName + "\\", entryFinal);
    }
    return !found;
  };
  bool unlistable = false;
  WalkTree(folder, visit, &unlistable);
  return found || unlistable;
}

// Wine's shell deletes a folder by walking it and follows links as it goes,
// emptying and removing what they point to; RemoveDirectoryA on a link to a
// folder removes the folder it points to when that is empty. So a link, or a
// folder with a link anywhere below it, is never handed to the shell, nor a
// folder holding what the shell cannot name safely: true also when that
// cannot be made sure of.
bool UnsafeForShell(const std::string& path, DWORD attributes) {
  if (IsLink(attributes)) return true;
  char full[kMaxDeletePath + 1];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return true;
  std::string target(full, length);
  while (target.size() > 3 && target.back() == '\\') {
    target.pop_back();
  }
  const size_t slash = target.rfind('\\');
  // A drive root has no folder to be checked against.
  if (slash == std::string::npos || slash + 1 == target.size()) return true;
  const std::string entryFinal = FinalPath(target);
  if (!IsItselfIn(target.substr(0, slash + 1), target.substr(slash + 1), entryFinal)) return true;
  return IsFolder(attributes) && UnsafeBelow(AsFolder(target), entryFinal);
}

// The shell is loaded at the first deletion rather than with the program:
// shell32 and what it brings in (shlwapi, shcore) would add some 10 ms and
// 0.8 MB of working set to every start, a count-only run included.
using ShellFileOperation = int(WINAPI*)(LPSHFILEOPSTRUCTA);
ShellFileOperation ShellDeleter() {
  static const HMODULE shell = LoadLibraryA("shell32.dll");
  static const auto operation =
      shell ? reinterpret_cast<ShellFileOperation>(
                  reinterpret_cast<void*>(GetProcAddress(shell, "SHFileOperationA")))
            : nullptr;
  return operation;
}

// A wildcard would make the shell delete whatever it matches, links included.
bool HasWildcard(const std::string& path) {
  return path.find_first_of("*?") != std::string::npos;
}

}  // namespace

uint64_t TreeSize(const std::string& path) {
  if (path.empty()) return 0;
  uint64_t total = 0;
  auto visit = [&total](const std::string&, const WIN32_FIND_DATAA& entry) {
    if (!IsFolder(entry.dwFileAttributes) && !IsLink(entry.dwFileAttributes)) {
      total += (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
    }
    return true;
  };
  WalkTree(AsFolder(path), visit);
  return total;
}

uint16_t TKVDirTools::FlagWord() const {
  uint16_t flags = 0;
  if (AllowUndo) flags |= FOF_ALLOWUNDO;
  if (FilesOnly) flags |= FOF_FILESONLY;
  if (MultiDestFiles) flags |= FOF_MULTIDESTFILES;
  if (NoConfirmation) flags |= FOF_NOCONFIRMATION;
  if (NoConfirmMkDir) flags |= FOF_NOCONFIRMMKDIR;
  if (NoErrorUI) flags |= FOF_NOERRORUI;
  if (RenameOnCollision) flags |= FOF_RENAMEONCOLLISION;
  if (Silent) flags |= FOF_SILENT;
  if (SimpleProgress) flags |= FOF_SIMPLEPROGRESS;
  return flags;
}

void TKVDirTools::doDelete(TData& data, uint16_t) {
  const uint16_t flags = FlagWord();
  const std::string path = ReadString(data, DirLink, {});
  // A cut path could name another entry than the one asked for.
  if (path.empty() || path.size() > kMaxDeletePath || HasWildcard(path)) return;
  // The shell's ANSI entry copies names into MAX_PATH buffers: Wine's overruns
  // its stack on a name of about 1000 bytes (checked), and one just short of
  // MAX_PATH empties the current folder (see kShellPathLimit).
  if (path.size() > kShellPathLimit || !IsPlainPath(path)) return;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || UnsafeForShell(path, attributes)) return;
  // The second line behind the searches' own check of their folder.
  if (IsFolder(attributes) && IsGuardedFolder(path)) return;

  // The shell takes a list of names ended by an empty one: the string's own
  // terminator after the pushed zero gives the second zero byte.
  std::string from = path;
  from.push_back('\0');
  SHFILEOPSTRUCTA operation{};
  operation.hwnd = MainWindowHandle();
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = "";
  operation.fFlags = flags;
  const ShellFileOperation shellFileOperation = ShellDeleter();
  if (!shellFileOperation) return;
  if (shellFileOperation(&operation) != 0 || operation.fAnyOperationsAborted) return;
  TailNull(data, onEnd);
}

void TKVDirTools::doSize(TData& data, uint16_t) {
  const std::string path = ReadString(data, DirLink, {});
  const bool measured = !SafeTargetOnly || JudgeCleaningTarget(path) == TargetVerdict::kSafe;
  const uint64_t total = measured ? TreeSize(path) : 0;
  if (total < (uint64_t{1} << 31)) {
    SetInteger(data, static_cast<int32_t>(total));
  } else {
    SetReal(data, static_cast<double>(total));
  }
  TailPass(data, onEnd);
}
