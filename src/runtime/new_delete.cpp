// The C++ allocation operators, every form, on the program's heap. This file
// is linked into each executable as a plain object, never taken from an
// archive, so libstdc++'s own operators can never be picked for some forms.
#include <cstddef>
#include <new>

#include "heap.h"
#include "process_exit.h"

namespace {

// Inlined, so a failure is reported at the call of operator new itself. new
// cannot answer none: a request it cannot meet is always error 203.
[[gnu::always_inline]] inline void* NewBlock(size_t size, size_t alignment) {
  void* block = TryGetMem(size, alignment);
  if (!block) RaiseCallerFault(kHeapOverflowFault);
  return block;
}

}  // namespace

void* operator new(size_t size) {
  return NewBlock(size, kHeapMinAlignment);
}
void* operator new[](size_t size) {
  return NewBlock(size, kHeapMinAlignment);
}
void* operator new(size_t size, std::align_val_t alignment) {
  return NewBlock(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return NewBlock(size, static_cast<size_t>(alignment));
}

// The nothrow forms ask for none on failure.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return TryGetMem(size, kHeapMinAlignment);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return TryGetMem(size, kHeapMinAlignment);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return TryGetMem(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return TryGetMem(size, static_cast<size_t>(alignment));
}

// The heap knows every block's size and alignment: the hints are not needed.
void operator delete(void* block) noexcept {
  FreeMem(block);
}
void operator delete[](void* block) noexcept {
  FreeMem(block);
}
void operator delete(void* block, size_t) noexcept {
  FreeMem(block);
}
void operator delete[](void* block, size_t) noexcept {
  FreeMem(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
  FreeMem(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
  FreeMem(block);
}
void operator delete(void* block, size_t, std::align_val_t) noexcept {
  FreeMem(block);
}
void operator delete[](void* block, size_t, std::align_val_t) noexcept {
  FreeMem(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  FreeMem(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  FreeMem(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  FreeMem(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  FreeMem(block);
}
