#include "shell_delete.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>

#include "control.h"
#include "safe_target.h"
#include "text_conv.h"
#include "tree_delete.h"
#include "win_text.h"

namespace {

// The shell copies every path it works on into a MAX_PATH buffer and lists a
// folder as its path plus "\*.*". Under Wine a path that does not fit comes
// out empty, and deleting "" deletes everything in the current folder; so no
// path longer than this (in UTF-16 characters) is ever handed to it, nor a
// folder holding one.
constexpr size_t kShellPathLimit = MAX_PATH - 6;

std::wstring AsFolder(std::wstring path) {
  if (path.back() != L'\\') path += L'\\';
  return path;
}

// The path the system resolves for an entry, links followed; empty when it
// cannot tell.
std::wstring FinalPath(const std::wstring& path) {
  HANDLE entry = OpenForQuery(path);
  if (entry == INVALID_HANDLE_VALUE) return {};
  std::wstring final = FinalPathOf(entry, path);
  CloseHandle(entry);
  return final;
}

// Under Wine a Linux link to a file looks like the file itself (attributes
// 0x20, the target's size), and deleting it deletes the target. The resolved
// path gives a link away: it is not its folder's resolved path plus its name.
bool IsItself(const std::wstring& folderFinal, std::wstring_view name,
              const std::wstring& entryFinal) {
  if (folderFinal.empty() || entryFinal.empty()) return false;
  return lstrcmpiW((AsFolder(folderFinal) + std::wstring(name)).c_str(), entryFinal.c_str()) == 0;
}

// A resolve costs an open and a query, as much as the entry's own, and a
// cleaning chain hands over one folder's entries one after another: the
// folder of the last entry checked keeps its resolved path between calls.
struct ResolvedFolder {
  std::wstring folder;
  std::wstring final;
};
ResolvedFolder lastFolder;

// Only a match is taken from what was kept: a mismatch is tried again with the
// folder resolved now, so a folder that has moved since is not refused by mistake.
bool IsItselfIn(const std::wstring& folder, std::wstring_view name,
                const std::wstring& entryFinal) {
  if (lastFolder.folder == folder && IsItself(lastFolder.final, name, entryFinal)) return true;
  lastFolder = {folder, FinalPath(folder)};
  if (lastFolder.final.empty()) lastFolder.folder.clear();
  return IsItself(lastFolder.final, name, entryFinal);
}

// Whether anything below a folder ("\"-terminated), whose resolved path is
// known, is a link, or a name or path the shell would mishandle, or a folder
// that cannot be listed (even an empty one lists "." and ".."). A subfolder
// found to be itself has just been resolved, so its entries are checked
// against that: every entry costs one resolve, every folder none.
bool UnsafeBelow(const std::wstring& folder, const std::wstring& folderFinal) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(AnyLengthPath(folder + L"*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool unsafe = false;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    unsafe = IsLink(entry.dwFileAttributes) || !IsPlainName(name) ||
             folder.size() + name.size() > kShellPathLimit;
    if (unsafe) break;
    const std::wstring path = folder + entry.cFileName;
    const std::wstring entryFinal = FinalPath(path);
    unsafe = !IsItself(folderFinal, name, entryFinal) ||
             (IsFolder(entry.dwFileAttributes) && UnsafeBelow(path + L"\\", entryFinal));
  } while (!unsafe && FindNextFileW(find, &entry));
  FindClose(find);
  return unsafe;
}

// Wine's shell deletes a folder by walking it and follows links as it goes,
// emptying and removing what they point to; RemoveDirectoryW on a link to a
// folder removes the folder it points to when that is empty. So a link, or a
// folder with a link anywhere below it, is never handed to the shell, nor a
// folder holding what the shell cannot name safely: true also when that
// cannot be made sure of.
bool UnsafeForShell(const std::wstring& path, DWORD attributes) {
  if (IsLink(attributes)) return true;
  std::wstring target = FullPath(path);
  // A relative path that the shell would make too long.
  if (target.empty() || target.size() > kShellPathLimit) return true;
  while (target.size() > 3 && target.back() == L'\\') {
    target.pop_back();
  }
  const size_t slash = target.rfind(L'\\');
  // A drive root has no folder to be checked against.
  if (slash == std::wstring::npos || slash + 1 == target.size()) return true;
  const std::wstring entryFinal = FinalPath(target);
  const std::wstring_view name = std::wstring_view(target).substr(slash + 1);
  if (!IsItselfIn(target.substr(0, slash + 1), name, entryFinal)) return true;
  return IsFolder(attributes) && UnsafeBelow(AsFolder(target), entryFinal);
}

// The shell is loaded at the first deletion rather than with the program:
// shell32 and what it brings in (shlwapi, shcore) would add some 10 ms and
// 0.8 MB of working set to every start, a count-only run included.
using ShellFileOperation = int(WINAPI*)(LPSHFILEOPSTRUCTW);
ShellFileOperation ShellDeleter() {
  static const HMODULE shell = LoadLibraryW(L"shell32.dll");
  static const auto operation =
      shell ? reinterpret_cast<ShellFileOperation>(
                  reinterpret_cast<void*>(GetProcAddress(shell, "SHFileOperationW")))
            : nullptr;
  return operation;
}

}  // namespace

bool ShellDelete(const std::wstring& path, uint16_t flags) {
  // The shell copies names into MAX_PATH buffers: Wine's overruns its stack
  // on a name of about 1000 characters, and one just short of MAX_PATH
  // empties the current folder (see kShellPathLimit).
  if (path.size() > kShellPathLimit) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || UnsafeForShell(path, attributes)) return false;
  // The second line behind the searches' own check of their folder.
  if (IsFolder(attributes) && IsGuardedFolder(ToUtf8(path))) return false;

  // The shell takes a list of names ended by an empty one: the string's own
  // terminator after the pushed zero gives the second zero.
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = MainWindowHandle();
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = L"";
  operation.fFlags = flags;
  const ShellFileOperation shellFileOperation = ShellDeleter();
  if (!shellFileOperation) return false;
  return shellFileOperation(&operation) == 0 && !operation.fAnyOperationsAborted;
}
