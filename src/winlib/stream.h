// TStream: a stream of bytes driven by a table of methods; the memory kind
// (NewMemoryStream) keeps its bytes in one block that grows to fit.
#pragma once

#include <cstdint>

#include "obj.h"

class TStream;

// The eight procedure slots a stream dispatches through; the last two are unused.
struct TStreamMethods {
  uint32_t (*Seek)(TStream* stream, int32_t offset, int32_t origin) = nullptr;
  uint32_t (*GetSize)(TStream* stream) = nullptr;
  void (*SetSize)(TStream* stream, uint32_t size) = nullptr;
  uint32_t (*Read)(TStream* stream, void* buffer, uint32_t count) = nullptr;
  uint32_t (*Write)(TStream* stream, const void* buffer, uint32_t count) = nullptr;
  void (*Close)(TStream* stream) = nullptr;
  void* Reserved1 = nullptr;
  void* Reserved2 = nullptr;
};

// Seek origins.
constexpr int32_t kSeekFromStart = 0;
constexpr int32_t kSeekFromCurrent = 1;
constexpr int32_t kSeekFromEnd = 2;

class TStream : public TObj {
 public:
  // The new position. A position past the end first grows the stream to it;
  // one before the start stops at 0; an unknown origin moves nothing.
  uint32_t Seek(int32_t offset, int32_t origin) { return Methods->Seek(this, offset, origin); }
  [[nodiscard]] uint32_t GetSize() { return Methods->GetSize(this); }
  void SetSize(uint32_t size) { Methods->SetSize(this, size); }
  // Bytes read: no more than remain after the position.
  uint32_t Read(void* buffer, uint32_t count) { return Methods->Read(this, buffer, count); }
  // Bytes written, the stream growing to take them.
  uint32_t Write(const void* buffer, uint32_t count) { return Methods->Write(this, buffer, count); }
  void Close() { Methods->Close(this); }

  // Points at MethodTable, which the kind of stream fills.
  TStreamMethods* Methods = &MethodTable;
  TStreamMethods MethodTable;
  // The memory kind's data.
  uint8_t* Memory = nullptr;
  uint32_t MemCapacity = 0;
  uint32_t Size = 0;
  uint32_t Position = 0;
  // Freed with the stream.
  TObj* OwnedObj = nullptr;

 protected:
  // Only a kind's maker builds a stream, so no stream runs with an empty table.
  TStream() = default;
  ~TStream() override;

  friend TStream* NewMemoryStream();
};

TStream* NewMemoryStream();
