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

std::wstring VerbatimPath(const std::wstring& path) {
  if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
  const std::wstring full = FullPath(path);
  if (full.empty()) return {};
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC" + full.substr(1);
  return L"\\\\?\\" + full;
}

std::wstring AnyLengthPath(const std::wstring& path) {
  if (path.size() < MAX_PATH) return path;
  const std::wstring verbatim = VerbatimPath(path);
  return verbatim.empty() ? path : verbatim;
}

HANDLE FindFirstEntry(const std::wstring& pattern, WIN32_FIND_DATAW& entry) {
  static bool fast = true;
  if (fast) {
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return find;
    fast = false;
  }
  return FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &entry, FindExSearchNameMatch,
                          nullptr, 0);
}

HANDLE OpenForQuery(const std::wstring& path) {
  return CreateFileW(AnyLengthPath(path).c_str(), 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

namespace {

// Wine 8's GetFinalPathNameByHandleW answers nothing for a path past MAX_PATH
// (it asks into a buffer of that size). The object's own name, which Wine
// gives as "\??\C:\...", is the same path.
std::wstring ObjectPathOf(HANDLE entry) {
  using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto queryObject = reinterpret_cast<QueryObject>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll"), "NtQueryObject")));
  constexpr int kObjectNameInformation = 1;
  struct Name {
    USHORT length, maximum;
    wchar_t* text;
  };
  // Kept between calls: a deep tree asks for thousands of names.
  static std::wstring buffer(32768 + sizeof(Name), L'\0');
  ULONG size = 0;
  if (!queryObject ||
      queryObject(entry, kObjectNameInformation, buffer.data(),
                  static_cast<ULONG>(buffer.size() * sizeof(wchar_t)), &size) != 0) {
    return {};
  }
  const auto* name = reinterpret_cast<const Name*>(buffer.data());
  const std::wstring_view path(name->text, name->length / sizeof(wchar_t));
  if (!path.starts_with(L"\\??\\")) return {};
  return L"\\\\?\\" + std::wstring(path.substr(4));
}

}  // namespace

std::wstring FinalPathOf(HANDLE entry, const std::wstring& openedAs) {
  using FinalPathName = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static const auto finalPathName = reinterpret_cast<FinalPathName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "GetFinalPathNameByHandleW")));
  if (!finalPathName) return openedAs;
  // Where Wine is sure to answer nothing, it is not asked first.
  if (openedAs.size() >= MAX_PATH) {
    if (std::wstring object = ObjectPathOf(entry); !object.empty()) return object;
  }
  const std::wstring final = TextAnswer(
      [&](wchar_t* buffer, DWORD size) { return finalPathName(entry, buffer, size, 0); });
  return final.empty() ? ObjectPathOf(entry) : final;
}
