// Text as the W calls give it back, and paths as they take them at any
// length; shared by everything that walks, resolves and reads the system.
#pragma once

#include <windows.h>

#include <string>

// Win32's way with text answers: the length on success, the size needed
// (its zero included) when the buffer is too small, 0 on failure.
template <class Call>
[[nodiscard]] std::wstring TextAnswer(Call call) {
  std::wstring text(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return {};
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length);
  }
  return {};
}

// Empty when the variable is unset or empty.
[[nodiscard]] std::wstring EnvironmentValue(const wchar_t* name);

// The path made absolute as the system reads it ("." and ".." steps gone,
// "/" made "\"); empty when it cannot.
[[nodiscard]] std::wstring FullPath(const std::wstring& path);

// Below MAX_PATH characters the path as it is. From there the system reads a
// path only in its "\\?\" form ("\\?\UNC\server\share\..." for a share),
// which it takes as written: the path is made absolute and plain first.
[[nodiscard]] std::wstring AnyLengthPath(const std::wstring& path);
// The "\\?\" form at any length: the system then also reaches names it would
// trim ("x." and "x " read as "x"). Empty when the path cannot be made absolute.
[[nodiscard]] std::wstring VerbatimPath(const std::wstring& path);

// FindFirstFileExW the fast way (no short names, large fetches), or the plain
// way on a system that refuses it (before Windows 7).
[[nodiscard]] HANDLE FindFirstEntry(const std::wstring& pattern, WIN32_FIND_DATAW& entry);

// Opens a file or folder for asking about it: no access is asked for, so an
// entry held open without sharing opens too. Any length of path.
[[nodiscard]] HANDLE OpenForQuery(const std::wstring& path);

// Where an open entry finally leads, links followed, as the system names it
// ("\\?\C:\..."); empty when it cannot tell. Systems before Vista lack the
// call, and have no links to follow there but junctions: openedAs then.
[[nodiscard]] std::wstring FinalPathOf(HANDLE entry, const std::wstring& openedAs);
