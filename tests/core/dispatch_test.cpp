#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component.h"
#include "event.h"
#include "start_list.h"

namespace {

// A small component with the points the tests need.
struct Probe : TKVComponent {
  TKV_Event onOut;
  TKV_Event Text;  // a data input
  std::string TextProperty;
  std::vector<std::string> log;
  TData received;
  const TData* receivedAddress = nullptr;
  std::string answer = "from link";
  bool answerNoSource = false;

  void doRecord(TData& data, uint16_t index) {
    received = data;
    receivedAddress = &data;
    log.push_back("record " + std::to_string(index));
  }
  void doTailPass(TData& data, uint16_t) { TailPass(data, onOut); }
  void doTailNull(TData& data, uint16_t) { TailNull(data, onOut); }
  void doTailString(TData& data, uint16_t) { TailString(data, onOut, "tail"); }
  void doReadTwice(TData& data, uint16_t) {
    log.push_back(ReadString(data, Text, TextProperty));
    log.push_back(ReadString(data, Text, TextProperty));
  }
  void Value(TData& data, uint16_t) {
    if (answerNoSource) {
      data.type = dtNoSource;
    } else {
      SetString(data, answer);
    }
  }
};

// Counts hops and tail-fires itself until the count is reached.
struct Relay : TKVComponent {
  TKV_Event onOut;
  int hops = 0;
  int limit = 0;
  void doHop(TData& data, uint16_t) {
    if (++hops < limit) TailPass(data, onOut);
  }
};

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override { SetHooksWorking(); }
  void TearDown() override { SetHooksIdle(); }
};

}  // namespace

TEST_F(Dispatch, UnlinkedFireDoesNothingAndLeavesRecord) {
  TKV_Event unlinked;
  TData data;
  SetString(data, "kept");
  FireData(unlinked, data);
  EXPECT_EQ(data.type, dtString);
  EXPECT_EQ(data.text, "kept");
}

TEST_F(Dispatch, FiringOperationsDeliverFreshValues) {
  Probe target;
  const TKV_Event link = Link<&Probe::doRecord>(&target, 3);
  FireInteger(link, 42);
  EXPECT_EQ(target.received.type, dtInteger);
  EXPECT_EQ(target.received.intValue, 42);
  FireReal(link, 2.5);
  EXPECT_EQ(target.received.realValue, 2.5);
  FireString(link, "abc");
  EXPECT_EQ(target.received.text, "abc");
  FireNull(link);
  EXPECT_EQ(target.received.type, dtNull);
  EXPECT_EQ(target.log.back(), "record 3");
}

TEST_F(Dispatch, FireCopyKeepsCallersRecord) {
  struct Changer : TKVComponent {
    void doChange(TData& data, uint16_t) { SetString(data, "changed"); }
  } target;
  TData data;
  SetString(data, "mine");
  FireCopy(Link<&Changer::doChange>(&target, 0), data);
  EXPECT_EQ(data.text, "mine");
  FireData(Link<&Changer::doChange>(&target, 0), data);
  EXPECT_EQ(data.text, "changed");
}

TEST_F(Dispatch, IdleHooksReachNobody) {
  Probe target;
  SetHooksIdle();
  FireInteger(Link<&Probe::doRecord>(&target, 0), 1);
  EXPECT_TRUE(target.log.empty());
  SetHooksWorking();
  FireInteger(Link<&Probe::doRecord>(&target, 0), 1);
  EXPECT_EQ(target.log.size(), 1u);
}

TEST_F(Dispatch, TailPassHandsOnTheVeryRecordUnchanged) {
  Probe first, second;
  first.onOut = Link<&Probe::doRecord>(&second, 7);
  TData data;
  SetReal(data, 1.25);
  FireData(Link<&Probe::doTailPass>(&first, 0), data);
  EXPECT_EQ(second.receivedAddress, &data);
  EXPECT_EQ(second.received.type, dtReal);
  EXPECT_EQ(second.received.realValue, 1.25);
  EXPECT_EQ(data.type, dtReal);  // the flag is gone once the successor runs
}

TEST_F(Dispatch, TailNullDeliversNullAndKeepsChain) {
  Probe first, second;
  first.onOut = Link<&Probe::doRecord>(&second, 0);
  TData rest;
  SetString(rest, "rest");
  TData data;
  SetString(data, "head");
  data.next = &rest;
  FireData(Link<&Probe::doTailNull>(&first, 0), data);
  EXPECT_EQ(second.received.type, dtNull);
  EXPECT_EQ(second.received.next, &rest);
}

TEST_F(Dispatch, TailStringSetsValueAndClearsChain) {
  Probe first, second;
  first.onOut = Link<&Probe::doRecord>(&second, 0);
  TData rest;
  TData data;
  data.next = &rest;
  FireData(Link<&Probe::doTailString>(&first, 0), data);
  EXPECT_EQ(second.received.type, dtString);
  EXPECT_EQ(second.received.text, "tail");
  EXPECT_EQ(second.received.next, nullptr);
}

TEST_F(Dispatch, TailToUnlinkedEventStops) {
  Probe first;
  TData data;
  SetInteger(data, 5);
  FireData(Link<&Probe::doTailPass>(&first, 0), data);
  EXPECT_EQ(data.type, dtInteger);
}

TEST_F(Dispatch, MillionTailHopsRunInConstantStack) {
  // A recursive dispatcher would need a stack frame per hop and overflow here.
  Relay relay;
  relay.limit = 1000000;
  relay.onOut = Link<&Relay::doHop>(&relay, 0);
  FireNull(relay.onOut);
  EXPECT_EQ(relay.hops, 1000000);
}

TEST_F(Dispatch, TailChainVisitsComponentsInOrder) {
  std::vector<Relay> relays(1000);
  for (size_t i = 0; i + 1 < relays.size(); ++i) {
    relays[i].limit = 2;
    relays[i].onOut = Link<&Relay::doHop>(&relays[i + 1], 0);
  }
  FireNull(Link<&Relay::doHop>(&relays[0], 0));
  for (const Relay& relay : relays)
    EXPECT_EQ(relay.hops, 1);
}

TEST_F(Dispatch, LinkedInputBeatsPropertyBeatsIncoming) {
  Probe reader, source;
  reader.TextProperty = "property";
  TData incoming;
  SetString(incoming, "incoming");

  reader.Text = Link<&Probe::Value>(&source, 0);
  EXPECT_EQ(ReadString(incoming, reader.Text, reader.TextProperty), "from link");

  reader.Text = TKV_Event{};
  EXPECT_EQ(ReadString(incoming, reader.Text, reader.TextProperty), "property");
  EXPECT_EQ(incoming.type, dtString);  // not consumed

  EXPECT_EQ(ReadString(incoming, reader.Text, ""), "incoming");
  EXPECT_EQ(incoming.type, dtNull);  // consumed
  EXPECT_EQ(ReadString(incoming, reader.Text, ""), "");
}

TEST_F(Dispatch, LinkAnsweringNoSourceCountsAsUnlinked) {
  Probe reader, source;
  source.answerNoSource = true;
  reader.Text = Link<&Probe::Value>(&source, 0);
  TData incoming;
  SetString(incoming, "incoming");
  EXPECT_EQ(ReadString(incoming, reader.Text, "property"), "property");
  EXPECT_EQ(ReadString(incoming, reader.Text, ""), "incoming");
}

TEST_F(Dispatch, IncomingChainFeedsUnlinkedInputsInOrder) {
  Probe reader;
  TData second;
  SetString(second, "second");
  TData incoming;
  SetString(incoming, "first");
  incoming.next = &second;
  FireData(Link<&Probe::doReadTwice>(&reader, 0), incoming);
  EXPECT_EQ(reader.log, (std::vector<std::string>{"first", "second"}));
}

TEST_F(Dispatch, NumericReadsTreatZeroAsUnset) {
  TKV_Event unlinked;
  TData incoming;
  SetString(incoming, "3.5");
  EXPECT_EQ(ReadReal(incoming, unlinked, 2.0), 2.0);
  EXPECT_EQ(ReadReal(incoming, unlinked, 0.0), 3.5);
  SetString(incoming, "12");
  EXPECT_EQ(ReadInteger(incoming, unlinked, 5), 5);
  EXPECT_EQ(ReadInteger(incoming, unlinked, 0), 12);
  EXPECT_EQ(ReadInteger(incoming, unlinked, 0), 0);
}

TEST_F(Dispatch, ReadDataTakesWholeRecordAndClearsIncoming) {
  TKV_Event unlinked;
  TData rest;
  TData incoming;
  SetInteger(incoming, 9);
  incoming.next = &rest;
  TData result;
  ReadData(incoming, unlinked, result);
  EXPECT_EQ(result.type, dtInteger);
  EXPECT_EQ(result.next, &rest);
  EXPECT_EQ(incoming.type, dtNull);
  EXPECT_EQ(incoming.next, nullptr);

  TData fallback;
  SetString(fallback, "default");
  SetInteger(incoming, 1);
  ReadData(incoming, unlinked, result, &fallback);
  EXPECT_EQ(result.text, "default");
  EXPECT_EQ(incoming.type, dtInteger);
}

// A null record that still carries a chain (as tail null leaves it) is no
// incoming value: the result is null and the record keeps its chain.
TEST_F(Dispatch, ReadDataLeavesANullIncomingRecordAlone) {
  TKV_Event unlinked;
  TData rest;
  SetString(rest, "rest");
  TData incoming;
  incoming.next = &rest;
  TData result;
  SetInteger(result, 4);
  ReadData(incoming, unlinked, result);
  EXPECT_EQ(result.type, dtNull);
  EXPECT_EQ(result.next, nullptr);
  EXPECT_EQ(incoming.next, &rest);
}

TEST_F(Dispatch, PlainReadsOfUnlinkedInputs) {
  TKV_Event unlinked;
  TData result;
  ReadDataPlain(unlinked, result);
  EXPECT_EQ(result.type, dtNoSource);
  EXPECT_EQ(ReadIntegerPlain(unlinked), 0);

  Probe source;
  source.answer = "77";
  EXPECT_EQ(ReadIntegerPlain(Link<&Probe::Value>(&source, 0)), 77);
}

namespace {
std::vector<int> startOrder;
void StartSecond(void*) {
  startOrder.push_back(2);
}
void StartFirst(void*) {
  startOrder.push_back(1);
  AddStartAction(StartSecond, nullptr);
}
}  // namespace

TEST(StartList, RunsInOrderIncludingActionsAddedMeanwhile) {
  AddStartAction(StartFirst, nullptr);
  RunStartList();
  EXPECT_EQ(startOrder, (std::vector<int>{1, 2}));
  EXPECT_TRUE(Started);
  RunStartList();  // emptied: nothing runs again
  EXPECT_EQ(startOrder.size(), 2u);
}
