#include "main_window.h"

#include <algorithm>

#include "program_driver.h"

namespace main_window {

std::string CountText(long long megabytes) {
  return "У вас на компьютере " + std::to_string(megabytes) + " мб мусора.";
}

bool MainWindow::Find(HWND mainForm) {
  form = mainForm;
  for (HWND child : ChildWindows(form)) {
    const std::string text = WindowText(child);
    for (int row = 0; row < kRows; ++row) {
      if (text == kCleaners[row].caption) cleaners[row] = child;
    }
    if (text == kCountCaption) count = child;
    if (text == kAbout) about = child;
    if (text == kExit) exit = child;
    if (ClassOf(child).ends_with("msctls_statusbar32")) bar = child;
    if (ClassOf(child) == "obj_STATIC" && text.empty()) lamps.push_back(child);
  }
  std::sort(lamps.begin(), lamps.end(),
            [](HWND a, HWND b) { return RectInParent(a).top < RectInParent(b).top; });
  const bool allCleaners =
      std::all_of(cleaners.begin(), cleaners.end(), [](HWND button) { return button != nullptr; });
  return allCleaners && lamps.size() == kRows && count && about && exit && bar;
}

}  // namespace main_window
