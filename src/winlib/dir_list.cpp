#include "dir_list.h"

#include <string>

namespace {

constexpr DWORD kAnyEntry = FILE_ATTRIBUTE_NORMAL;  // 0x80 in a filter: any entry

static_assert(sizeof(WIN32_FIND_DATAA) == 320, "entries are copies of 320-byte records");

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  if (!lowered.empty()) CharLowerBuffA(lowered.data(), static_cast<DWORD>(lowered.size()));
  return lowered;
}

bool CharMatches(char maskChar, char nameChar, bool digitHash) {
  if (maskChar == '?') return true;
  if (digitHash && maskChar == '#') return nameChar >= '0' && nameChar <= '9';
  return maskChar == nameChar;
}

}  // namespace

bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

// Greedy with one backtrack point, the last star: a later star makes every
// earlier choice final, so this never recurses and runs in at most
// name length × mask length steps, whatever the number of stars.
bool WildcardMatches(std::string_view mask, std::string_view name, bool digitHash) {
  size_t ni = 0, mi = 0;
  size_t starMi = std::string_view::npos, starNi = 0;
  while (ni < name.size()) {
    if (mi < mask.size() && mask[mi] == '*') {
      starMi = mi++;
      starNi = ni;
    } else if (mi < mask.size() && CharMatches(mask[mi], name[ni], digitHash)) {
      ++ni;
      ++mi;
    } else if (starMi != std::string_view::npos) {
      // Let the last star take one more character and try again.
      mi = starMi + 1;
      ni = ++starNi;
    } else {
      return false;
    }
  }
  while (mi < mask.size() && mask[mi] == '*')
    ++mi;
  return mi == mask.size();
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  return WildcardMatches(Lowered(mask), Lowered(name), false);
}

TDirList* NewDirList() {
  return new TDirList;
}

TDirList::~TDirList() {
  ClearEntries();
  if (Masks) Masks->Free();
  Masks = nullptr;
}

void TDirList::ClearEntries() {
  if (!Entries) return;
  for (int32_t i = 0; i < Entries->Count; ++i) {
    delete static_cast<WIN32_FIND_DATAA*>(Entries->Items[i]);
  }
  Entries->Free();
  Entries = nullptr;
}

const WIN32_FIND_DATAA* TDirList::Entry(int32_t index) const {
  return Entries ? static_cast<const WIN32_FIND_DATAA*>(Entries->Get(index)) : nullptr;
}

void TDirList::ScanDirectory(std::string_view path, std::string_view mask, DWORD wanted) {
  ClearEntries();
  Entries = NewList();
  Path = path;
  if (Path.empty()) return;
  if (Path.back() != '\\') Path += '\\';
  if (Masks) Masks->Free();
  Masks = NewStrList();
  Masks->AddString(mask == "*.*" ? "*" : mask);
  // The system lists everything and our own filter decides: a mask handed to
  // the system would hide the subdirectories that 0x90 asks for, find nothing
  // for an exclusion mask, and could name another folder ("..\*").
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((Path + "*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (Accepts(found.cFileName, found.dwFileAttributes, wanted)) {
        Entries->Add(new WIN32_FIND_DATAA(found));
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  Masks->Free();
  Masks = nullptr;
}

bool TDirList::Accepts(const char* name, DWORD attributes, DWORD wanted) const {
  const bool anyEntry = (wanted & kAnyEntry) != 0;
  if ((attributes & wanted) != wanted && !anyEntry) return false;
  const std::string_view entry(name);
  const bool dots = IsDotEntry(entry);
  if (anyEntry && (wanted & FILE_ATTRIBUTE_DIRECTORY) && wanted != kAnyEntry &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) && !dots) {
    return true;
  }
  bool plainSeen = false;
  for (int32_t i = 0; Masks && i < Masks->Count; ++i) {
    const std::string_view mask(Masks->Get(i));
    if (mask.empty()) continue;
    if (dots && !IsDotEntry(mask)) continue;
    if (mask.front() == '^') {
      if (MatchesMask(entry, mask.substr(1))) return false;
    } else {
      if (MatchesMask(entry, mask)) return true;
      plainSeen = true;
    }
  }
  return !plainSeen && !dots;
}
