#include "target_tree.h"

#include "text_conv.h"
#include "tree_listing.h"

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string Environment(const char* name) {
  wchar_t value[MAX_PATH * 2] = {};
  GetEnvironmentVariableW(ToWstr(name).c_str(), value, MAX_PATH * 2);
  return ToUtf8(value);
}

void SetEnvironment(const char* name, const std::string& value) {
  SetEnvironmentVariableW(ToWstr(name).c_str(), ToWstr(value).c_str());
}

// The value's type and bytes; no type when it is missing.
std::optional<DWORD> ReadValue(const char* keyPath, const char* name, std::string& bytes) {
  bytes.clear();
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWstr(keyPath).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring valueName = ToWstr(name);
  DWORD type = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    bytes.resize(size);
    result = RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(bytes.data()), &size);
    bytes.resize(size);
  }
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return type;
}

bool WriteValue(const char* keyPath, const char* name, DWORD type, const std::string& bytes) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, ToWstr(keyPath).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result =
      RegSetValueExW(key, ToWstr(name).c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void DeleteValue(const char* keyPath, const char* name) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWstr(keyPath).c_str(), 0, KEY_WRITE, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  RegDeleteValueW(key, ToWstr(name).c_str());
  RegCloseKey(key);
}

}  // namespace

std::string TextValueBytes(const std::string& text) {
  const std::wstring wide = ToWstr(text);
  return std::string(reinterpret_cast<const char*>(wide.c_str()),
                     (wide.size() + 1) * sizeof(wchar_t));
}

std::optional<std::string> ReadShellFolder(const char* valueName) {
  std::string bytes;
  if (!ReadValue(kShellFolders, valueName, bytes)) return std::nullopt;
  bytes.resize(bytes.size() / sizeof(wchar_t) * sizeof(wchar_t));
  const std::wstring_view wide(reinterpret_cast<const wchar_t*>(bytes.data()),
                               bytes.size() / sizeof(wchar_t));
  return ToUtf8(wide.substr(0, wide.find(L'\0')));
}

bool WriteShellFolder(const char* valueName, const std::string& value, DWORD type) {
  return WriteValue(kShellFolders, valueName, type, TextValueBytes(value));
}

bool WriteShellFolderBytes(const char* valueName, DWORD type, const std::string& bytes) {
  return WriteValue(kShellFolders, valueName, type, bytes);
}

void DeleteShellFolder(const char* valueName) {
  DeleteValue(kShellFolders, valueName);
}

PointedFolders::PointedFolders(const std::string& cache, const std::string& localAppData,
                               const std::string& temp)
    : savedTmp_(Environment("TMP")), savedTemp_(Environment("TEMP")) {
  Point("Cache", cache);
  Point("Local AppData", localAppData);
  // GetTempPath answers TMP first, then TEMP; a program started from here
  // inherits both.
  SetEnvironment("TMP", temp);
  SetEnvironment("TEMP", temp);
}

void PointedFolders::Point(const char* name, const std::string& folder) {
  for (const char* key : {kUserShellFolders, kShellFolders}) {
    SavedValue saved{key, name, std::nullopt, {}};
    saved.type = ReadValue(key, name, saved.bytes);
    saved_.push_back(saved);
    WriteValue(key, name, REG_SZ, TextValueBytes(folder));
  }
}

PointedFolders::~PointedFolders() {
  SetEnvironment("TMP", savedTmp_);
  SetEnvironment("TEMP", savedTemp_);
  for (const SavedValue& saved : saved_) {
    if (saved.type) {
      WriteValue(saved.key, saved.name, *saved.type, saved.bytes);
    } else {
      DeleteValue(saved.key, saved.name);
    }
  }
}

TargetTree::TargetTree(const std::string& home)
    : base_(home.empty() ? root_.Path() : root_ / home) {
  for (const TargetPlace& place : kTargetPlaces) {
    targets_.push_back({place.name, base_ + "\\" + place.folder});
    MakeFolders(targets_.back().folder);
  }
  MakeFolders(Outside());
  pointed_.emplace(Folder("ie"), LocalAppData(), Folder("temp"));
}

TargetTree::~TargetTree() = default;

std::string TargetTree::Folder(const std::string& name) const {
  for (const CleaningTarget& target : targets_) {
    if (name == target.name) return target.folder;
  }
  return {};
}

bool TargetTree::MakeFolders(const std::string& path) const {
  for (size_t pos = root_.Path().size(); pos != std::string::npos;) {
    pos = path.find('\\', pos + 1);
    CreateDirectoryW(ToWstr(path.substr(0, pos)).c_str(), nullptr);
  }
  return scratch::Exists(path);
}

bool TargetTree::MakeFile(const std::string& path, uint64_t size) {
  return MakeFileAnyLength(path, size);
}

bool TargetTree::IsEmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(ToWstr(folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && FindNextFileW(find, &entry));
  FindClose(find);
  return empty;
}
