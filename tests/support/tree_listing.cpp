#include "tree_listing.h"

#include <windows.h>

#include <algorithm>

#include "text_conv.h"

namespace {

// "\\?\" lifts the length limit and keeps trailing dots and spaces of names.
std::wstring Long(const std::wstring& path) {
  return L"\\\\?\\" + path;
}

bool IsLink(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_REPARSE_POINT;
}
bool IsFolder(DWORD attributes) {
  return attributes & FILE_ATTRIBUTE_DIRECTORY;
}

// Calls visit(path, entry) for every entry below the folder, depth first,
// never entering a link.
template <class Visit>
void Walk(const std::wstring& folder, Visit& visit) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Long(folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    const bool enter = visit(path, entry);
    if (enter && IsFolder(entry.dwFileAttributes) && !IsLink(entry.dwFileAttributes)) {
      Walk(path, visit);
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

uint64_t SizeOf(const WIN32_FIND_DATAW& entry) {
  return (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
}

// FNV-1a over the content; an unreadable file hashes as its error.
std::string ContentHash(const std::wstring& path) {
  HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "unreadable " + std::to_string(GetLastError());
  uint64_t hash = 14695981039346656037ULL;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    for (DWORD i = 0; i < read; ++i)
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ULL;
  }
  CloseHandle(file);
  char text[17];
  wsprintfA(text, "%08lx%08lx", static_cast<unsigned long>(hash >> 32),
            static_cast<unsigned long>(hash));
  return text;
}

std::wstring Folded(std::wstring path) {
  CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

}  // namespace

TreeListing ListTree(const std::string& folder, const std::vector<std::string>& excluded) {
  std::vector<std::wstring> skipped;
  for (const std::string& path : excluded)
    skipped.push_back(Folded(ToWstr(path)));
  const std::wstring root = ToWstr(folder);
  TreeListing listing;
  auto visit = [&](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
    const std::string key = ToUtf8(path.substr(root.size() + 1));
    if (IsLink(entry.dwFileAttributes)) {
      listing[key] = "link";
    } else if (IsFolder(entry.dwFileAttributes)) {
      listing[key] = "folder";
    } else {
      listing[key] = std::to_string(SizeOf(entry)) + " bytes, " + ContentHash(path);
    }
    return std::find(skipped.begin(), skipped.end(), Folded(path)) == skipped.end();
  };
  Walk(root, visit);
  return listing;
}

std::string ListingChanges(const TreeListing& before, const TreeListing& after) {
  std::string changes;
  for (const auto& [path, line] : before) {
    const auto now = after.find(path);
    if (now == after.end()) {
      changes += "gone: " + path + " (" + line + ")\n";
    } else if (now->second != line) {
      changes += "changed: " + path + " (" + line + " -> " + now->second + ")\n";
    }
  }
  for (const auto& [path, line] : after) {
    if (!before.count(path)) changes += "new: " + path + " (" + line + ")\n";
  }
  return changes;
}

uint64_t BytesUnder(const std::string& folder, const std::set<std::string>& fileLinks) {
  std::vector<std::wstring> links;
  for (const std::string& link : fileLinks)
    links.push_back(Folded(ToWstr(link)));
  uint64_t total = 0;
  auto visit = [&](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
    const bool counted = !IsFolder(entry.dwFileAttributes) && !IsLink(entry.dwFileAttributes) &&
                         std::find(links.begin(), links.end(), Folded(path)) == links.end();
    if (counted) total += SizeOf(entry);
    return true;
  };
  Walk(ToWstr(folder), visit);
  return total;
}

bool MakeFileAnyLength(const std::string& path, uint64_t size) {
  const std::wstring wide = ToWstr(path);
  // Every folder from the drive's first one down; those that exist refuse.
  for (size_t slash = wide.find(L'\\', 3); slash != std::wstring::npos;
       slash = wide.find(L'\\', slash + 1)) {
    CreateDirectoryW(Long(wide.substr(0, slash)).c_str(), nullptr);
  }
  HANDLE file = CreateFileW(Long(wide).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return sized;
}

bool ExistsAnyLength(const std::string& path) {
  return GetFileAttributesW(Long(ToWstr(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}
