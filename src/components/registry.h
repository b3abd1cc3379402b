// TKVRegistry: reads one registry value and hands it on by event or as a data
// output, over TKVRegKey, its own small read-only key layer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "component.h"
#include "event.h"

class TStream;

// One open key at a time under a predefined root. Paths starting with "\" are
// taken from the root; others from the open key, else from the root.
class TKVRegKey {
 public:
  TKVRegKey() = default;
  ~TKVRegKey();
  TKVRegKey(const TKVRegKey&) = delete;
  TKVRegKey& operator=(const TKVRegKey&) = delete;

  // A different root closes the open key.
  void SetRoot(HKEY root);
  // Opens for reading only; false leaves the open key as it was.
  [[nodiscard]] bool Open(std::string_view path);
  void Close();
  [[nodiscard]] bool IsOpen() const { return current_ != nullptr; }
  [[nodiscard]] const std::string& Path() const { return path_; }

  // The value's data and its type when asked: the bytes as stored, but a
  // string kind (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) as UTF-8 text, its zeros
  // kept. False when the value is missing or unreadable. Needs an open key.
  [[nodiscard]] bool QueryBytes(const std::string& name, std::string& bytes,
                                DWORD* type = nullptr) const;
  // Fills at most size bytes of that data; false when the value is missing or longer.
  [[nodiscard]] bool QueryFixed(const std::string& name, void* buffer, DWORD size) const;

 private:
  // Exactly the bytes the registry keeps, and their type.
  [[nodiscard]] bool QueryStored(const std::wstring& name, std::string& bytes, DWORD& type) const;

  HKEY current_ = nullptr;
  HKEY root_ = HKEY_CURRENT_USER;
  std::string path_;
};

class TKVRegistry : public TKVComponent {
 public:
  TKVRegistry() = default;
  ~TKVRegistry() override;
  TKVRegistry(const TKVRegistry&) = delete;
  TKVRegistry& operator=(const TKVRegistry&) = delete;

  // Input event: the incoming record may carry the key path, then the value name.
  void doRead(TData& data, uint16_t index);
  // Data output: the reader's record is both the input and the result.
  void Value(TData& data, uint16_t index);

  // 0 HKEY_CLASSES_ROOT, 1 HKEY_CURRENT_USER, 2 HKEY_LOCAL_MACHINE,
  // 3 HKEY_USERS, 4 HKEY_CURRENT_CONFIG.
  uint8_t RootKey = 1;
  std::string Key;
  std::string ValueName;
  // 0 integer, 1 string, 2 real, 3 stream.
  uint8_t DataType = 0;
  // 1: doRead fires onRead only when the key could be opened.
  uint8_t SkipMissingKey = 0;
  TKV_Event KeyLink;
  TKV_Event ValueNameLink;
  TKV_Event onRead;

 private:
  // Reads into result; false when the key could not be opened.
  bool ReadValue(TData& incoming, TData& result);
  void ReadTyped(const std::string& name, TData& result);
  [[nodiscard]] std::string ReadText(const std::string& name) const;
  void ReadStream(const std::string& name, TData& result);
  void FreeStream();

  TKVRegKey key_;
  TStream* stream_ = nullptr;
};
