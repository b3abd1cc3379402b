// The eight folders the cleaner works on, made real for a run of brumix.exe:
// a scratch tree that the temporary path (TMP and TEMP, which a started
// program inherits) and the "Cache" and "Local AppData" shell folders point
// at for the tree's lifetime, and that are put back afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scratch_folder.h"

struct CleaningTarget {
  const char* name;
  std::string folder;
};

class TargetTree {
 public:
  TargetTree();
  ~TargetTree();
  TargetTree(const TargetTree&) = delete;
  TargetTree& operator=(const TargetTree&) = delete;

  // In the order of the lamps: IE, temp, Chrome, Firefox, Yandex, Vivaldi,
  // Opera 12, Opera 20. Each folder exists, empty.
  [[nodiscard]] const std::vector<CleaningTarget>& Targets() const { return targets_; }
  [[nodiscard]] std::string Folder(const std::string& name) const;
  // A folder of the tree outside every target.
  [[nodiscard]] std::string Outside() const { return root_ / "outside"; }
  // The folder that holds the whole tree, targets and all.
  [[nodiscard]] const std::string& Root() const { return root_.Path(); }
  // What the "Local AppData" shell folder points at.
  [[nodiscard]] std::string LocalAppData() const { return root_ / "local"; }

  // Every folder of the path, below the tree's root.
  bool MakeFolders(const std::string& path) const;
  // A file of that many bytes, sparse: no data is written. Its folders are
  // made too.
  static bool MakeFile(const std::string& path, uint64_t size = 10);
  static bool IsEmptyFolder(const std::string& folder);

 private:
  struct SavedValue {
    const char* name;
    std::optional<std::string> value;
  };
  scratch::ScratchFolder root_;
  std::vector<CleaningTarget> targets_;
  std::vector<SavedValue> savedShellFolders_;
  std::string savedTmp_, savedTemp_;
};

// The prefix's per-user shell folder values, as the cleaner reads them.
std::optional<std::string> ReadShellFolder(const char* valueName);
bool WriteShellFolder(const char* valueName, const std::string& value);
void DeleteShellFolder(const char* valueName);
