// TKVFileSearch: walks a folder tree depth first and reports every entry the
// moment it is found, so a linked component can act on it at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "component.h"
#include "event.h"

// What onRefuse carries: why a folder was not walked.
constexpr int32_t kRefusedUnsafeFolder = 0;
constexpr int32_t kRefusedOwnerRunning = 1;
// LastRefusal when the last search refused nothing.
constexpr int32_t kNotRefused = -1;

class TKVFileSearch : public TKVComponent {
 public:
  // Input event: reads Dir, then Mask, so an incoming chain fills the unlinked
  // inputs with empty properties in that order. Ends with onEndSearch, or
  // with onRefuse when the folder may not be walked.
  void doSearch(TData& data, uint16_t index);

  // Files that matched the mask in the last search.
  [[nodiscard]] int32_t MatchCount() const { return matchCount_; }

  std::string Mask;
  std::string Dir;
  // 0: descend into subfolders; anything else: stay in the given folder.
  uint8_t SearchSubDirs = 0;
  // 1: reports carry the full path; 0: the bare name.
  uint8_t FullName = 0;
  // What onSearch reports: 0 files only, 1 folders only, 2 files and folders.
  uint8_t Include = 0;
  // 1: only a folder that is safe to empty is walked (a missing one ends the
  // search with no match); any other, an empty text included, is refused.
  uint8_t SafeTargetOnly = 0;
  // The image name of the program that keeps the folder ("chrome.exe"):
  // while it runs the folder is refused.
  std::string OwnerProgram;
  TKV_Event DirLink;
  TKV_Event MaskLink;
  TKV_Event onEndSearch;
  TKV_Event onSearch;
  TKV_Event onOtherFiles;
  // Integer: kRefusedUnsafeFolder or kRefusedOwnerRunning.
  TKV_Event onRefuse;
  // What the last doSearch fired through onRefuse, or kNotRefused: for a
  // caller that presses a chain by itself and reads the outcome afterwards.
  int32_t LastRefusal = kNotRefused;

 private:
  // folder always ends with "\".
  void Walk(const std::string& folder);
  void Report(const std::string& folder, const std::string& name);

  int32_t matchCount_ = 0;
  std::string currentMask_;
  // One record for every level of the walk: a level reads it only between its
  // own FindNextFileW and the next descent.
  WIN32_FIND_DATAW find_{};
};

// The search's wildcards, on texts already in lower case: "*" any run (the
// empty one too), "?" one character, "#" one decimal digit.
[[nodiscard]] bool MaskMatches(std::string_view mask, std::string_view name);
