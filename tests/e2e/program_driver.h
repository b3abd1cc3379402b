// Drives brumix.exe from outside: starts it, finds its windows, ends it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ProgramDriver {
 public:
  ProgramDriver() = default;
  ~ProgramDriver();
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  // Starts brumix.exe (beside the build's top folder) with the given arguments.
  bool Start(const std::string& arguments);
  // Polls until a visible top-level window of the program with this class and
  // caption exists, or the deadline passes; 0 then.
  HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs = 20000);
  // The program's visible top-level windows now.
  std::vector<HWND> VisibleWindows() const;
  // Polls the exit; while waiting, every visible window seen is recorded.
  bool WaitForExit(DWORD timeoutMs = 20000);
  DWORD ExitCode() const;
  const std::vector<HWND>& WindowsSeen() const { return seen_; }
  void Kill();

 private:
  void RecordVisibleWindows();
  PROCESS_INFORMATION process_{};
  std::vector<HWND> seen_;
};

// Path of brumix.exe, found from this test's own location.
std::string ProgramPath();
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
std::vector<HWND> ChildWindows(HWND parent);
