// TKVDirTools: deletes a file, a whole folder or the matches of a wildcard,
// and measures the size of a folder tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "component.h"
#include "event.h"

// What a deleter did since its tally was last cleared: a caller that presses a
// chain by itself reads it afterwards.
struct TDeleteTally {
  uint32_t deleted = 0;  // entries gone: files, folders and links
  uint64_t bytes = 0;    // in the files deleted
  uint32_t inUse = 0;    // files another program holds open
  uint32_t links = 0;    // links kept: removing them could touch what they lead to
  uint32_t failed = 0;   // entries kept for any other reason (no access, ...)
};

class TKVDirTools : public TKVComponent {
 public:
  // Input event: deletes the path read from Dir (unlinked: the path that came
  // with the event), itself and entry by entry, never through a link (with
  // AllowUndo the shell does it, into the recycle bin). "*" and "?" in its last
  // step delete the matches, only files with FilesOnly. onEnd (null) fires only
  // when what was asked for is gone and nothing was kept. A root, a system or
  // user folder, or a folder that holds one, is never deleted.
  void doDelete(TData& data, uint16_t index);
  // Input event: the size of the tree at Dir goes on through onEnd in the very
  // record, an integer below 2^31 and a real from there on.
  void doSize(TData& data, uint16_t index);

  // The shell's flag word that the nine properties make: the engine always
  // works unasked and silent, so only FilesOnly and AllowUndo change it.
  [[nodiscard]] uint16_t FlagWord() const;

  uint8_t AllowUndo = 0;
  uint8_t FilesOnly = 0;
  uint8_t MultiDestFiles = 0;
  uint8_t NoConfirmation = 0;
  uint8_t NoConfirmMkDir = 0;
  uint8_t NoErrorUI = 0;
  uint8_t RenameOnCollision = 0;
  uint8_t Silent = 0;
  uint8_t SimpleProgress = 0;
  // 1: doSize measures only a folder that is safe to empty; any other is 0.
  uint8_t SafeTargetOnly = 0;
  // Shown with the entries done so far while a long deletion or count runs.
  std::string ProgressText;
  TDeleteTally Tally;
  TKV_Event DirLink;
  TKV_Event onEnd;

 private:
  // The entry last kept, tried a moment ago with all it holds: a search that
  // walks into it next reports its entries again, and they are not tried twice.
  std::wstring lastKept_;
};

// Longest path, in UTF-16 characters, that doDelete takes; a longer one is
// never cut short.
constexpr size_t kMaxDeletePath = 4096;

// Bytes in the files below the folder path, at any depth; links below it count
// 0 (under Wine a link to a file too) and are never entered. Missing or
// unreadable folders count 0. A label names the entries looked at for the
// long-work bar.
[[nodiscard]] uint64_t TreeSize(const std::string& path, std::string_view label = {});
