// TDirList: the entries of one directory that pass an attribute filter and a
// mask, in the order the system returns them; and the mask matcher it uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

#include "list.h"
#include "obj.h"
#include "str_list.h"

// Case-insensitive (CharLowerBuffW) match of a UTF-8 name against a UTF-8 mask
// where "*" stands for any run of characters and "?" for any one.
[[nodiscard]] bool MatchesMask(std::string_view name, std::string_view mask);

// The wildcard walk every mask here shares, on UTF-8 texts already lower-cased:
// "*" any run (the empty one too), "?" any one character (all the bytes of it)
// and, with digitHash, "#" any one decimal digit.
[[nodiscard]] bool WildcardMatches(std::string_view mask, std::string_view name, bool digitHash);

// "." or "..", which every directory listing holds.
[[nodiscard]] bool IsDotEntry(std::string_view name);

// One listed entry: its name in UTF-8 and what the system said of it.
struct TDirEntry {
  std::string Name;
  DWORD Attributes = 0;  // FILE_ATTRIBUTE_*
  uint64_t Size = 0;
};

class TDirList : public TObj {
 public:
  // wanted: FILE_ATTRIBUTE bits every entry must carry, 0x80 standing for any
  // entry; with 0x80 and 0x10 every subdirectory is listed whatever the mask.
  // A mask "^..." lists everything but the names that match the rest.
  // A missing or unreadable directory lists nothing. path is UTF-8, of any
  // length: one too long for the plain form is listed through "\\?\".
  void ScanDirectory(std::string_view path, std::string_view mask, DWORD wanted);
  void ClearEntries();
  [[nodiscard]] int32_t EntryCount() const { return Entries ? Entries->Count : 0; }
  // None when index is out of range.
  [[nodiscard]] const TDirEntry* Entry(int32_t index) const;

  TList* Entries = nullptr;  // of owned TDirEntry
  // With a trailing backslash after a scan.
  std::string Path;
  TStrList* Masks = nullptr;

 protected:
  ~TDirList() override;

 private:
  [[nodiscard]] bool Accepts(std::string_view name, DWORD attributes, DWORD wanted) const;
};

TDirList* NewDirList();
