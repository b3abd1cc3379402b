#include "win_text.h"

std::wstring EnvironmentValue(const wchar_t* name) {
  return TextAnswer(
      [&](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(name, buffer, size); });
}

std::wstring FullPath(const std::wstring& path) {
  return TextAnswer([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
  });
}

std::wstring AnyLengthPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
    return path;
  }
  const std::wstring full = FullPath(path);
  if (full.empty()) return path;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC" + full.substr(1);
  return L"\\\\?\\" + full;
}

HANDLE OpenForQuery(const std::wstring& path) {
  return CreateFileW(AnyLengthPath(path).c_str(), 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::wstring FinalPathOf(HANDLE entry, const std::wstring& openedAs) {
  using FinalPathName = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static const auto finalPathName = reinterpret_cast<FinalPathName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "GetFinalPathNameByHandleW")));
  if (!finalPathName) return openedAs;
  return TextAnswer(
      [&](wchar_t* buffer, DWORD size) { return finalPathName(entry, buffer, size, 0); });
}
