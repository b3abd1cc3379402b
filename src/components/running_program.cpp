#include "running_program.h"

#include <windows.h>

#include <tlhelp32.h>

#include <string>

#include "text_conv.h"

namespace {

// Image names are plain ASCII here, the cleaner's own table names them: only
// A to Z are taken for a to z.
wchar_t LowerAscii(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
}

bool SameName(const wchar_t* exeFile, std::wstring_view imageName) {
  std::wstring_view name(exeFile);
  // Some systems report the whole path of the image.
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
  if (name.size() != imageName.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(name[i]) != LowerAscii(imageName[i])) return false;
  }
  return true;
}

}  // namespace

bool IsProgramRunning(std::string_view imageName) {
  if (imageName.empty()) return false;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  const std::wstring wideName = ToWstr(imageName);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool running = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
       more = Process32NextW(snapshot, &entry)) {
    running = SameName(entry.szExeFile, wideName);
  }
  CloseHandle(snapshot);
  return running;
}
