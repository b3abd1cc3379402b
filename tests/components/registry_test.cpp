// The registry reader against Wine's real registry: a key of its own under
// HKEY_CURRENT_USER\Software, written here and deleted afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "registry.h"
#include "str_cat_delim.h"
#include "stream.h"

namespace {

constexpr char kTestKey[] = "Software\\BrumixTest";
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

enum : uint8_t { kInteger = 0, kText = 1, kReal = 2, kStream = 3 };

struct Sink : TKVComponent {
  std::vector<TData> received;
  void doGet(TData& data, uint16_t) { received.push_back(data); }
};

void SetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS)
      << name;
}

void SetWide(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
}

// Names and texts that no one code page holds, written as UTF-16.
void AddWideValues(HKEY key) {
  const wchar_t path[] = L"C:\\Пользователи\\Ωμέγα\\缓存";
  SetWide(key, L"Путь", REG_SZ, path, sizeof path);
  const wchar_t expand[] = L"%BRUMIX_TEST_DIR%\\Кэш";
  SetWide(key, L"Expanded", REG_EXPAND_SZ, expand, sizeof expand);
  // Half a character past the last whole one, and no zero.
  SetWide(key, L"OddBytes", REG_SZ, L"abcd", 5);
  HKEY sub = nullptr;
  ASSERT_EQ(RegCreateKeyExW(key, L"Ключ", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            ERROR_SUCCESS);
  SetWide(sub, L"Inner", REG_SZ, L"внутри", sizeof L"внутри");
  RegCloseKey(sub);
}

class RegistryReader : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    DeleteTestKey();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const char path[] = "C:\\users\\Temp\\Cache";
    SetValue(key, "Path", REG_SZ, path, sizeof path);
    const char expand[] = "%USERPROFILE%\\X";
    SetValue(key, "Expand", REG_EXPAND_SZ, expand, sizeof expand);
    const DWORD five = 5;
    SetValue(key, "Five", REG_DWORD, &five, sizeof five);
    const BYTE bytes[] = {'a', 'b', 0, 'c', 'd', 'e'};
    SetValue(key, "Bytes", REG_BINARY, bytes, sizeof bytes);
    SetValue(key, "NoZero", REG_SZ, "abcdef", 6);
    const double real = 2.5;
    SetValue(key, "Real", REG_BINARY, &real, sizeof real);
    const char seven[] = "7";
    SetValue(key, "Seven", REG_SZ, seven, sizeof seven);
    SetValue(key, "Empty", REG_BINARY, "", 0);
    const char fallback[] = "default";
    SetValue(key, "", REG_SZ, fallback, sizeof fallback);
    HKEY sub = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    const char inner[] = "inner";
    SetValue(sub, "Inner", REG_SZ, inner, sizeof inner);
    RegCloseKey(sub);
    AddWideValues(key);
    RegCloseKey(key);
    SetEnvironmentVariableW(L"BRUMIX_TEST_DIR", L"C:\\Ωμέγα");
  }
  void TearDown() override {
    DeleteTestKey();
    SetEnvironmentVariableW(L"BRUMIX_TEST_DIR", nullptr);
    SetHooksIdle();
  }

  static void DeleteTestKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\BrumixTest\\Sub");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\BrumixTest\\Ключ");
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  }

  // Reads the Value output as a linked reader would.
  TData Read(const char* valueName, uint8_t dataType, const char* key = kTestKey) {
    reader.Key = key;
    reader.ValueName = valueName;
    reader.DataType = dataType;
    TData result;
    ReadDataPlain(Link<&TKVRegistry::Value>(&reader, 0), result);
    return result;
  }

  TKVRegistry reader;
};

TEST_F(RegistryReader, TextComesOnlyFromStringsEndsAtTheFirstZeroAndIsExpanded) {
  TData path = Read("Path", kText);
  EXPECT_EQ(path.type, dtString);
  EXPECT_EQ(path.text, "C:\\users\\Temp\\Cache");
  char profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH), 0u);
  EXPECT_EQ(Read("Expand", kText).text, std::string(profile) + "\\X");
  EXPECT_EQ(Read("Seven", kText).text, "7");
  // Stored without its terminating zero: exactly the six bytes, nothing read past them.
  EXPECT_EQ(Read("NoZero", kText).text, "abcdef");
  // Numbers and bytes spell no folder: whatever their bytes, they are no text.
  EXPECT_EQ(Read("Five", kText).text, "");
  EXPECT_EQ(Read("Bytes", kText).text, "");
  EXPECT_EQ(Read("", kText).text, "default");
}

TEST_F(RegistryReader, KeysNamesAndTextsBeyondTheCodePageComeThroughAsUtf8) {
  const struct {
    const char* key;
    const char* name;
    const char* text;
  } cases[] = {
      {kTestKey, "Путь", "C:\\Пользователи\\Ωμέγα\\缓存"},
      {kTestKey, "Expanded", "C:\\Ωμέγα\\Кэш"},
      {kTestKey, "OddBytes", "ab"},
      {"Software\\BrumixTest\\Ключ", "Inner", "внутри"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.name, kText, c.key).text, c.text) << c.name;
  }
  // A string's bytes, read as anything else, are its UTF-8 text.
  EXPECT_EQ(Read("OddBytes", kInteger).intValue, 'a' | 'b' << 8);
}

TEST_F(RegistryReader, IntegerTakesFourBytesAndLongerDataGivesZero) {
  TData five = Read("Five", kInteger);
  EXPECT_EQ(five.type, dtInteger);
  EXPECT_EQ(five.intValue, 5);
  // "7" and its zero: two bytes, taken as the low bytes of the integer.
  EXPECT_EQ(Read("Seven", kInteger).intValue, '7');
  EXPECT_EQ(Read("Path", kInteger).intValue, 0);
  EXPECT_EQ(Read("Bytes", kInteger).intValue, 0);
  EXPECT_EQ(Read("Expand", kInteger).intValue, 0);
}

TEST_F(RegistryReader, RealTakesEightBytes) {
  TData real = Read("Real", kReal);
  EXPECT_EQ(real.type, dtReal);
  EXPECT_EQ(real.realValue, 2.5);
  EXPECT_EQ(Read("Five", kReal).realValue, 5 * 4.9406564584124654e-324);
  EXPECT_EQ(Read("Path", kReal).realValue, 0.0);
}

TEST_F(RegistryReader, MissingValueGivesTheZeroOfItsTypeNotNull) {
  TData integer = Read("Nothing", kInteger);
  EXPECT_EQ(integer.type, dtInteger);
  EXPECT_EQ(integer.intValue, 0);
  TData text = Read("Nothing", kText);
  EXPECT_EQ(text.type, dtString);
  EXPECT_EQ(text.text, "");
  TData real = Read("Nothing", kReal);
  EXPECT_EQ(real.type, dtReal);
  EXPECT_EQ(real.realValue, 0.0);
  TData stream = Read("Nothing", kStream);
  EXPECT_EQ(stream.type, dtStream);
  EXPECT_EQ(StreamOf(stream), nullptr);
  EXPECT_EQ(StreamOf(Read("Empty", kStream)), nullptr);
  // An empty path is the root key itself, which stays usable afterwards.
  EXPECT_EQ(Read("Nothing", kText, "").type, dtString);
  EXPECT_EQ(Read("Nothing", kText, "").type, dtString);
  EXPECT_EQ(Read("Five", kInteger).intValue, 5);
}

TEST_F(RegistryReader, MissingKeyGivesNull) {
  for (uint8_t type : {kInteger, kText, kReal, kStream}) {
    EXPECT_EQ(Read("Path", type, "Software\\BrumixTest\\Missing").type, dtNull);
  }
  // RootKey outside the table opens nothing.
  reader.RootKey = 9;
  EXPECT_EQ(Read("Path", kText).type, dtNull);
}

TEST_F(RegistryReader, LeadingBackslashAndSubkeysReadTheSameKey) {
  EXPECT_EQ(Read("Path", kText, "\\Software\\BrumixTest").text, "C:\\users\\Temp\\Cache");
  EXPECT_EQ(Read("Inner", kText, "Software\\BrumixTest\\Sub").text, "inner");
  // The key is closed between reads, so a relative path starts at the root again.
  EXPECT_EQ(Read("Inner", kText, "Sub").type, dtNull);
  reader.RootKey = 2;  // HKEY_LOCAL_MACHINE holds no such key
  EXPECT_EQ(Read("Path", kText).type, dtNull);
  reader.RootKey = 1;
  EXPECT_EQ(Read("Path", kText).text, "C:\\users\\Temp\\Cache");
}

TEST_F(RegistryReader, DoReadFiresWithNullForMissingKeyUnlessSkipped) {
  Sink sink;
  reader.onRead = Link<&Sink::doGet>(&sink, 0);
  reader.Key = "Software\\BrumixTest\\Missing";
  reader.ValueName = "Path";
  reader.DataType = kText;
  FireNull(Link<&TKVRegistry::doRead>(&reader, 0));
  ASSERT_EQ(sink.received.size(), 1u);
  EXPECT_EQ(sink.received[0].type, dtNull);
  EXPECT_EQ(ToString(sink.received[0]), "");

  reader.SkipMissingKey = 1;
  FireNull(Link<&TKVRegistry::doRead>(&reader, 0));
  EXPECT_EQ(sink.received.size(), 1u);

  // A key that exists fires with SkipMissingKey set, even for a missing value.
  reader.Key = kTestKey;
  reader.ValueName = "Nothing";
  FireNull(Link<&TKVRegistry::doRead>(&reader, 0));
  ASSERT_EQ(sink.received.size(), 2u);
  EXPECT_EQ(sink.received[1].type, dtString);
}

TEST_F(RegistryReader, DoReadTakesKeyThenValueNameFromTheEvent) {
  Sink sink;
  reader.onRead = Link<&Sink::doGet>(&sink, 0);
  reader.DataType = kInteger;
  TData incoming;
  SetString(incoming, kTestKey);
  TData second;
  SetString(second, "Five");
  incoming.next = &second;
  FireData(Link<&TKVRegistry::doRead>(&reader, 0), incoming);
  ASSERT_EQ(sink.received.size(), 1u);
  EXPECT_EQ(sink.received[0].intValue, 5);
}

TEST_F(RegistryReader, LinkedKeyInputWinsOverTheProperty) {
  TKVStrCatDelim keyPath;
  keyPath.Str1 = "Software";
  keyPath.Delimiter = "\\";
  keyPath.Str2 = "BrumixTest";
  FireNull(Link<&TKVStrCatDelim::doStrCat>(&keyPath, 0));
  reader.KeyLink = Link<&TKVStrCatDelim::Result>(&keyPath, 0);
  EXPECT_EQ(Read("Path", kText, "Software\\Elsewhere").text, "C:\\users\\Temp\\Cache");
}

TEST_F(RegistryReader, StreamHoldsAllBytesAndTheNextStreamReadFreesIt) {
  TData first = Read("Bytes", kStream);
  ASSERT_EQ(first.type, dtStream);
  auto* stream = static_cast<TStream*>(StreamOf(first));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->GetSize(), 6u);
  EXPECT_EQ(stream->Position, 0u);
  char bytes[8] = {};
  EXPECT_EQ(stream->Read(bytes, sizeof bytes), 6u);
  EXPECT_EQ(std::memcmp(bytes, "ab\0cde", 6), 0);

  bool freed = false;
  stream->AddFreeNotify([](void* data, TObj*) { *static_cast<bool*>(data) = true; }, &freed);
  // Reads of other types leave the stream alone.
  Read("Path", kText);
  EXPECT_FALSE(freed);
  TData second = Read("Path", kStream);
  EXPECT_TRUE(freed);
  auto* next = static_cast<TStream*>(StreamOf(second));
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->GetSize(), sizeof "C:\\users\\Temp\\Cache");
}

TEST_F(RegistryReader, KeyLayerOpensRelativeToTheOpenKeyAndRecordsThePath) {
  TKVRegKey key;
  ASSERT_TRUE(key.Open(kTestKey));
  EXPECT_EQ(key.Path(), kTestKey);
  ASSERT_TRUE(key.Open("Sub"));
  EXPECT_EQ(key.Path(), "Software\\BrumixTest\\Sub");
  std::string bytes;
  ASSERT_TRUE(key.QueryBytes("Inner", bytes));
  EXPECT_EQ(bytes, std::string("inner", sizeof "inner"));
  // A failed open keeps the key that was open.
  EXPECT_FALSE(key.Open("Missing"));
  EXPECT_EQ(key.Path(), "Software\\BrumixTest\\Sub");
  // A leading backslash starts from the root again.
  ASSERT_TRUE(key.Open("\\Software\\BrumixTest"));
  EXPECT_EQ(key.Path(), kTestKey);
  int32_t five = 0;
  EXPECT_TRUE(key.QueryFixed("Five", &five, sizeof five));
  EXPECT_EQ(five, 5);
  EXPECT_FALSE(key.QueryFixed("Path", &five, sizeof five));
  key.Close();
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(key.Path(), "");
}

// The two values the cleaner reads, as the prefix itself has them.
TEST_F(RegistryReader, ReadsThePrefixShellFolders) {
  for (const char* name : {"Cache", "Local AppData"}) {
    TData value = Read(name, kText, kShellFolders);
    ASSERT_EQ(value.type, dtString) << name;
    EXPECT_EQ(value.text.substr(0, 9), "C:\\users\\") << name;
    EXPECT_EQ(value.text.find('\0'), std::string::npos) << name;
    char expected[MAX_PATH] = {};
    DWORD size = sizeof expected;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kShellFolders, name, RRF_RT_ANY | RRF_NOEXPAND,
                           nullptr, expected, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value.text, expected) << name;
  }
}

}  // namespace
