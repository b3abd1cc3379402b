// The hub: outputs in order, each with its own copy, each run to its end.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "hub.h"

namespace {

std::vector<std::string> journal;

// Logs its name and the value it got, then passes it on by tail firing.
struct Step : TKVComponent {
  explicit Step(std::string stepName) : name(std::move(stepName)) {}
  std::string name;
  TKV_Event onNext;
  void doStep(TData& data, uint16_t) {
    const std::string value = ToString(data);
    journal.push_back(name + ":" + value);
    // Changes the record it was given: a later output must not see this.
    TailString(data, onNext, value + "+");
  }
};

class Hub : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    journal.clear();
  }
  void TearDown() override { SetHooksIdle(); }
};

TEST_F(Hub, FirstOutputRunsItsWholeTailChainBeforeTheSecond) {
  Step a("a"), b("b"), c("c"), d("d");
  a.onNext = Link<&Step::doStep>(&b, 0);
  b.onNext = Link<&Step::doStep>(&c, 0);
  TKVHub hub;
  hub.SetOutCount(3);
  EXPECT_EQ(hub.OutCount, 3);
  ASSERT_EQ(hub.onEvent.size(), 3u);
  hub.onEvent[0] = Link<&Step::doStep>(&a, 0);
  // onEvent[1] stays unconnected and is skipped.
  hub.onEvent[2] = Link<&Step::doStep>(&d, 0);

  TData incoming;
  SetString(incoming, "x");
  FireData(Link<&TKVHub::doEvent>(&hub, 5), incoming);
  const std::vector<std::string> expected = {"a:x", "b:x+", "c:x++", "d:x"};
  EXPECT_EQ(journal, expected);
  // Each output had its own copy; the hub's record is as it came.
  EXPECT_EQ(incoming.type, dtString);
  EXPECT_EQ(incoming.text, "x");
}

TEST_F(Hub, EveryInputLeadsToTheSameOutputs) {
  Step a("a");
  TKVHub hub;
  hub.InCount = 8;
  hub.SetOutCount(1);
  hub.onEvent[0] = Link<&Step::doStep>(&a, 0);
  for (uint16_t input = 0; input < 8; ++input) {
    FireInteger(Link<&TKVHub::doEvent>(&hub, input), 1);
  }
  EXPECT_EQ(journal, std::vector<std::string>(8, "a:1"));
}

}  // namespace
