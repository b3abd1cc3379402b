#include "bench_support.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "text_conv.h"
#include "win_text.h"
#include "window_probe.h"

namespace {

constexpr char kMainCaption[] = "Brumix 1.2";
constexpr char kFormClass[] = "obj_Form";
constexpr char kButtonClass[] = "obj_BUTTON";
constexpr size_t kBitmapButtons = 9;
constexpr DWORD kPollMs = 1;
constexpr DWORD kCloseTimeoutMs = 10000;
constexpr uint8_t kReportFilesAndFolders = 2;
constexpr uint8_t kReportFoldersOnly = 1;
constexpr uint16_t kShellFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
constexpr uint16_t kShellFlagsFilesOnly = kShellFlags | FOF_FILESONLY;

bool IsBitmapButton(HWND window) {
  return ClassOf(window) == kButtonClass &&
         (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

}  // namespace

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Environment(const char* name) {
  char value[MAX_PATH * 2] = {};
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

int EnvCount(const char* name, int fallback) {
  const std::string text = Environment(name);
  const int value = std::atoi(text.c_str());
  return value > 0 ? value : fallback;
}

double Megabytes(uint64_t bytes) {
  return static_cast<double>(bytes) / 1048576.0;
}

std::vector<BenchTarget> TargetsBelow(const std::string& root) {
  std::vector<BenchTarget> targets;
  for (const TargetPlace& place : kTargetPlaces) {
    targets.push_back({place.name, root + "\\" + place.folder, place.button,
                       place.foldersOnly ? kReportFoldersOnly : kReportFilesAndFolders,
                       place.filesOnly ? kShellFlagsFilesOnly : kShellFlags});
  }
  return targets;
}

std::optional<BenchTarget> TargetNamed(const std::string& root, const std::string& name) {
  for (const BenchTarget& target : TargetsBelow(root)) {
    if (name == target.name) return target;
  }
  return std::nullopt;
}

std::optional<MainWindow> ReadyMainWindow(DWORD processId) {
  for (HWND window : TopWindowsOf(processId)) {
    if (!IsWindowVisible(window) || ClassOf(window) != kFormClass ||
        WindowText(window) != kMainCaption) {
      continue;
    }
    MainWindow found;
    found.form = window;
    for (HWND child : ChildWindows(window)) {
      if (IsBitmapButton(child)) found.bitmapButtons.push_back(child);
      if (ClassOf(child).ends_with("msctls_statusbar32")) found.statusBar = child;
    }
    if (!found.statusBar || found.bitmapButtons.size() != kBitmapButtons) return std::nullopt;
    const HWND focus = FocusOf(window);
    if (std::find(found.bitmapButtons.begin(), found.bitmapButtons.end(), focus) ==
        found.bitmapButtons.end()) {
      return std::nullopt;
    }
    return found;
  }
  return std::nullopt;
}

HWND ButtonCaptioned(const MainWindow& window, const std::string& caption) {
  for (HWND button : window.bitmapButtons) {
    if (WindowText(button) == caption) return button;
  }
  return nullptr;
}

std::optional<MainWindow> StartBrumix(ProgramDriver& program, DWORD timeoutMs) {
  if (!program.Start("")) return std::nullopt;
  const DWORD start = GetTickCount();
  do {
    if (auto window = ReadyMainWindow(program.ProcessId())) return window;
    if (WaitForSingleObject(program.Process(), kPollMs) == WAIT_OBJECT_0) return std::nullopt;
  } while (GetTickCount() - start < timeoutMs);
  return std::nullopt;
}

void CloseProgram(ProgramDriver& program, HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (!program.WaitForExit(kCloseTimeoutMs)) program.Kill();
}

double PressUntilCaptionChanges(HWND button, DWORD timeoutMs) {
  const std::string before = WindowText(button);
  const double start = Now();
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &answer);
  const DWORD waited = GetTickCount();
  while (WindowText(button) == before) {
    if (GetTickCount() - waited > timeoutMs) return -1.0;
    Sleep(kPollMs);
  }
  return Now() - start;
}

double PressSeconds(HWND button, DWORD timeoutMs) {
  const double start = Now();
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &answer)) return -1.0;
  return Now() - start;
}

MemoryUse MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) {
    return {};
  }
  return {counters.WorkingSetSize, counters.PagefileUsage};
}

int64_t EntriesBelow(const std::string& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(AnyLengthPath(ToWstr(folder + "\\*")).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int64_t entries = 0;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    ++entries;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      entries += EntriesBelow(folder + "\\" + ToUtf8(name));
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return entries;
}
