// TStrList, a list of zero-terminated strings, and TStrListEx, the same with
// an object pointer beside each string.
#pragma once

#include <cstdint>
#include <string_view>

#include "list.h"
#include "obj.h"

class TStrList : public TObj {
 public:
  // index in 0..Count; anything else does nothing.
  virtual void InsertString(int32_t index, std::string_view s);
  void AddString(std::string_view s) { InsertString(Count, s); }
  // Out of range does nothing.
  virtual void DeleteString(int32_t index);
  void ClearStrings();
  // Splits text into lines (CR or CR LF ends a line, a lone LF does not) kept
  // in TextBuf; without append the list is cleared first.
  void SetText(std::string_view text, bool append);
  // None when index is out of range.
  [[nodiscard]] const char* Get(int32_t index) const;
  // The text at index; the empty text when index is out of range.
  [[nodiscard]] std::string_view GetText(int32_t index) const {
    const char* s = Get(index);
    return s ? std::string_view(s) : std::string_view();
  }

  TList* Lines = nullptr;
  int32_t Count = 0;
  char* TextBuf = nullptr;
  int32_t TextSize = 0;

 protected:
  ~TStrList() override;

 private:
  [[nodiscard]] bool InTextBuf(const char* s) const;
  void GrowTextBuf(std::string_view text);
};

TStrList* NewStrList();

// Strings added without an object (AddString, SetText) have none; the objects
// stay beside their strings through inserts and deletes.
class TStrListEx : public TStrList {
 public:
  void Init() override;
  void InsertString(int32_t index, std::string_view s) override;
  void DeleteString(int32_t index) override;
  // index in 0..Count; anything else does nothing.
  void InsertObject(int32_t index, std::string_view s, void* object);
  void AddObject(std::string_view s, void* object) { InsertObject(Count, s, object); }
  // None when index is out of range or the string has no object.
  [[nodiscard]] void* ObjectAt(int32_t index) const;
  // -1 when absent.
  [[nodiscard]] int32_t IndexOfObject(const void* object) const;

  TList* Objects = nullptr;

 protected:
  ~TStrListEx() override;
};

TStrListEx* NewStrListEx();
