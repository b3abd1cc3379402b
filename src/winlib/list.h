// TList: a growable array of pointers that grows by a fixed step, the
// building block of every other container and of a control's children.
#pragma once

#include <cstdint>

#include "obj.h"

class TList : public TObj {
 public:
  void Add(void* item);
  // index in 0..Count; anything else does nothing.
  void Insert(int32_t index, void* item);
  // None when index is out of range.
  void* Get(int32_t index) const;
  void Delete(int32_t index) { DeleteRange(index, 1); }
  void DeleteRange(int32_t index, int32_t count);
  int32_t IndexOf(const void* item) const;
  void Remove(const void* item);
  void SetCapacity(int32_t capacity);
  void ClearList();

  void** Items = nullptr;
  int32_t Count = 0;
  int32_t Capacity = 0;
  int32_t AddBy = 4;

 protected:
  ~TList() override;
};

TList* NewList();
