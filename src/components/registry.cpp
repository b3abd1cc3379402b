#include "registry.h"

#include <iterator>
#include <utility>

#include "stream.h"

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
  if (RegOpenKeyExA(base, std::string(path).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
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

bool TKVRegKey::QueryBytes(const std::string& name, std::string& bytes) const {
  bytes.clear();
  DWORD size = 0;
  if (RegQueryValueExA(current_, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (size == 0) return true;
  bytes.resize(size);
  if (RegQueryValueExA(current_, name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS) {
    bytes.clear();
    return false;
  }
  // The second answer is the exact length; the first may be an upper bound.
  bytes.resize(size);
  return true;
}

bool TKVRegKey::QueryFixed(const std::string& name, void* buffer, DWORD size) const {
  return RegQueryValueExA(current_, name.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer),
                          &size) == ERROR_SUCCESS;
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
    case 1: {
      std::string text;
      if (!key_.QueryBytes(name, text)) text.clear();
      // Whatever the value's type, the text ends at its first zero byte: the
      // string kinds end there, and a zero inside a text would silently cut
      // every path later joined to it. Expandable strings stay unexpanded; a
      // string stored without its zero keeps exactly the bytes returned.
      const size_t zero = text.find('\0');
      if (zero != std::string::npos) text.resize(zero);
      SetString(result, text);
      break;
    }
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
