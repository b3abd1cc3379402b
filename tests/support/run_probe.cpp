// Used by scripts/run when there is no display: starts brumix.exe, and once its
// main window shows, leaves a marker file for the screenshot, waits for the
// marker to go, closes the window and writes how the program ended.
//   run_probe.exe MARKER_FILE RESULT_FILE [PROGRAM ARGUMENTS]
#include <windows.h>

#include <cstdio>
#include <string>

#include "program_driver.h"

namespace {

constexpr char kMainCaption[] = "Brumix 1.2";
constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kPaintGraceMs = 500;

HWND WaitForMainWindow(ProgramDriver& program) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kTimeoutMs) {
    for (HWND window : program.VisibleWindows()) {
      if (WindowText(window) == kMainCaption) return window;
    }
    if (program.WaitForExit(50)) return nullptr;
  }
  return nullptr;
}

void WriteFile(const char* path, const std::string& text) {
  if (FILE* file = std::fopen(path, "w")) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
}

bool WaitForFileToGo(const char* path) {
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() - start > kTimeoutMs) return false;
    Sleep(50);
  }
  return true;
}

std::string Ending(const ProgramDriver& program) {
  return "brumix.exe ended with exit code " + std::to_string(program.ExitCode());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const char* marker = argv[1];
  const char* result = argv[2];
  std::string arguments;
  for (int i = 3; i < argc; ++i)
    arguments += std::string(i > 3 ? " " : "") + argv[i];

  ProgramDriver program;
  if (!program.Start(arguments)) {
    WriteFile(result, "brumix.exe could not be started");
    return 1;
  }
  HWND window = WaitForMainWindow(program);
  if (!window) {
    program.WaitForExit(kTimeoutMs);
    WriteFile(result, Ending(program) + " without showing its window");
    return 0;
  }
  Sleep(kPaintGraceMs);  // let it paint before the picture is taken
  WriteFile(marker, "window");
  WaitForFileToGo(marker);
  PostMessageA(window, WM_CLOSE, 0, 0);
  const bool ended = program.WaitForExit(kTimeoutMs);
  WriteFile(result, ended ? "window shown and closed; " + Ending(program)
                          : "window shown, but the program did not end when closed");
  return 0;
}
