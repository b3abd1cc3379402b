#include "target_tree.h"

#include "tree_listing.h"

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Environment(const char* name) {
  char value[MAX_PATH * 2] = {};
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

}  // namespace

std::optional<std::string> ReadShellFolder(const char* valueName) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - 1;
  const LONG result =
      RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return std::string(value);
}

bool WriteShellFolder(const char* valueName, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result =
      RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void DeleteShellFolder(const char* valueName) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, valueName);
  RegCloseKey(key);
}

TargetTree::TargetTree() {
  const std::string local = LocalAppData();
  targets_ = {
      {"ie", root_ / "ie"},
      {"temp", root_ / "temp"},
      {"chrome", local + "\\Google\\Chrome\\User Data\\Default\\Cache"},
      {"firefox", local + "\\Mozilla\\Firefox\\Profiles"},
      {"yandex", local + "\\Yandex\\YandexBrowser\\User Data\\Default\\Cache"},
      {"vivaldi", local + "\\Vivaldi\\User Data\\Default\\Cache"},
      {"opera12", local + "\\Opera\\Opera\\cache"},
      {"opera20", local + "\\Opera Software\\Opera Stable"},
  };
  for (const CleaningTarget& target : targets_)
    MakeFolders(target.folder);
  MakeFolders(Outside());

  for (const char* name : {"Cache", "Local AppData"})
    savedShellFolders_.push_back({name, ReadShellFolder(name)});
  WriteShellFolder("Cache", Folder("ie"));
  WriteShellFolder("Local AppData", local);
  // GetTempPathA answers TMP first, then TEMP; a program started from here
  // inherits both.
  savedTmp_ = Environment("TMP");
  savedTemp_ = Environment("TEMP");
  SetEnvironmentVariableA("TMP", Folder("temp").c_str());
  SetEnvironmentVariableA("TEMP", Folder("temp").c_str());
}

TargetTree::~TargetTree() {
  SetEnvironmentVariableA("TMP", savedTmp_.c_str());
  SetEnvironmentVariableA("TEMP", savedTemp_.c_str());
  for (const SavedValue& saved : savedShellFolders_) {
    if (saved.value) {
      WriteShellFolder(saved.name, *saved.value);
    } else {
      DeleteShellFolder(saved.name);
    }
  }
}

std::string TargetTree::Folder(const std::string& name) const {
  for (const CleaningTarget& target : targets_) {
    if (name == target.name) return target.folder;
  }
  return {};
}

bool TargetTree::MakeFolders(const std::string& path) const {
  for (size_t pos = root_.Path().size(); pos != std::string::npos;) {
    pos = path.find('\\', pos + 1);
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  }
  return scratch::Exists(path);
}

bool TargetTree::MakeFile(const std::string& path, uint64_t size) {
  return MakeFileAnyLength(path, size);
}

bool TargetTree::IsEmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") empty = false;
  } while (empty && FindNextFileA(find, &entry));
  FindClose(find);
  return empty;
}
