#include "file_search.h"

#include "dir_list.h"
#include "long_work.h"
#include "running_program.h"
#include "safe_target.h"
#include "text_conv.h"
#include "win_text.h"

namespace {

// Only A to Z change: the bytes of other letters stay as they are.
std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

bool MaskMatches(std::string_view mask, std::string_view name) {
  return WildcardMatches(mask, name, true);
}

// The folder is judged itself, before anything is walked: a walk that
// descends cannot tell a user's own folder below a wrongly chosen root from junk.
void TKVFileSearch::doSearch(TData& data, uint16_t) {
  std::string folder = ReadString(data, DirLink, Dir);
  const std::string mask = ReadString(data, MaskLink, Mask);
  currentMask_ = LowerAscii(mask);
  LastRefusal = kNotRefused;
  if (SafeTargetOnly) {
    const TargetVerdict verdict = JudgeCleaningTarget(folder);
    if (verdict == TargetVerdict::kUnsafe) {
      LastRefusal = kRefusedUnsafeFolder;
      TailInteger(data, onRefuse, kRefusedUnsafeFolder);
      return;
    }
    // Nothing there: the search is over, with no match.
    if (verdict == TargetVerdict::kMissing) {
      matchCount_ = 0;
      TailInteger(data, onEndSearch, matchCount_);
      return;
    }
  }
  if (folder.empty()) return;
  if (!OwnerProgram.empty() && IsProgramRunning(OwnerProgram)) {
    LastRefusal = kRefusedOwnerRunning;
    TailInteger(data, onRefuse, kRefusedOwnerRunning);
    return;
  }
  if (folder.back() != '\\') folder += '\\';
  if (currentMask_.empty()) currentMask_ = "*";
  matchCount_ = 0;
  Walk(folder);
  TailInteger(data, onEndSearch, matchCount_);
}

// Reported paths are the folder as given plus the names: the "\\?\" form
// that reaches entries past MAX_PATH is only ever handed to the system.
void TKVFileSearch::Walk(const std::string& folder) {
  HANDLE find = FindFirstEntry(AnyLengthPath(ToWstr(folder + "*.*")), find_);
  // Missing, unreadable or deleted meanwhile (by the handler of its own report).
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = ToUtf8(find_.cFileName);
    if (IsDotEntry(name)) continue;
    LongWorkTick();
    if (find_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Junctions and directory links are reported (so a cleaner can deal with
      // the link itself) but never entered: they may lead out of the tree or
      // back into it.
      const bool isLink = find_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
      if (Include > 0) Report(folder, name);
      if (SearchSubDirs == 0 && !isLink) Walk(folder + name + "\\");
    } else if (MaskMatches(currentMask_, LowerAscii(name))) {
      ++matchCount_;
      if (Include != 1) Report(folder, name);
    } else {
      FireString(onOtherFiles, folder + name);
    }
  } while (FindNextFileW(find, &find_));
  FindClose(find);
}

// Not a tail firing: the walk goes on once the handlers have returned.
void TKVFileSearch::Report(const std::string& folder, const std::string& name) {
  FireString(onSearch, FullName ? folder + name : name);
}
