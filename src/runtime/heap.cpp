#include "heap.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "process_exit.h"

bool NilOnHeapFailure = false;

namespace {

// Sits just before every address handed out.
struct TBlockHeader {
  uint32_t size;  // the size asked for, kLargeFlag set for blocks outside the free lists
  void* base;     // what HeapAlloc answered, for HeapFree
};
static_assert(sizeof(TBlockHeader) == 8);

constexpr uint32_t kLargeFlag = 0x80000000u;
constexpr size_t kClassStep = 16;
constexpr size_t kClassCount = 64;
constexpr size_t kMaxSmall = kClassStep * kClassCount;
constexpr uint32_t kMaxCachedPerClass = 64;
// Nothing near 2 GB fits a 32-bit process; refusing early keeps the sums from wrapping.
constexpr size_t kMaxRequest = 0x7FF00000u;
constexpr size_t kMaxAlignment = 0x10000u;

TBlockHeader* HeaderOf(void* block) {
  return static_cast<TBlockHeader*>(block) - 1;
}

size_t ClassOf(size_t size) {
  return size == 0 ? 0 : (size - 1) / kClassStep;
}

// Every block handed out and not yet freed, by address: a pointer is only
// trusted once it is found here, so a foreign or stale pointer is never read.
// Open addressing with linear probing; 0 marks an empty slot.
class TLiveSet {
 public:
  [[nodiscard]] bool Insert(uintptr_t key) {
    if ((count_ + 1) * 2 > capacity_ && !Grow()) return false;
    size_t slot = Home(key);
    while (slots_[slot] != 0)
      slot = (slot + 1) & (capacity_ - 1);
    slots_[slot] = key;
    ++count_;
    return true;
  }

  [[nodiscard]] bool Contains(uintptr_t key) const { return Find(key) != kNone; }

  [[nodiscard]] bool Remove(uintptr_t key) {
    size_t hole = Find(key);
    if (hole == kNone) return false;
    // Backward shift: move later entries of the run into the hole when their
    // home slot allows, so no tombstones are needed.
    const size_t mask = capacity_ - 1;
    for (size_t next = (hole + 1) & mask; slots_[next] != 0; next = (next + 1) & mask) {
      const size_t home = Home(slots_[next]);
      const bool homeBetween =
          hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
      if (homeBetween) continue;
      slots_[hole] = slots_[next];
      hole = next;
    }
    slots_[hole] = 0;
    --count_;
    return true;
  }

  [[nodiscard]] size_t Count() const { return count_; }

 private:
  static constexpr size_t kNone = ~size_t{0};
  static constexpr size_t kFirstCapacity = 1024;

  size_t Home(uintptr_t key) const {
    return ((key >> 4) * 2654435761u) >> (32 - shift_) & (capacity_ - 1);
  }

  size_t Find(uintptr_t key) const {
    if (capacity_ == 0 || key == 0) return kNone;
    for (size_t slot = Home(key); slots_[slot] != 0; slot = (slot + 1) & (capacity_ - 1)) {
      if (slots_[slot] == key) return slot;
    }
    return kNone;
  }

  bool Grow() {
    const size_t capacity = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
    auto* slots = static_cast<uintptr_t*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, capacity * sizeof(uintptr_t)));
    if (!slots) return false;
    uintptr_t* old = slots_;
    const size_t oldCapacity = capacity_;
    slots_ = slots;
    capacity_ = capacity;
    for (shift_ = 0; (size_t{1} << shift_) < capacity; ++shift_) {
    }
    count_ = 0;
    for (size_t i = 0; i < oldCapacity; ++i) {
      if (old[i] != 0) static_cast<void>(Insert(old[i]));
    }
    if (old) HeapFree(GetProcessHeap(), 0, old);
    return true;
  }

  uintptr_t* slots_ = nullptr;
  size_t capacity_ = 0;
  size_t count_ = 0;
  unsigned shift_ = 0;
};

// The heap serves any thread. The owner may come back in: a fault raised
// while it holds the lock runs the exit steps, which may allocate.
class THeapGuard {
 public:
  THeapGuard() {
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    if (owner_ == self) {
      ++depth_;
      return;
    }
    while (InterlockedCompareExchange(&owner_, self, 0) != 0)
      SwitchToThread();
    depth_ = 1;
  }
  ~THeapGuard() {
    if (--depth_ == 0) InterlockedExchange(&owner_, 0);
  }
  THeapGuard(const THeapGuard&) = delete;
  THeapGuard& operator=(const THeapGuard&) = delete;

 private:
  static inline volatile LONG owner_ = 0;
  static inline int depth_ = 0;
};

TLiveSet liveBlocks;
void* freeLists[kClassCount] = {};
uint32_t cachedInClass[kClassCount] = {};
size_t cachedBlocks = 0;

// A fresh block from the process heap with room for `size` bytes at `alignment`.
// HeapAlloc answers 8-aligned blocks, so `alignment` extra bytes always hold
// the header and the padding.
void* NewBlock(size_t size, size_t alignment, uint32_t flags) {
  void* base = HeapAlloc(GetProcessHeap(), 0, size + alignment);
  if (!base) return nullptr;
  const uintptr_t first = reinterpret_cast<uintptr_t>(base) + sizeof(TBlockHeader);
  auto* block = reinterpret_cast<void*>((first + alignment - 1) & ~(alignment - 1));
  *HeaderOf(block) = {static_cast<uint32_t>(size) | flags, base};
  return block;
}

void* TakeSmall(size_t size) {
  const size_t sizeClass = ClassOf(size);
  void* block = freeLists[sizeClass];
  if (block) {
    freeLists[sizeClass] = *static_cast<void**>(block);
    --cachedInClass[sizeClass];
    --cachedBlocks;
  } else {
    block = NewBlock((sizeClass + 1) * kClassStep, kHeapMinAlignment, 0);
    if (!block) return nullptr;
  }
  HeaderOf(block)->size = static_cast<uint32_t>(size);
  return block;
}

// Keeps a small block for reuse while its free list has room, else gives it back.
void Release(void* block) {
  const TBlockHeader header = *HeaderOf(block);
  if (!(header.size & kLargeFlag)) {
    const size_t sizeClass = ClassOf(header.size);
    if (cachedInClass[sizeClass] < kMaxCachedPerClass) {
      *static_cast<void**>(block) = freeLists[sizeClass];
      freeLists[sizeClass] = block;
      ++cachedInClass[sizeClass];
      ++cachedBlocks;
      return;
    }
  }
  HeapFree(GetProcessHeap(), 0, header.base);
}

}  // namespace

void* TryGetMem(size_t size, size_t alignment) {
  if (alignment < kHeapMinAlignment) alignment = kHeapMinAlignment;
  if ((alignment & (alignment - 1)) != 0 || alignment > kMaxAlignment || size > kMaxRequest) {
    return nullptr;
  }
  THeapGuard guard;
  void* block = size <= kMaxSmall && alignment == kHeapMinAlignment
                    ? TakeSmall(size)
                    : NewBlock(size, alignment, kLargeFlag);
  if (!block) return nullptr;
  if (!liveBlocks.Insert(reinterpret_cast<uintptr_t>(block))) {
    Release(block);
    return nullptr;
  }
  return block;
}

void* GetMemAligned(size_t size, size_t alignment) {
  void* block = TryGetMem(size, alignment);
  if (!block && !NilOnHeapFailure) RaiseCallerFault(kHeapOverflowFault);
  return block;
}

void* GetMem(size_t size) {
  void* block = TryGetMem(size, kHeapMinAlignment);
  if (!block && !NilOnHeapFailure) RaiseCallerFault(kHeapOverflowFault);
  return block;
}

void FreeMem(void* block) {
  if (!block) return;
  bool known = false;
  {
    THeapGuard guard;
    known = liveBlocks.Remove(reinterpret_cast<uintptr_t>(block));
    if (known) Release(block);
  }
  if (!known) RaiseCallerFault(kInvalidPointerFault);
}

void* ReallocMem(void* block, size_t size) {
  if (!block) return GetMem(size);
  bool known = false;
  size_t oldSize = 0;
  {
    THeapGuard guard;
    known = liveBlocks.Contains(reinterpret_cast<uintptr_t>(block));
    if (known) {
      TBlockHeader& header = *HeaderOf(block);
      oldSize = header.size & ~kLargeFlag;
      const bool small = !(header.size & kLargeFlag);
      // Still the same size class: the block itself serves.
      if (size != 0 && small && size <= kMaxSmall && ClassOf(size) == ClassOf(oldSize)) {
        header.size = static_cast<uint32_t>(size);
        return block;
      }
    }
  }
  if (!known) RaiseCallerFault(kInvalidPointerFault);
  if (size == 0) {
    FreeMem(block);
    return nullptr;
  }
  void* fresh = TryGetMem(size, kHeapMinAlignment);
  if (!fresh) {
    if (!NilOnHeapFailure) RaiseCallerFault(kHeapOverflowFault);
    return nullptr;
  }
  std::memcpy(fresh, block, oldSize < size ? oldSize : size);
  FreeMem(block);
  return fresh;
}

size_t HeapLiveBlocks() {
  THeapGuard guard;
  return liveBlocks.Count();
}

size_t HeapCachedBlocks() {
  THeapGuard guard;
  return cachedBlocks;
}
