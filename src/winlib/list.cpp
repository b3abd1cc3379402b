#include "list.h"

#include <algorithm>

TList* NewList() {
  return new TList;
}

TList::~TList() {
  ClearList();
}

void TList::Add(void* item) {
  if (AddBy <= 0) AddBy = 4;
  // A fixed step, not doubling: lists here stay short.
  if (Count >= Capacity) SetCapacity(Count + AddBy);
  Items[Count++] = item;
}

void TList::Insert(int32_t index, void* item) {
  if (index < 0 || index > Count) return;
  Add(nullptr);
  std::copy_backward(Items + index, Items + Count - 1, Items + Count);
  Items[index] = item;
}

void* TList::Get(int32_t index) const {
  if (index < 0 || index >= Count) return nullptr;
  return Items[index];
}

void TList::DeleteRange(int32_t index, int32_t count) {
  if (count <= 0 || index < 0 || index >= Count) return;
  count = std::min(count, Count - index);
  std::copy(Items + index + count, Items + Count, Items + index);
  Count -= count;
}

int32_t TList::IndexOf(const void* item) const {
  for (int32_t i = 0; i < Count; ++i) {
    if (Items[i] == item) return i;
  }
  return -1;
}

void TList::Remove(const void* item) {
  const int32_t index = IndexOf(item);
  if (index >= 0) Delete(index);
}

void TList::SetCapacity(int32_t capacity) {
  capacity = std::max(capacity, Count);
  if (capacity == Capacity) return;
  void** items = capacity > 0 ? new void*[capacity] : nullptr;
  std::copy(Items, Items + Count, items);
  delete[] Items;
  Items = items;
  Capacity = capacity;
}

void TList::ClearList() {
  delete[] Items;
  Items = nullptr;
  Count = 0;
  Capacity = 0;
}
