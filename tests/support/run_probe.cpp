// Used by scripts/run when there is no display: starts brumix.exe, and once its
// main window shows, leaves a marker file for the screenshot, waits for the
// marker to go, closes the window and writes how the program ended. With
// --pressed the cleaner's folders are first filled in a scratch tree, and the
// count button and every cleaning button are pressed before the picture.
//   run_probe.exe MARKER_FILE RESULT_FILE [--pressed] [PROGRAM ARGUMENTS]
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "program_driver.h"
#include "target_tree.h"
#include "window_probe.h"

namespace {

constexpr char kMainCaption[] = "Brumix 1.2";
constexpr DWORD kTimeoutMs = 30000;
constexpr DWORD kPaintGraceMs = 500;

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

// Something of every target to count and delete, 37 MB in all.
void FillTargets(const TargetTree& tree) {
  constexpr uint64_t kMegabyte = 1048576;
  constexpr int kSizes[] = {12, 3, 7, 2, 5, 1, 4, 3};
  int index = 0;
  for (const CleaningTarget& target : tree.Targets()) {
    tree.MakeFolders(target.folder + "\\entries");
    TargetTree::MakeFile(target.folder + "\\entries\\data_0", kSizes[index++] * kMegabyte);
    TargetTree::MakeFile(target.folder + "\\index");
  }
}

// The count first, so that its caption shows what the cleaning then removes.
void PressEveryButton(HWND window) {
  Eventually([&] { return FocusOf(window) != nullptr && FocusOf(window) != window; });
  std::vector<HWND> buttons;
  for (HWND child : ChildWindows(window)) {
    if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) buttons.push_back(child);
  }
  if (buttons.empty()) return;
  // The count button is the lowest of the column.
  std::sort(buttons.begin(), buttons.end(),
            [](HWND a, HWND b) { return RectInParent(a).top < RectInParent(b).top; });
  ClickButton(buttons.back());
  for (HWND button : buttons) {
    if (button != buttons.back()) ClickButton(button);
  }
}

std::string Ending(const ProgramDriver& program) {
  return "brumix.exe ended with exit code " + std::to_string(program.ExitCode());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const char* marker = argv[1];
  const char* result = argv[2];
  int first = 3;
  const bool pressed = argc > first && std::string(argv[first]) == "--pressed";
  if (pressed) ++first;
  std::string arguments;
  for (int i = first; i < argc; ++i)
    arguments += std::string(i > first ? " " : "") + argv[i];

  // Made before the program starts, which inherits the temporary path.
  std::optional<TargetTree> tree;
  if (pressed) {
    tree.emplace();
    FillTargets(*tree);
  }
  ProgramDriver program;
  if (!program.Start(arguments)) {
    WriteFile(result, "brumix.exe could not be started");
    return 1;
  }
  // The form, not the application window that carries the same caption.
  HWND window = program.WaitForWindow("obj_Form", kMainCaption, kTimeoutMs);
  if (!window) {
    program.WaitForExit(kTimeoutMs);
    WriteFile(result, Ending(program) + " without showing its window");
    return 0;
  }
  if (pressed) PressEveryButton(window);
  Sleep(kPaintGraceMs);  // let it paint before the picture is taken
  WriteFile(marker, "window");
  WaitForFileToGo(marker);
  PostMessageA(window, WM_CLOSE, 0, 0);
  const bool ended = program.WaitForExit(kTimeoutMs);
  WriteFile(result, ended ? "window shown and closed; " + Ending(program)
                          : "window shown, but the program did not end when closed");
  return 0;
}
