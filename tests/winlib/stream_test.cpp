#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "stream.h"

namespace {

bool ownedGone = false;

class OwnedMarker : public TObj {
 protected:
  ~OwnedMarker() override { ownedGone = true; }
};

std::string ReadAll(TStream* s) {
  std::string text(s->GetSize() - s->Position, '\0');
  const uint32_t got = s->Read(text.data(), static_cast<uint32_t>(text.size()));
  text.resize(got);
  return text;
}

}  // namespace

TEST(MemoryStream, WritesGrowAndReadsBack) {
  TStream* s = NewMemoryStream();
  EXPECT_EQ(s->GetSize(), 0u);
  EXPECT_EQ(s->Write("hello", 5), 5u);
  EXPECT_EQ(s->Write(" world", 6), 6u);
  EXPECT_EQ(s->GetSize(), 11u);
  EXPECT_EQ(s->Position, 11u);
  EXPECT_EQ(s->Seek(0, kSeekFromStart), 0u);
  EXPECT_EQ(ReadAll(s), "hello world");
  // Overwriting in the middle keeps the size.
  s->Seek(-5, kSeekFromEnd);
  s->Write("WORLD", 5);
  s->Seek(0, kSeekFromStart);
  EXPECT_EQ(ReadAll(s), "hello WORLD");
  s->Free();
}

TEST(MemoryStream, SeekBeyondEndGrowsAndReadAtEndAnswersZero) {
  TStream* s = NewMemoryStream();
  s->Write("ab", 2);
  EXPECT_EQ(s->Seek(10, kSeekFromStart), 10u);
  EXPECT_EQ(s->GetSize(), 10u);
  char buffer[4] = {};
  EXPECT_EQ(s->Read(buffer, 4), 0u);
  EXPECT_EQ(s->Seek(-3, kSeekFromCurrent), 7u);
  EXPECT_EQ(s->Read(buffer, 4), 3u);
  EXPECT_EQ(std::memcmp(buffer, "\0\0\0", 3), 0);
  EXPECT_EQ(s->Position, 10u);
  s->Seek(0, kSeekFromStart);
  EXPECT_EQ(s->Read(buffer, 2), 2u);
  EXPECT_EQ(std::memcmp(buffer, "ab", 2), 0);
  s->Free();
}

TEST(MemoryStream, BadSeeksNeitherWrapNorMove) {
  TStream* s = NewMemoryStream();
  s->Write("abcd", 4);
  EXPECT_EQ(s->Seek(-100, kSeekFromCurrent), 0u);
  EXPECT_EQ(s->GetSize(), 4u);
  s->Seek(2, kSeekFromStart);
  EXPECT_EQ(s->Seek(5, 7), 2u);
  EXPECT_EQ(s->GetSize(), 4u);
  s->Free();
}

TEST(MemoryStream, SetSizeCutsPositionAndCloseEmpties) {
  TStream* s = NewMemoryStream();
  s->Write("abcdef", 6);
  s->SetSize(3);
  s->SetSize(5);  // the cut bytes do not come back
  s->Seek(0, kSeekFromStart);
  EXPECT_EQ(ReadAll(s), std::string("abc\0\0", 5));
  s->SetSize(3);
  EXPECT_EQ(s->Position, 3u);
  EXPECT_EQ(s->MemCapacity, 6u);
  s->Seek(0, kSeekFromStart);
  EXPECT_EQ(ReadAll(s), "abc");
  s->Close();
  EXPECT_EQ(s->Memory, nullptr);
  EXPECT_EQ(s->GetSize(), 0u);
  char c = 0;
  EXPECT_EQ(s->Read(&c, 1), 0u);
  // Still usable after Close.
  EXPECT_EQ(s->Write("z", 1), 1u);
  EXPECT_EQ(s->GetSize(), 1u);
  s->Free();
}

TEST(MemoryStream, DispatchesThroughItsTable) {
  TStream* s = NewMemoryStream();
  EXPECT_EQ(s->Methods, &s->MethodTable);
  static uint32_t seen = 0;
  s->MethodTable.GetSize = [](TStream*) -> uint32_t { return ++seen + 1000; };
  EXPECT_EQ(s->GetSize(), 1001u);
  s->Free();
}

TEST(MemoryStream, FreesItsOwnedObject) {
  ownedGone = false;
  TStream* s = NewMemoryStream();
  s->OwnedObj = new OwnedMarker;
  s->Free();
  EXPECT_TRUE(ownedGone);
}
