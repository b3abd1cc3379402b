// The deleter's own engine: deletes a file, a folder with all it holds or the
// matches of a wildcard, entry by entry over the W calls at any length of
// path, never through a link; and measures a tree the way the engine sees it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

struct TDeleteTally;

// What a listed entry is, from its attributes: a link of any kind (as
// Windows marks it), a folder.
[[nodiscard]] inline bool IsLink(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_REPARSE_POINT;
}
[[nodiscard]] inline bool IsFolder(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_DIRECTORY;
}
// A name the system should never report, but Wine does when a Linux name's
// bytes map to separators: "z\..\..\outside" would climb out of its folder,
// and "a:b" names a stream of "a".
[[nodiscard]] bool IsPlainName(std::wstring_view name);

// Where a deletion reports: the tally it adds to, and the label the long-work
// bar shows per entry deleted (empty: the windows only keep painting).
struct DeleteProgress {
  TDeleteTally& tally;
  std::string_view label;
};

// Deletes the entry at path (absolute, plain, not a root, no trailing "\"): a
// file, a link when that cannot touch what it leads to, or a folder with all
// it holds, bottom-up. A guarded folder is never deleted. True when the entry
// is gone and nothing below it was kept.
[[nodiscard]] bool DeleteEntryTree(const std::wstring& path, DeleteProgress progress);

// Deletes the entries of folder (as above) whose names match pattern, the
// system's "*" and "?"; with filesOnly the matching folders stay. True when
// something went and nothing was kept.
[[nodiscard]] bool DeleteMatches(const std::wstring& folder, const std::wstring& pattern,
                                 bool filesOnly, DeleteProgress progress);

// Bytes in the files below folder at any depth, each file counted only when
// it is itself and not a link (under Wine a link to a file lists as the file);
// links are never entered. label as for a deletion, per entry looked at.
[[nodiscard]] uint64_t TreeBytes(const std::wstring& folder, std::string_view label);
