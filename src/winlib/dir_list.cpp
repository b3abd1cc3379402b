#include "dir_list.h"

#include <string>
#include <utility>

#include "text_conv.h"
#include "win_text.h"

namespace {

constexpr DWORD kAnyEntry = FILE_ATTRIBUTE_NORMAL;  // 0x80 in a filter: any entry

// Every letter of Unicode, not only those of a code page.
std::string Lowered(std::string_view text) {
  std::wstring wide = ToWstr(text);
  if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return ToUtf8(wide);
}

// The bytes of the UTF-8 character that starts at text[at]: its first byte and
// the continuation bytes (10xxxxxx) after it.
size_t CharLength(std::string_view text, size_t at) {
  size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    ++end;
  return end - at;
}

// The bytes of name at ni that the mask character at mi takes, 0 for none:
// "?" a whole character; "#" with digitHash one digit; else the same byte.
size_t Taken(std::string_view mask, size_t mi, std::string_view name, size_t ni, bool digitHash) {
  const char maskChar = mask[mi];
  const char nameChar = name[ni];
  if (maskChar == '?') return CharLength(name, ni);
  if (digitHash && maskChar == '#') return nameChar >= '0' && nameChar <= '9' ? 1 : 0;
  return maskChar == nameChar ? 1 : 0;
}

// What FindFirstFileW is given for a folder ending in a backslash: "*" names
// every entry; a pattern of MAX_PATH or more would be cut, so it goes long.
std::wstring SearchPattern(const std::string& folder) {
  return AnyLengthPath(ToWstr(folder) + L"*");
}

TDirEntry* NewEntry(std::string name, const WIN32_FIND_DATAW& found) {
  return new TDirEntry{std::move(name), found.dwFileAttributes,
                       (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow};
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
    } else if (const size_t taken = mi < mask.size() ? Taken(mask, mi, name, ni, digitHash) : 0) {
      ni += taken;
      ++mi;
    } else if (starMi != std::string_view::npos) {
      // Let the last star take one more character and try again.
      mi = starMi + 1;
      starNi += CharLength(name, starNi);
      ni = starNi;
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
    delete static_cast<TDirEntry*>(Entries->Items[i]);
  }
  Entries->Free();
  Entries = nullptr;
}

const TDirEntry* TDirList::Entry(int32_t index) const {
  return Entries ? static_cast<const TDirEntry*>(Entries->Get(index)) : nullptr;
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
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(SearchPattern(Path).c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = ToUtf8(found.cFileName);
      if (Accepts(name, found.dwFileAttributes, wanted)) {
        Entries->Add(NewEntry(std::move(name), found));
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  Masks->Free();
  Masks = nullptr;
}

bool TDirList::Accepts(std::string_view entry, DWORD attributes, DWORD wanted) const {
  const bool anyEntry = (wanted & kAnyEntry) != 0;
  if ((attributes & wanted) != wanted && !anyEntry) return false;
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
