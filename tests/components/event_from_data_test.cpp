// The value holder: deep-copied storage, reads, and onRead before the copy.
#include <gtest/gtest.h>

#include <string>

#include "event_from_data.h"

namespace {

// Reads the holder as a linked reader would.
TData ValueOf(TKVEventFromData& holder) {
  TData result;
  ReadDataPlain(Link<&TKVEventFromData::Value>(&holder, 0), result);
  return result;
}

struct ReadWatcher : TKVComponent {
  int reads = 0;
  uint8_t typeSeen = 0;
  void doWatch(TData& data, uint16_t) {
    ++reads;
    typeSeen = data.type;
    // Whatever this handler writes, the reader gets the stored value.
    SetString(data, "overwritten");
  }
};

struct IntegerSource : TKVComponent {
  int32_t value = 0;
  void Value(TData& data, uint16_t) { SetInteger(data, value); }
};

class EventFromData : public ::testing::Test {
 protected:
  void SetUp() override { SetHooksWorking(); }
  void TearDown() override { SetHooksIdle(); }

  TKVEventFromData holder;
};

TEST_F(EventFromData, NullBeforeTheFirstDoDataThenTheStoredValueOnEveryRead) {
  EXPECT_EQ(ValueOf(holder).type, dtNull);
  TData incoming;
  SetInteger(incoming, 7);
  FireData(Link<&TKVEventFromData::doData>(&holder, 0), incoming);
  // The incoming record is spent.
  EXPECT_EQ(incoming.type, dtNull);
  for (int i = 0; i < 3; ++i) {
    TData value = ValueOf(holder);
    EXPECT_EQ(value.type, dtInteger);
    EXPECT_EQ(value.intValue, 7);
  }
  FireString(Link<&TKVEventFromData::doData>(&holder, 0), "next");
  EXPECT_EQ(ValueOf(holder).text, "next");
}

TEST_F(EventFromData, OnReadFiresWithTheReadersRecordBeforeTheCopy) {
  ReadWatcher watcher;
  holder.onRead = Link<&ReadWatcher::doWatch>(&watcher, 0);
  FireReal(Link<&TKVEventFromData::doData>(&holder, 0), 2.5);
  TData value = ValueOf(holder);
  EXPECT_EQ(watcher.reads, 1);
  EXPECT_EQ(watcher.typeSeen, dtNull);
  EXPECT_EQ(value.type, dtReal);
  EXPECT_EQ(value.realValue, 2.5);
}

TEST_F(EventFromData, StoresADeepCopyOfTheWholeChain) {
  {
    TData second;
    SetString(second, "second");
    TData first;
    SetString(first, "first");
    first.next = &second;
    FireData(Link<&TKVEventFromData::doData>(&holder, 0), first);
    SetString(second, "changed");
  }
  TData value = ValueOf(holder);
  EXPECT_EQ(value.text, "first");
  ASSERT_NE(value.next, nullptr);
  EXPECT_EQ(value.next->text, "second");
  EXPECT_EQ(value.next->next, nullptr);

  // A record read from the holder itself shares its chain; storing it again
  // must copy the elements before the old ones go.
  FireData(Link<&TKVEventFromData::doData>(&holder, 0), value);
  TData again = ValueOf(holder);
  EXPECT_EQ(again.text, "first");
  ASSERT_NE(again.next, nullptr);
  EXPECT_EQ(again.next->text, "second");
}

TEST_F(EventFromData, LinkedDataInputWinsOverTheEvent) {
  IntegerSource source;
  source.value = 42;
  holder.DataLink = Link<&IntegerSource::Value>(&source, 0);
  TData incoming;
  SetInteger(incoming, 1);
  FireData(Link<&TKVEventFromData::doData>(&holder, 0), incoming);
  EXPECT_EQ(ValueOf(holder).intValue, 42);
  // The event's own value was not taken.
  EXPECT_EQ(incoming.intValue, 1);
  EXPECT_EQ(incoming.type, dtInteger);
}

}  // namespace
