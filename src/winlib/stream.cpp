#include "stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

void MemSetSize(TStream* s, uint32_t size) {
  // Grown to exactly the size asked for: streams here hold one value each.
  if (size > s->MemCapacity) {
    auto* memory = new uint8_t[size];
    if (s->Memory) std::memcpy(memory, s->Memory, s->Size);
    delete[] s->Memory;
    s->Memory = memory;
    s->MemCapacity = size;
  }
  // Bytes a seek past the end adds read as zeros, not as old heap contents.
  if (size > s->Size) std::memset(s->Memory + s->Size, 0, size - s->Size);
  s->Size = size;
  s->Position = std::min(s->Position, size);
}

uint32_t MemSeek(TStream* s, int32_t offset, int32_t origin) {
  int64_t base = 0;
  switch (origin) {
    case kSeekFromStart:
      base = 0;
      break;
    case kSeekFromCurrent:
      base = s->Position;
      break;
    case kSeekFromEnd:
      base = s->Size;
      break;
    default:
      return s->Position;
  }
  // Worked out wide so that a seek before the start cannot wrap round to a
  // position near 4 GB (and a block that size).
  const int64_t wanted =
      std::clamp<int64_t>(base + offset, 0, std::numeric_limits<uint32_t>::max());
  const auto position = static_cast<uint32_t>(wanted);
  if (position > s->Size) MemSetSize(s, position);
  s->Position = position;
  return position;
}

uint32_t MemGetSize(TStream* s) {
  return s->Size;
}

uint32_t MemRead(TStream* s, void* buffer, uint32_t count) {
  count = std::min(count, s->Size - s->Position);
  if (count == 0 || !buffer) return 0;
  std::memcpy(buffer, s->Memory + s->Position, count);
  s->Position += count;
  return count;
}

uint32_t MemWrite(TStream* s, const void* buffer, uint32_t count) {
  if (count == 0 || !buffer) return 0;
  // A write that would run past 4 GB writes nothing rather than wrap.
  if (count > std::numeric_limits<uint32_t>::max() - s->Position) return 0;
  if (s->Position + count > s->Size) MemSetSize(s, s->Position + count);
  std::memcpy(s->Memory + s->Position, buffer, count);
  s->Position += count;
  return count;
}

void MemClose(TStream* s) {
  delete[] s->Memory;
  s->Memory = nullptr;
  s->MemCapacity = 0;
  s->Size = 0;
  s->Position = 0;
}

}  // namespace

TStream* NewMemoryStream() {
  auto* stream = new TStream;
  stream->MethodTable.Seek = MemSeek;
  stream->MethodTable.GetSize = MemGetSize;
  stream->MethodTable.SetSize = MemSetSize;
  stream->MethodTable.Read = MemRead;
  stream->MethodTable.Write = MemWrite;
  stream->MethodTable.Close = MemClose;
  return stream;
}

TStream::~TStream() {
  Close();
  if (OwnedObj) OwnedObj->Free();
  OwnedObj = nullptr;
  DestroyObjPart();
}
