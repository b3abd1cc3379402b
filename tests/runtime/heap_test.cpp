// The run-time heap: C++ allocations go through it, blocks are aligned and
// tracked, freed small blocks are reused, and failures answer as asked.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "heap.h"

namespace {

constexpr size_t kHuge = 0x7FFF0000u;

struct alignas(64) TWideRecord {
  char bytes[100];
};

// Lets a block escape, so the compiler cannot drop a new and delete pair.
const void* volatile escapedBlock = nullptr;

template <typename T>
T* Kept(T* block) {
  escapedBlock = block;
  return block;
}

bool IsAligned(const void* block, size_t alignment) {
  return reinterpret_cast<uintptr_t>(block) % alignment == 0;
}

// Restores the failure rule when a test that changed it ends, passed or not.
struct TNilOnFailure {
  TNilOnFailure() { NilOnHeapFailure = true; }
  ~TNilOnFailure() { NilOnHeapFailure = false; }
};

}  // namespace

// Every form of new and delete, and libstdc++'s own code, is served by the
// run-time heap: each block shows in its count of live blocks and leaves it.
TEST(Heap, EveryFormOfNewAndDeleteGoesThroughIt) {
  const size_t before = HeapLiveBlocks();
  int* single = Kept(new int(7));
  int* array = Kept(new int[300]);
  auto* wide = Kept(new TWideRecord);
  auto* wideArray = Kept(new TWideRecord[3]);
  int* quiet = Kept(new (std::nothrow) int(1));
  int* quietArray = Kept(new (std::nothrow) int[5]);
  EXPECT_EQ(HeapLiveBlocks(), before + 6);
  delete single;
  delete[] array;
  delete wide;
  delete[] wideArray;
  delete quiet;
  delete[] quietArray;
  EXPECT_EQ(HeapLiveBlocks(), before);

  {
    const std::string text(1000, 'x');  // allocated inside libstdc++
    std::vector<int> numbers(100);
    Kept(text.data());
    Kept(numbers.data());
    EXPECT_EQ(HeapLiveBlocks(), before + 2);
  }
  EXPECT_EQ(HeapLiveBlocks(), before);

  operator delete (operator new (10, std::align_val_t{256}), 10, std::align_val_t{256});
  EXPECT_EQ(HeapLiveBlocks(), before);
}

TEST(Heap, BlocksAreAlignedAsAsked) {
  auto* wide = Kept(new TWideRecord);
  EXPECT_TRUE(IsAligned(wide, 64));
  delete wide;
  for (size_t size : {0u, 1u, 24u, 1000u, 5000u}) {
    void* block = GetMem(size);
    EXPECT_TRUE(IsAligned(block, 16)) << size;
    FreeMem(block);
  }
  void* page = GetMemAligned(100, 4096);
  EXPECT_TRUE(IsAligned(page, 4096));
  FreeMem(page);
  EXPECT_EQ(TryGetMem(16, 48), nullptr);  // not a power of two
}

TEST(Heap, FreedSmallBlockIsReusedForTheSameSizeClass) {
  void* first = GetMem(40);
  const size_t cached = HeapCachedBlocks();
  FreeMem(first);
  EXPECT_EQ(HeapCachedBlocks(), cached + 1);
  void* second = GetMem(33);
  EXPECT_EQ(second, first);
  EXPECT_EQ(HeapCachedBlocks(), cached);
  FreeMem(second);
}

// Enough blocks to make the tracking table grow several times, freed in an
// interleaved order: each keeps its contents and is freed exactly once.
TEST(Heap, ManyBlocksStayApartAndAreAllFreed) {
  std::vector<unsigned char*> blocks;
  blocks.reserve(6000);
  const size_t before = HeapLiveBlocks();
  for (int i = 0; i < 6000; ++i) {
    const size_t size = 1 + (i * 37) % 2000;
    auto* block = static_cast<unsigned char*>(GetMem(size));
    std::memset(block, i & 0xFF, size);
    blocks.push_back(block);
  }
  EXPECT_EQ(HeapLiveBlocks(), before + blocks.size());
  for (int pass = 0; pass < 3; ++pass) {
    for (size_t i = pass; i < blocks.size(); i += 3) {
      const size_t size = 1 + (i * 37) % 2000;
      EXPECT_EQ(blocks[i][0], i & 0xFF);
      EXPECT_EQ(blocks[i][size - 1], i & 0xFF);
      FreeMem(blocks[i]);
    }
  }
  EXPECT_EQ(HeapLiveBlocks(), before);
}

TEST(Heap, ReallocKeepsTheContents) {
  auto* block = static_cast<char*>(GetMem(10));
  std::memcpy(block, "0123456789", 10);
  EXPECT_EQ(ReallocMem(block, 12), block);  // same size class: same block
  auto* grown = static_cast<char*>(ReallocMem(block, 3000));
  EXPECT_EQ(std::memcmp(grown, "0123456789", 10), 0);
  auto* shrunk = static_cast<char*>(ReallocMem(grown, 4));
  EXPECT_EQ(std::memcmp(shrunk, "0123", 4), 0);
  const size_t live = HeapLiveBlocks();
  EXPECT_EQ(ReallocMem(shrunk, 0), nullptr);
  EXPECT_EQ(HeapLiveBlocks(), live - 1);
}

TEST(Heap, RequestThatCannotBeMetAnswersNoneWhenAsked) {
  TNilOnFailure nilOnFailure;
  const size_t before = HeapLiveBlocks();
  EXPECT_EQ(GetMem(kHuge), nullptr);
  EXPECT_EQ(GetMemAligned(100, 1u << 20), nullptr);
  auto* block = static_cast<char*>(GetMem(8));
  std::memcpy(block, "kept", 5);
  EXPECT_EQ(ReallocMem(block, kHuge), nullptr);
  EXPECT_STREQ(block, "kept");
  FreeMem(block);
  EXPECT_EQ(HeapLiveBlocks(), before);
}

// The nothrow forms of new ask for none on failure, whatever the rule says.
TEST(Heap, NothrowNewAnswersNoneOnFailure) {
  volatile size_t huge = kHuge;
  EXPECT_EQ(Kept(new (std::nothrow) char[huge]), nullptr);
}
