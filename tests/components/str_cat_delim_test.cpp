// The string joiner: reading order, the stored result and tail firing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kv_math.h"
#include "str_cat_delim.h"

namespace {

struct TextSink : TKVComponent {
  std::vector<std::string> texts;
  std::vector<const TData*> records;
  void doGet(TData& data, uint16_t) {
    texts.push_back(ToString(data));
    records.push_back(&data);
  }
};

struct RealSource : TKVComponent {
  double value = 0.0;
  void Value(TData& data, uint16_t) { SetReal(data, value); }
};

class Joiner : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    joiner.onStrCat = Link<&TextSink::doGet>(&sink, 0);
  }
  void TearDown() override { SetHooksIdle(); }

  TKVStrCatDelim joiner;
  TextSink sink;
};

std::string ResultOf(TKVStrCatDelim& joiner) {
  TData result;
  ReadDataPlain(Link<&TKVStrCatDelim::Result>(&joiner, 0), result);
  EXPECT_EQ(result.type, dtString);
  return result.text;
}

TEST_F(Joiner, AppendsAFixedSuffixToTheIncomingText) {
  joiner.Str2 = "Google\\Chrome\\User Data\\Default\\Cache";
  joiner.Delimiter = "\\";
  EXPECT_EQ(ResultOf(joiner), "");
  TData incoming;
  SetString(incoming, "C:\\users\\me\\Local Settings");
  FireData(Link<&TKVStrCatDelim::doStrCat>(&joiner, 0), incoming);
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0],
            "C:\\users\\me\\Local Settings\\Google\\Chrome\\User Data\\Default\\Cache");
  // Tail firing: the successor ran on the very record the event brought.
  EXPECT_EQ(sink.records[0], &incoming);
  EXPECT_EQ(incoming.type, dtString);
  EXPECT_EQ(incoming.text, sink.texts[0]);
  EXPECT_EQ(ResultOf(joiner), sink.texts[0]);
}

TEST_F(Joiner, NullEventAndEmptyPropertiesGiveTheEmptyText) {
  FireNull(Link<&TKVStrCatDelim::doStrCat>(&joiner, 0));
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0], "");
}

TEST_F(Joiner, IncomingChainFillsStr1ThenStr2ThenDelimiter) {
  TData second;
  SetString(second, "two");
  TData third;
  SetString(third, "+");
  second.next = &third;
  TData first;
  SetString(first, "one");
  first.next = &second;
  FireData(Link<&TKVStrCatDelim::doStrCat>(&joiner, 0), first);
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0], "one+two");
}

TEST_F(Joiner, FramesANumberReadThroughTheDelimiterLink) {
  TKVMath toMB;
  toMB.Op2 = 1048576.0;
  toMB.ResultType = 0;
  toMB.onResult = Link<&TKVStrCatDelim::doStrCat>(&joiner, 0);
  joiner.Str1 = "У вас на компьютере ";
  joiner.Str2 = " мб мусора.";
  joiner.Delimiter = "  ";
  joiner.DelimiterLink = Link<&TKVMath::Result>(&toMB, 0);
  FireReal(Link<&TKVMath::doDivide>(&toMB, 0), 3221225472.0);
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0], "У вас на компьютере 3072 мб мусора.");

  RealSource half;
  half.value = 12.5;
  joiner.DelimiterLink = Link<&RealSource::Value>(&half, 0);
  FireNull(Link<&TKVStrCatDelim::doStrCat>(&joiner, 0));
  EXPECT_EQ(sink.texts.back(), "У вас на компьютере 12.5 мб мусора.");
}

}  // namespace
