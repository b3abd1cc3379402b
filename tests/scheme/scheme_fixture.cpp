#include "scheme_fixture.h"

#include "control.h"
#include "start_list.h"

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::optional<std::string> ReadShellFolder(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return std::string(value);
}

std::string Environment(const char* name) {
  char value[MAX_PATH * 2] = {};
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

}  // namespace

void SchemeTest::SetUp() {
  for (const char* name : {"Cache", "Local AppData"})
    saved_.push_back({name, ReadShellFolder(name)});
  savedTmp_ = Environment("TMP");
  savedTemp_ = Environment("TEMP");

  MakeFolders(TempFolder());
  MakeFolders(IEFolder());
  MakeFolders(LocalAppData());
  MakeFolders(Outside());
  SetShellFolder("Cache", IEFolder());
  SetShellFolder("Local AppData", LocalAppData());
  // GetTempPathA answers TMP first, then TEMP.
  SetEnvironmentVariableA("TMP", TempFolder().c_str());
  SetEnvironmentVariableA("TEMP", TempFolder().c_str());

  scheme_ = std::make_unique<TClassMainForm_25378D0>();
  // The program's start step: links go live and the form shows.
  SetHooksWorking();
  RunStartList();
}

void SchemeTest::TearDown() {
  SetHooksIdle();
  FreeApplication();
  scheme_.reset();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) DispatchMessageA(&msg);
  }
  SetEnvironmentVariableA("TMP", savedTmp_.c_str());
  SetEnvironmentVariableA("TEMP", savedTemp_.c_str());
  for (const SavedValue& saved : saved_) {
    if (saved.value) {
      SetShellFolder(saved.name, *saved.value);
    } else {
      DeleteShellFolder(saved.name);
    }
  }
}

std::string SchemeTest::StatusText() const {
  TControl* bar = scheme_->formMain->Control->StatusBar;
  if (!bar) return {};
  char text[256] = {};
  SendMessageA(bar->Handle, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

void SchemeTest::FreeApplication() {
  TControl* app = MainWindowControl;
  MainWindowControl = nullptr;
  if (app) app->Free();
}

std::vector<Target> SchemeTest::Targets() const {
  return {
      {"temp", TempFolder()},
      {"ie", IEFolder()},
      {"chrome", BelowLocal("Google\\Chrome\\User Data\\Default\\Cache")},
      {"firefox", BelowLocal("Mozilla\\Firefox\\Profiles")},
      {"yandex", BelowLocal("Yandex\\YandexBrowser\\User Data\\Default\\Cache")},
      {"vivaldi", BelowLocal("Vivaldi\\User Data\\Default\\Cache")},
      {"opera12", BelowLocal("Opera\\Opera\\cache")},
      {"opera20", BelowLocal("Opera Software\\Opera Stable")},
  };
}

void SchemeTest::MakeFolders(const std::string& path) const {
  for (size_t pos = root_.Path().size() + 1; pos != std::string::npos;) {
    pos = path.find('\\', pos + 1);
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  }
}

void SchemeTest::MakeFile(const std::string& path, uint64_t size) const {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  CloseHandle(file);
}

void SchemeTest::FillTarget(const std::string& folder) const {
  MakeFolders(folder + "\\sub\\nested");
  MakeFile(folder + "\\a.tmp");
  MakeFile(folder + "\\b.dat");
  MakeFile(folder + "\\c");
  MakeFile(folder + "\\sub\\d.tmp");
  MakeFile(folder + "\\sub\\nested\\e.tmp");
}

bool SchemeTest::IsEmptyFolder(const std::string& folder) const {
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

void SchemeTest::SetShellFolder(const char* valueName, const std::string& value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

void SchemeTest::DeleteShellFolder(const char* valueName) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, valueName);
  RegCloseKey(key);
}
