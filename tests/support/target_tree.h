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

#include "cleaning_targets.h"
#include "scratch_folder.h"

// For its lifetime the "Cache" and "Local AppData" shell folders, and TMP and
// TEMP (which a started program inherits), lead to the given folders. A shell
// folder is pointed as Windows keeps it: the "User Shell Folders" value that
// the shell reads, and the "Shell Folders" copy that the shell writes back
// from there whenever a program asks it for the folder.
class PointedFolders {
 public:
  PointedFolders(const std::string& cache, const std::string& localAppData,
                 const std::string& temp);
  ~PointedFolders();
  PointedFolders(const PointedFolders&) = delete;
  PointedFolders& operator=(const PointedFolders&) = delete;

 private:
  struct SavedValue {
    const char* key;
    const char* name;
    std::optional<DWORD> type;
    std::string bytes;
  };
  void Point(const char* name, const std::string& folder);
  std::vector<SavedValue> saved_;
  std::string savedTmp_, savedTemp_;
};

struct CleaningTarget {
  const char* name;
  std::string folder;
};

class TargetTree {
 public:
  // home: a folder of that name below the scratch root holds it all, so the
  // whole tree can sit below a name of any script.
  explicit TargetTree(const std::string& home = {});
  ~TargetTree();
  TargetTree(const TargetTree&) = delete;
  TargetTree& operator=(const TargetTree&) = delete;

  // In the order of the lamps: IE, temp, Chrome, Firefox, Yandex, Vivaldi,
  // Opera 12, Opera 20. Each folder exists, empty.
  [[nodiscard]] const std::vector<CleaningTarget>& Targets() const { return targets_; }
  [[nodiscard]] std::string Folder(const std::string& name) const;
  // A folder of the tree outside every target.
  [[nodiscard]] std::string Outside() const { return base_ + "\\outside"; }
  // The folder that holds the whole tree, targets and all.
  [[nodiscard]] const std::string& Root() const { return root_.Path(); }
  // What the "Local AppData" shell folder points at.
  [[nodiscard]] std::string LocalAppData() const { return base_ + "\\" + kLocalAppDataBelowRoot; }

  // Every folder of the path, below the tree's root.
  bool MakeFolders(const std::string& path) const;
  // A file of that many bytes, sparse: no data is written. Its folders are
  // made too.
  static bool MakeFile(const std::string& path, uint64_t size = 10);
  static bool IsEmptyFolder(const std::string& folder);

 private:
  scratch::ScratchFolder root_;
  std::string base_;
  std::vector<CleaningTarget> targets_;
  std::optional<PointedFolders> pointed_;
};

// The prefix's per-user shell folder values, as the cleaner reads them (the
// "Shell Folders" copy).
std::optional<std::string> ReadShellFolder(const char* valueName);
bool WriteShellFolder(const char* valueName, const std::string& value, DWORD type = REG_SZ);
void DeleteShellFolder(const char* valueName);
// A text value's bytes as the registry keeps them: UTF-16, its terminating
// zero included.
std::string TextValueBytes(const std::string& text);
// Writes exactly these bytes, of any type, as the value.
bool WriteShellFolderBytes(const char* valueName, DWORD type, const std::string& bytes);
