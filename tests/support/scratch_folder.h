// Real folders and files for the file-system tests: a scratch folder under the
// prefix's temporary path, Linux-side directory links, and removal that never
// follows a link.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "text_conv.h"

namespace scratch {

inline bool Exists(const std::string& path) {
  return GetFileAttributesW(ToWstr(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool WriteFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileW(ToWstr(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == content.size();
}

inline bool MakeFolder(const std::string& path) {
  return CreateDirectoryW(ToWstr(path).c_str(), nullptr);
}

// Polls with a deadline: the Linux helpers below run as separate processes.
template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The Linux path Wine keeps a Windows path at; empty when not under Wine.
inline std::string UnixPath(const std::string& path) {
  using UnixName = char*(CDECL*)(const WCHAR*);
  const auto toUnix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  char* unixName = toUnix(ToWstr(path).c_str());
  if (!unixName) return {};
  std::string result = unixName;
  HeapFree(GetProcessHeap(), 0, unixName);
  return result;
}

// Windows command-line quoting: Wine splits it into the Linux argv.
inline std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// Wine starts a Linux program given by its Z: path like any other, but
// without a Windows process: Wine 8 answers TRUE and leaves stack garbage in
// the PROCESS_INFORMATION (hThread 0x16, a live handle of the caller's own,
// closing which silently ended whole test runs), so none of it is touched.
inline bool RunLinux(const std::string& program, const std::string& arguments) {
  std::string commandLine = program + " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  return CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process) != FALSE;
}

// Wine 8's CreateSymbolicLinkA answers TRUE and makes nothing, so the link is
// made on the Linux side. Wine shows a link to a folder with the attributes
// 0x410, a link to a file as the file itself.
inline bool MakeLink(const std::string& link, const std::string& target) {
  const std::string unixLink = UnixPath(link);
  const std::string unixTarget = UnixPath(target);
  if (unixLink.empty() || unixTarget.empty()) return false;
  if (!RunLinux("Z:\\bin\\ln", "-s " + Quoted(unixTarget) + " " + Quoted(unixLink))) return false;
  return WaitFor([&] { return Exists(link); });
}

// Whether a folder's listing holds the name: unlike the attributes, this
// also sees a link whose target is gone.
inline bool Listed(const std::string& path) {
  WIN32_FIND_DATAW entry;
  HANDLE find =
      FindFirstFileW(ToWstr(path.substr(0, path.rfind('\\') + 1).append("*")).c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  const std::string name = path.substr(path.rfind('\\') + 1);
  bool found = false;
  do {
    found = name == ToUtf8(entry.cFileName);
  } while (!found && FindNextFileW(find, &entry));
  FindClose(find);
  return found;
}

// Every Win32 deletion of a link acts on its target under Wine: the link goes
// through Linux's rm, which never follows it. Wine's handle of a Linux process
// cannot be waited for, so the listing is polled.
inline bool RemoveLink(const std::string& link) {
  const std::string unixLink = UnixPath(link);
  if (unixLink.empty() || !RunLinux("Z:\\bin\\rm", "-f " + Quoted(unixLink))) return false;
  return WaitFor([&] { return !Listed(link); });
}

inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(ToWstr(folder + "\\*.*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = ToUtf8(entry.cFileName);
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(path);
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(ToWstr(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(ToWstr(path).c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(ToWstr(folder).c_str());
}

// A fresh folder under the temporary path, removed with all it holds.
class ScratchFolder {
 public:
  ScratchFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = ToUtf8(temp) + "brumix_fs_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial);
    RemoveTree(path_);
    MakeFolder(path_);
  }
  // Wine lists no link whose target is gone, so whatever the walk could not
  // see goes through Linux's rm.
  ~ScratchFolder() {
    RemoveTree(path_);
    if (!Exists(path_)) return;
    const std::string unixPath = UnixPath(path_);
    if (!unixPath.empty() && RunLinux("Z:\\bin\\rm", "-rf " + Quoted(unixPath))) {
      WaitFor([&] { return !Exists(path_); });
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Without a trailing "\".
  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

}  // namespace scratch
