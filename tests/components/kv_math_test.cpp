// The arithmetic component: operand reading, rounding and division by zero.
#include <gtest/gtest.h>

#include <vector>

#include "kv_math.h"

namespace {

struct ResultSink : TKVComponent {
  std::vector<TData> results;
  int errors = 0;
  void doResult(TData& data, uint16_t) { results.push_back(data); }
  void doError(TData& data, uint16_t) {
    ++errors;
    EXPECT_EQ(data.type, dtNull);
  }
};

struct RealSource : TKVComponent {
  double value = 0.0;
  void Value(TData& data, uint16_t) { SetReal(data, value); }
};

class Math : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    math.onResult = Link<&ResultSink::doResult>(&sink, 0);
    math.onError = Link<&ResultSink::doError>(&sink, 0);
  }
  void TearDown() override { SetHooksIdle(); }

  TData ResultValue() {
    TData result;
    ReadDataPlain(Link<&TKVMath::Result>(&math, 0), result);
    return result;
  }

  TKVMath math;
  ResultSink sink;
};

TEST_F(Math, AddsALinkedOperandAndAProperty) {
  RealSource source;
  source.value = 2.5;
  math.Op1Link = Link<&RealSource::Value>(&source, 0);
  math.Op2 = 1.25;
  math.ResultType = 1;
  FireNull(Link<&TKVMath::doAdd>(&math, 0));
  ASSERT_EQ(sink.results.size(), 1u);
  EXPECT_EQ(sink.results[0].type, dtReal);
  EXPECT_EQ(sink.results[0].realValue, 3.75);

  math.ResultType = 0;
  FireNull(Link<&TKVMath::doAdd>(&math, 0));
  ASSERT_EQ(sink.results.size(), 2u);
  EXPECT_EQ(sink.results[1].type, dtInteger);
  EXPECT_EQ(sink.results[1].intValue, 4);
  EXPECT_EQ(ResultValue().intValue, 4);
}

TEST_F(Math, IntegerResultsRoundTiesToEven) {
  for (double sum : {2.5, 3.5, 1.5, -2.5}) {
    FireReal(Link<&TKVMath::doAdd>(&math, 0), sum);
  }
  ASSERT_EQ(sink.results.size(), 4u);
  EXPECT_EQ(sink.results[0].intValue, 2);
  EXPECT_EQ(sink.results[1].intValue, 4);
  EXPECT_EQ(sink.results[2].intValue, 2);
  EXPECT_EQ(sink.results[3].intValue, -2);
}

TEST_F(Math, OperandsWithZeroPropertiesTakeTheIncomingChainInOrder) {
  math.ResultType = 1;
  TData second;
  SetString(second, "4");
  TData first;
  SetInteger(first, 10);
  first.next = &second;
  FireData(Link<&TKVMath::doDivide>(&math, 0), first);
  ASSERT_EQ(sink.results.size(), 1u);
  EXPECT_EQ(sink.results[0].realValue, 2.5);
  // The comma is skipped by the text-to-real rule: 12,5 reads as 125.
  math.Op2 = 1.0;
  FireString(Link<&TKVMath::doAdd>(&math, 0), "12,5");
  EXPECT_EQ(sink.results.back().realValue, 126.0);
  FireString(Link<&TKVMath::doAdd>(&math, 0), "abc");
  EXPECT_EQ(sink.results.back().realValue, 1.0);
}

TEST_F(Math, DividesBytesIntoWholeMegabytes) {
  math.Op2 = 1048576.0;
  FireReal(Link<&TKVMath::doDivide>(&math, 0), 3221225472.0);
  FireString(Link<&TKVMath::doDivide>(&math, 0), "3221225472");
  ASSERT_EQ(sink.results.size(), 2u);
  EXPECT_EQ(sink.results[0].type, dtInteger);
  EXPECT_EQ(sink.results[0].intValue, 3072);
  EXPECT_EQ(sink.results[1].intValue, 3072);
  // 1.5 MB and 2.5 MB both show 2.
  FireReal(Link<&TKVMath::doDivide>(&math, 0), 1.5 * 1048576);
  FireReal(Link<&TKVMath::doDivide>(&math, 0), 2.5 * 1048576);
  EXPECT_EQ(sink.results[2].intValue, 2);
  EXPECT_EQ(sink.results[3].intValue, 2);
}

TEST_F(Math, DivisionByZeroFiresOnErrorAndResultReadsNull) {
  math.ResultType = 1;
  math.SetDefault(7.5);
  EXPECT_EQ(ResultValue().realValue, 7.5);
  FireReal(Link<&TKVMath::doDivide>(&math, 0), 5.0);
  EXPECT_EQ(sink.errors, 1);
  EXPECT_TRUE(sink.results.empty());
  EXPECT_EQ(ResultValue().type, dtNull);

  // The next successful operation clears the error.
  math.Op2 = 2.0;
  FireReal(Link<&TKVMath::doDivide>(&math, 0), 5.0);
  EXPECT_EQ(sink.errors, 1);
  TData result = ResultValue();
  EXPECT_EQ(result.type, dtReal);
  EXPECT_EQ(result.realValue, 2.5);
  // SetDefault also clears the error.
  math.Op2 = 0.0;
  FireNull(Link<&TKVMath::doDivide>(&math, 0));
  EXPECT_EQ(ResultValue().type, dtNull);
  math.SetDefault(7.5);
  EXPECT_EQ(ResultValue().realValue, 7.5);
}

}  // namespace
