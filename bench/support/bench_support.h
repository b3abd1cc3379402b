// What the benchmarks that drive brumix.exe share: a clock, medians, counts
// from the environment, the cleaner's eight folders pointed at a scratch root,
// and the main window found ready for input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "program_driver.h"
#include "target_tree.h"

double Now();
double Median(std::vector<double> values);
// A variable of the environment (Wine passes the Linux one on); empty when unset.
std::string Environment(const char* name);
// A positive whole number from the environment, or the fallback.
int EnvCount(const char* name, int fallback);
double Megabytes(uint64_t bytes);

// One folder the cleaner works on, below a scratch root, with the button that
// cleans it and how its chain hands entries to the shell.
struct BenchTarget {
  const char* name;
  std::string folder;
  const char* button;
  uint8_t include;  // what the search reports: 2 files and folders, 1 folders only
  uint16_t shellFlags;
};
// In the order of the lamps, the tests' own layout (cleaning_targets.h).
std::vector<BenchTarget> TargetsBelow(const std::string& root);
std::optional<BenchTarget> TargetNamed(const std::string& root, const std::string& name);

// For its lifetime the "Cache" and "Local AppData" shell folders, and TMP and
// TEMP (which a started program inherits), lead to the targets below root.
class PointedTargets : public PointedFolders {
 public:
  explicit PointedTargets(const std::string& root)
      : PointedFolders(TargetFolderBelow(root, "ie"), root + "\\" + kLocalAppDataBelowRoot,
                       TargetFolderBelow(root, "temp")) {}
};

// The main window as a user first meets it.
struct MainWindow {
  HWND form = nullptr;
  HWND statusBar = nullptr;
  std::vector<HWND> bitmapButtons;
};
// The main window once it is visible, its status bar and nine bitmap buttons
// made and the first of them focused; nothing before that.
std::optional<MainWindow> ReadyMainWindow(DWORD processId);
HWND ButtonCaptioned(const MainWindow& window, const std::string& caption);

// Starts brumix.exe and polls until its window is ready.
std::optional<MainWindow> StartBrumix(ProgramDriver& program, DWORD timeoutMs = 60000);
// Closes the window as its close box would and waits for the end (a kill after the deadline).
void CloseProgram(ProgramDriver& program, HWND window);

// Presses a button as BM_CLICK does (the whole press has run when it returns)
// and waits until its caption differs from before; seconds from the press to
// the new caption, negative if it never came.
double PressUntilCaptionChanges(HWND button, DWORD timeoutMs = 600000);
double PressSeconds(HWND button, DWORD timeoutMs = 600000);

struct MemoryUse {
  uint64_t workingSet = 0;
  uint64_t commit = 0;  // Wine leaves PrivateUsage 0; PagefileUsage is its commit
};
MemoryUse MemoryOf(HANDLE process);

// Files and folders below a folder at any depth, never entering a link.
int64_t EntriesBelow(const std::string& folder);
