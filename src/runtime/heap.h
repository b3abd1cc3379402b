// The program's heap: blocks from the process heap, with free lists of small
// blocks kept on top for reuse. A request that cannot be met is run-time error
// 203; freeing a block this heap did not hand out is run-time error 204.
#pragma once

#include <cstddef>

// When set, a request that cannot be met answers none instead of ending the
// process with run-time error 203.
extern bool NilOnHeapFailure;

// Blocks are aligned to 16 bytes at least (what C++ expects of plain new).
constexpr size_t kHeapMinAlignment = 16;

// A block of at least `size` bytes; none or error 203 when it cannot be had.
[[nodiscard]] void* GetMem(size_t size);
// As GetMem, aligned to `alignment` (a power of two; below 16 counts as 16).
[[nodiscard]] void* GetMemAligned(size_t size, size_t alignment);
// As GetMemAligned, but answers none on failure whatever NilOnHeapFailure says.
[[nodiscard]] void* TryGetMem(size_t size, size_t alignment);
// Gives a block back; none is ignored, a block not handed out here (or freed
// already) is run-time error 204.
void FreeMem(void* block);
// Resizes a block, keeping its contents up to the smaller size. None asks for
// a new block; size 0 frees it and answers none. On failure the old block is
// left as it was (and the answer is none, or error 203).
[[nodiscard]] void* ReallocMem(void* block, size_t size);

// Blocks handed out and not freed yet.
[[nodiscard]] size_t HeapLiveBlocks();
// Freed small blocks waiting in the free lists.
[[nodiscard]] size_t HeapCachedBlocks();
