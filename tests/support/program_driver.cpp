#include "program_driver.h"

#include <algorithm>

#include "text_conv.h"

namespace {

struct WindowQuery {
  DWORD processId;
  std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<WindowQuery*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == query->processId) query->found->push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

constexpr DWORD kPollMs = 20;

}  // namespace

namespace {
std::string OwnFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string self(path, length);
  return self.substr(0, self.find_last_of('\\'));
}
}  // namespace

std::string ProgramPath() {
  // <build>\tests\<suite>\<test>.exe -> <build>\brumix.exe
  std::string folder = OwnFolder();
  for (int level = 0; level < 2; ++level)
    folder.erase(folder.find_last_of('\\'));
  return folder + "\\brumix.exe";
}

std::string SiblingPath(const std::string& exeName) {
  return OwnFolder() + "\\" + exeName;
}

std::string WindowText(HWND window) {
  wchar_t text[4096] = {};
  GetWindowTextW(window, text, 4096);
  return ToUtf8(text);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

ProgramDriver::~ProgramDriver() {
  Kill();
  if (process_.hProcess) CloseHandle(process_.hProcess);
  if (process_.hThread) CloseHandle(process_.hThread);
}

bool ProgramDriver::Start(const std::string& arguments) {
  return StartExe(ProgramPath(), arguments);
}

bool ProgramDriver::StartIn(const std::string& folder, const std::string& arguments) {
  return StartExe(ProgramPath(), arguments, folder);
}

bool ProgramDriver::StartExe(const std::string& path, const std::string& arguments,
                             const std::string& folder) {
  std::string commandLine = "\"" + path + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process_) != FALSE;
}

std::vector<HWND> ProgramDriver::VisibleWindows() const {
  std::vector<HWND> windows = TopWindowsOf(process_.dwProcessId);
  std::erase_if(windows, [](HWND window) { return !IsWindowVisible(window); });
  return windows;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
  std::vector<HWND> found;
  WindowQuery query{processId, &found};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&query));
  return found;
}

void ProgramDriver::RecordVisibleWindows() {
  Record(VisibleWindows());
}

void ProgramDriver::Record(const std::vector<HWND>& windows) {
  for (HWND window : windows) {
    if (std::find(seen_.begin(), seen_.end(), window) != seen_.end()) continue;
    seen_.push_back(window);
    seenCaptions_.push_back(WindowText(window));
  }
}

HWND ProgramDriver::WaitForWindow(const char* className, const char* caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    // One snapshot serves both: a window appearing between two listings
    // would otherwise be found without being recorded as seen.
    const std::vector<HWND> windows = VisibleWindows();
    Record(windows);
    for (HWND window : windows) {
      if (ClassOf(window) == className && WindowText(window) == caption) return window;
    }
    if (WaitForSingleObject(process_.hProcess, kPollMs) == WAIT_OBJECT_0) return nullptr;
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool ProgramDriver::WaitForExit(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    RecordVisibleWindows();
    if (WaitForSingleObject(process_.hProcess, kPollMs) == WAIT_OBJECT_0) return true;
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

// Wine may signal the ended process a moment before its exit code is set.
DWORD ProgramDriver::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  const DWORD start = GetTickCount();
  while (GetExitCodeProcess(process_.hProcess, &code) && code == STILL_ACTIVE &&
         WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0 &&
         GetTickCount() - start < 2000) {
    Sleep(kPollMs);
  }
  return code;
}

void ProgramDriver::Kill() {
  if (process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
}
