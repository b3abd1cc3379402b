#include "registry.h"

#include <cstring>
#include <iterator>
#include <utility>

#include "stream.h"
#include "text_conv.h"
#include "win_text.h"

namespace {

// The component only ever reads.
static_assert(KEY_READ == 0x20019);

// HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_CURRENT_CONFIG, indexed by RootKey.
constexpr ULONG_PTR kRootKeys[] = {0x80000000, 0x80000001, 0x80000002, 0x80000003, 0x80000005};

// Null for an index outside the table: such a reader opens nothing.
HKEY RootFromIndex(uint8_t index) {
  if (index >= std::size(kRootKeys)) return nullptr;
  return reinterpret_cast<HKEY>(kRootKeys[index]);
}

// "%USERPROFILE%\X" as the environment has it; a name that is not set
// stays as written, as the system leaves it.
std::string Expanded(const std::string& text) {
  const std::wstring wide = ToWstr(text);
  return ToUtf8(TextAnswer([&](wchar_t* buffer, DWORD size) {
    // Its answer counts the zero even when the text fits.
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), buffer, size);
    return needed != 0 && needed <= size ? needed - 1 : needed;
  }));
}

bool IsStringKind(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The W call gives the string kinds in UTF-16, and the program's texts are
// UTF-8: they become that, zeros and all, as far as the data goes. A value
// stored without its terminating zero, or with an odd byte at its end, ends
// with its last whole character; nothing past the data is read.
std::string AsProgramText(const std::string& data) {
  std::wstring units(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(units.data(), data.data(), units.size() * sizeof(wchar_t));
  return ToUtf8(units);
}

bool IsPredefined(HKEY key) {
  return reinterpret_cast<ULONG_PTR>(key) >= 0x80000000;
}

}  // namespace

TKVRegKey::~TKVRegKey() {
  Close();
}

void TKVRegKey::SetRoot(HKEY root) {
  if (root == root_) return;
  root_ = root;
  Close();
}

bool TKVRegKey::Open(std::string_view path) {
  const bool absolute = !path.empty() && path.front() == '\\';
  if (absolute) path.remove_prefix(1);
  const bool relative = !absolute && current_;
  HKEY base = relative ? current_ : root_;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(base, ToWstr(path).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    return false;
  }
  std::string openedPath = relative ? path_ + "\\" + std::string(path) : std::string(path);
  Close();
  current_ = opened;
  path_ = std::move(openedPath);
  return true;
}

void TKVRegKey::Close() {
  // An empty path opens the root itself, and a predefined key is not ours to close.
  if (current_ && !IsPredefined(current_)) RegCloseKey(current_);
  current_ = nullptr;
  path_.clear();
}

bool TKVRegKey::QueryBytes(const std::string& name, std::string& bytes, DWORD* type) const {
  DWORD kind = REG_NONE;
  if (!QueryStored(ToWstr(name), bytes, kind)) return false;
  if (IsStringKind(kind)) bytes = AsProgramText(bytes);
  if (type) *type = kind;
  return true;
}

bool TKVRegKey::QueryStored(const std::wstring& name, std::string& bytes, DWORD& type) const {
  bytes.clear();
  DWORD size = 0;
  if (RegQueryValueExW(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (size == 0) return true;
  bytes.resize(size);
  if (RegQueryValueExW(current_, name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS) {
    bytes.clear();
    return false;
  }
  // The second answer is the exact length; the first may be an upper bound.
  bytes.resize(size);
  return true;
}

// A string value is measured as the program's text: in UTF-8 bytes.
bool TKVRegKey::QueryFixed(const std::string& name, void* buffer, DWORD size) const {
  std::string bytes;
  if (!QueryBytes(name, bytes) || bytes.size() > size) return false;
  std::memcpy(buffer, bytes.data(), bytes.size());
  return true;
}

TKVRegistry::~TKVRegistry() {
  FreeStream();
}

void TKVRegistry::doRead(TData& data, uint16_t) {
  TData result;
  const bool found = ReadValue(data, result);
  if (!SkipMissingKey || found) FireData(onRead, result);
}

void TKVRegistry::Value(TData& data, uint16_t) {
  ReadValue(data, data);
}

bool TKVRegistry::ReadValue(TData& incoming, TData& result) {
  // First: when the reader's record is both, the inputs must not see its old value.
  SetNull(result);
  const HKEY root = RootFromIndex(RootKey);
  if (!root) return false;
  key_.SetRoot(root);
  const std::string path = ReadString(incoming, KeyLink, Key);
  if (!key_.Open(path)) return false;
  const std::string name = ReadString(incoming, ValueNameLink, ValueName);
  ReadTyped(name, result);
  // No key stays open between reads.
  key_.Close();
  return true;
}

void TKVRegistry::ReadTyped(const std::string& name, TData& result) {
  switch (DataType) {
    case 0: {
      int32_t value = 0;
      if (!key_.QueryFixed(name, &value, sizeof value)) value = 0;
      SetInteger(result, value);
      break;
    }
    case 1:
      SetString(result, ReadText(name));
      break;
    case 2: {
      double value = 0.0;
      if (!key_.QueryFixed(name, &value, sizeof value)) value = 0.0;
      SetReal(result, value);
      break;
    }
    case 3:
      ReadStream(name, result);
      break;
    default:
      break;
  }
}

// Only the string kinds are text. The bytes of a number, a binary value or a
// list can spell anything, "C:\" too, and a folder path read from them would
// point a cleaner wherever they happen to spell: they give the empty text.
std::string TKVRegistry::ReadText(const std::string& name) const {
  std::string text;
  DWORD type = REG_NONE;
  if (!key_.QueryBytes(name, text, &type) || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  // The text ends at its first zero: a zero inside would silently cut every
  // path later joined to it. A string stored without its zero keeps every
  // whole character of its data.
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return type == REG_EXPAND_SZ ? Expanded(text) : text;
}

void TKVRegistry::ReadStream(const std::string& name, TData& result) {
  std::string bytes;
  if (!key_.QueryBytes(name, bytes) || bytes.empty()) {
    SetStream(result, nullptr);
    return;
  }
  FreeStream();
  stream_ = NewMemoryStream();
  stream_->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream_->Seek(0, kSeekFromStart);
  SetStream(result, stream_);
}

void TKVRegistry::FreeStream() {
  if (stream_) stream_->Free();
  stream_ = nullptr;
}
