#include "running_program.h"

#include <windows.h>

#include <tlhelp32.h>

#include <string>

namespace {

// Image names are plain ASCII here: the cleaner's own table names them.
bool SameName(const wchar_t* exeFile, std::string_view imageName) {
  std::wstring name(exeFile);
  // Some systems report the whole path of the image.
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  if (name.size() != imageName.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const wchar_t a = name[i] >= L'A' && name[i] <= L'Z' ? name[i] - L'A' + L'a' : name[i];
    const char c = imageName[i];
    const wchar_t b = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : static_cast<unsigned char>(c);
    if (a != b) return false;
  }
  return true;
}

}  // namespace

bool IsProgramRunning(std::string_view imageName) {
  if (imageName.empty()) return false;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool running = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
       more = Process32NextW(snapshot, &entry)) {
    running = SameName(entry.szExeFile, imageName);
  }
  CloseHandle(snapshot);
  return running;
}
