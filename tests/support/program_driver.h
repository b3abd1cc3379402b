// Drives a program from outside, as a user would: starts it, finds its
// windows, waits for its end. Shared by every black-box test.
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

  // Starts brumix.exe (in the build's top folder) with the given arguments.
  bool Start(const std::string& arguments);
  // Starts brumix.exe with that folder as its current directory.
  bool StartIn(const std::string& folder, const std::string& arguments);
  // Starts any program, given its full Windows path; an empty folder means
  // this process's current directory.
  bool StartExe(const std::string& path, const std::string& arguments,
                const std::string& folder = {});
  // Polls until a visible top-level window of the program with this class and
  // caption exists, or the deadline passes; 0 then.
  HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs = 20000);
  // The program's visible top-level windows now.
  std::vector<HWND> VisibleWindows() const;
  // Polls the exit; while waiting, every visible window seen is recorded.
  bool WaitForExit(DWORD timeoutMs = 20000);
  DWORD ExitCode() const;
  [[nodiscard]] HANDLE Process() const { return process_.hProcess; }
  [[nodiscard]] DWORD ProcessId() const { return process_.dwProcessId; }
  const std::vector<HWND>& WindowsSeen() const { return seen_; }
  // The caption each of those windows had when it was first seen.
  const std::vector<std::string>& CaptionsSeen() const { return seenCaptions_; }
  void Kill();

 private:
  void RecordVisibleWindows();
  void Record(const std::vector<HWND>& windows);
  PROCESS_INFORMATION process_{};
  std::vector<HWND> seen_;
  std::vector<std::string> seenCaptions_;
};

// Path of brumix.exe, found from this test's own location.
std::string ProgramPath();
// Path of a program built beside this test's own executable.
std::string SiblingPath(const std::string& exeName);
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
std::vector<HWND> ChildWindows(HWND parent);
// Every top-level window of the process, shown or not.
std::vector<HWND> TopWindowsOf(DWORD processId);
