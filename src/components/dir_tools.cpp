#include "dir_tools.h"

#include <windows.h>

#include <shellapi.h>

#include "safe_target.h"
#include "shell_delete.h"
#include "text_conv.h"
#include "tree_delete.h"
#include "win_text.h"

namespace {

// No "." or ".." step and no "/" separator: the path reads as it is written.
bool IsPlainPath(std::wstring_view path) {
  if (path.find(L'/') != std::wstring_view::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    const std::wstring_view step = path.substr(start, end - start);
    if (step == L"." || step == L"..") return false;
    start = end + 1;
  }
  return true;
}

bool HasWildcard(std::wstring_view text) {
  return text.find_first_of(L"*?") != std::wstring_view::npos;
}

std::wstring WithoutTrailingSlashes(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') {
    path.pop_back();
  }
  return path;
}

// The path made absolute, without a trailing "\"; empty when that is a root
// or does not read plainly. An absolute path stays as written: the system
// would trim a name that ends in a dot or a space to another entry's name.
std::wstring TargetPath(const std::wstring& path) {
  std::wstring target = WithoutTrailingSlashes(path);
  if (!IsPlainAbsolute(target)) target = WithoutTrailingSlashes(FullPath(path));
  return IsPlainAbsolute(target) ? target : std::wstring();
}

}  // namespace

uint64_t TreeSize(const std::string& path, std::string_view label) {
  return path.empty() ? 0 : TreeBytes(ToWstr(path), label);
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
  const std::string text = ReadString(data, DirLink, {});
  const std::wstring path = ToWstr(text);
  // A cut path could name another entry than the one asked for, and a zero
  // inside would end the name there.
  if (path.empty() || path.size() > kMaxDeletePath || path.find(L'\0') != std::wstring::npos ||
      !IsPlainPath(path)) {
    return;
  }
  // A wildcard is taken in the last step only: it names entries of one folder.
  const size_t lastStep = path.rfind(L'\\') + 1;
  if (HasWildcard(std::wstring_view(path).substr(0, lastStep))) return;
  const bool wildcard = HasWildcard(std::wstring_view(path).substr(lastStep));
  bool gone = false;
  if (AllowUndo) {
    gone = !wildcard && ShellDelete(path, flags);
    ++(gone ? Tally.deleted : Tally.failed);
  } else if (const std::wstring target = TargetPath(path); !target.empty()) {
    if (target.size() > lastKept_.size() && IsSameOrBelow(target, lastKept_)) return;
    const DeleteProgress progress{Tally, ProgressText};
    const size_t slash = target.rfind(L'\\');
    const std::wstring folder = target.substr(0, slash);
    // The matches of a wildcard are a folder's entries: never a guarded folder's.
    if (!wildcard) {
      gone = DeleteEntryTree(target, progress);
    } else if (IsPlainAbsolute(folder) && !IsGuardedFolder(ToUtf8(folder))) {
      gone = DeleteMatches(folder, target.substr(slash + 1), FilesOnly, progress);
    }
    lastKept_ = gone ? std::wstring() : target;
  }
  if (gone) TailNull(data, onEnd);
}

void TKVDirTools::doSize(TData& data, uint16_t) {
  const std::string path = ReadString(data, DirLink, {});
  const bool measured = !SafeTargetOnly || JudgeCleaningTarget(path) == TargetVerdict::kSafe;
  const uint64_t total = measured ? TreeSize(path, ProgressText) : 0;
  if (total < (uint64_t{1} << 31)) {
    SetInteger(data, static_cast<int32_t>(total));
  } else {
    SetReal(data, static_cast<double>(total));
  }
  TailPass(data, onEnd);
}
