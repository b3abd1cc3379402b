#include "file_search.h"

namespace {

// Only A to Z change: cp1251 letters stay as they are.
std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool CharMatches(char maskChar, char nameChar) {
  if (maskChar == '?') return true;
  if (maskChar == '#') return nameChar >= '0' && nameChar <= '9';
  return maskChar == nameChar;
}

}  // namespace

// Backtracks to the last "*" only: a later "*" can always take over what an
// earlier one would have to give back, so one restart point is enough.
bool MaskMatches(std::string_view mask, std::string_view name) {
  size_t m = 0;
  size_t n = 0;
  size_t starMask = std::string_view::npos;
  size_t starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && CharMatches(mask[m], name[n])) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*')
    ++m;
  return m == mask.size();
}

void TKVFileSearch::doSearch(TData& data, uint16_t) {
  std::string folder = ReadString(data, DirLink, Dir);
  const std::string mask = ReadString(data, MaskLink, Mask);
  currentMask_ = LowerAscii(mask);
  if (folder.empty()) return;
  if (folder.back() != '\\') folder += '\\';
  if (currentMask_.empty()) currentMask_ = "*";
  matchCount_ = 0;
  Walk(folder);
  TailInteger(data, onEndSearch, matchCount_);
}

void TKVFileSearch::Walk(const std::string& folder) {
  HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &find_);
  // Missing, unreadable or deleted meanwhile (by the handler of its own report).
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDotEntry(find_.cFileName)) continue;
    if (find_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      const std::string subfolder = folder + find_.cFileName + "\\";
      // Junctions and directory links are reported (so a cleaner can deal with
      // the link itself) but never entered: they may lead out of the tree or
      // back into it.
      const bool isLink = find_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
      if (Include > 0) Report(folder, find_.cFileName);
      if (SearchSubDirs == 0 && !isLink) Walk(subfolder);
    } else if (MaskMatches(currentMask_, LowerAscii(find_.cFileName))) {
      ++matchCount_;
      if (Include != 1) Report(folder, find_.cFileName);
    } else {
      FireString(onOtherFiles, folder + find_.cFileName);
    }
  } while (FindNextFileA(find, &find_));
  FindClose(find);
}

// Not a tail firing: the walk goes on once the handlers have returned.
void TKVFileSearch::Report(const std::string& folder, const char* name) {
  FireString(onSearch, FullName ? folder + name : std::string(name));
}
