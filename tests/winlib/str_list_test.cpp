#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "str_list.h"

namespace {

std::vector<std::string> Strings(const TStrList* list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list->Count; ++i)
    out.emplace_back(list->Get(i));
  return out;
}

using Texts = std::vector<std::string>;

}  // namespace

TEST(StrList, SetTextSplitsOnCrLfAndCrButNotLoneLf) {
  TStrList* list = NewStrList();
  list->SetText("one\r\ntwo\rthree\nfour", false);
  EXPECT_EQ(Strings(list), (Texts{"one", "two", "three\nfour"}));
  EXPECT_EQ(list->Lines->Count, 3);
  // The buffer holds the text with each ending CR turned into 0.
  EXPECT_EQ(list->TextSize, 20);
  list->SetText("a\r\rb\r\n", false);
  EXPECT_EQ(Strings(list), (Texts{"a", "", "b"}));
  list->SetText("", false);
  EXPECT_EQ(list->Count, 0);
  EXPECT_EQ(list->TextBuf, nullptr);
  EXPECT_EQ(list->Get(0), nullptr);
  list->Free();
}

TEST(StrList, AppendingMovesBufferAndKeepsEarlierStrings) {
  TStrList* list = NewStrList();
  list->AddString("own");
  list->SetText("x\r\ny", true);
  const char* oldBuffer = list->TextBuf;
  const std::string big(5000, 'z');
  list->SetText(big + "\rlast", true);
  EXPECT_NE(list->TextBuf, oldBuffer);
  EXPECT_EQ(Strings(list), (Texts{"own", "x", "y", big, "last"}));
  // Appending a line that lies in the buffer itself copies it before the old block goes.
  list->SetText(list->Get(1), true);
  EXPECT_EQ(Strings(list), (Texts{"own", "x", "y", big, "last", "x"}));
  list->Free();
}

TEST(StrList, InsertAndDeleteOwnedAndBufferStrings) {
  TStrList* list = NewStrList();
  list->SetText("b\rd", false);
  list->InsertString(0, "a");
  list->InsertString(2, "c");
  list->AddString("e");
  list->InsertString(9, "ignored");
  list->InsertString(-1, "ignored");
  EXPECT_EQ(Strings(list), (Texts{"a", "b", "c", "d", "e"}));
  const char* const bufferLine = list->Get(1);
  list->DeleteString(1);  // lives in TextBuf: stays there
  EXPECT_STREQ(bufferLine, "b");
  list->DeleteString(1);  // an own block: freed
  list->DeleteString(7);
  list->DeleteString(-1);
  EXPECT_EQ(Strings(list), (Texts{"a", "d", "e"}));
  list->ClearStrings();
  EXPECT_EQ(list->Count, 0);
  EXPECT_EQ(list->Lines, nullptr);
  list->AddString("again");
  EXPECT_EQ(Strings(list), (Texts{"again"}));
  list->Free();
}

TEST(StrList, SetTextFromOneOfItsOwnLines) {
  TStrList* list = NewStrList();
  list->SetText("first\rsecond", false);
  list->AddString("owned line");
  list->SetText(list->Get(0), false);
  EXPECT_EQ(Strings(list), Texts{"first"});
  list->SetText(list->Get(0), true);
  EXPECT_EQ(Strings(list), (Texts{"first", "first"}));
  list->Free();
}

TEST(StrListEx, ObjectsStayBesideTheirStrings) {
  TStrListEx* list = NewStrListEx();
  ASSERT_NE(list->Objects, nullptr);
  int a = 0, b = 0, c = 0;
  list->AddObject("", &a);
  list->AddObject("", &c);
  list->InsertObject(1, "", &b);
  list->InsertObject(5, "", &a);
  EXPECT_EQ(list->Count, 3);
  EXPECT_EQ(list->ObjectAt(0), &a);
  EXPECT_EQ(list->ObjectAt(1), &b);
  EXPECT_EQ(list->ObjectAt(2), &c);
  EXPECT_EQ(list->ObjectAt(3), nullptr);
  EXPECT_EQ(list->IndexOfObject(&c), 2);
  list->DeleteString(list->IndexOfObject(&b));
  EXPECT_EQ(list->IndexOfObject(&b), -1);
  EXPECT_EQ(list->ObjectAt(1), &c);
  list->InsertString(0, "plain");
  EXPECT_EQ(list->ObjectAt(0), nullptr);
  EXPECT_EQ(list->ObjectAt(1), &a);
  list->Free();
}

TEST(StrListEx, LinesWithoutObjectsAnswerNone) {
  TStrListEx* list = NewStrListEx();
  list->SetText("p\rq", false);
  list->AddObject("r", &list);
  EXPECT_EQ(Strings(list), (Texts{"p", "q", "r"}));
  EXPECT_EQ(list->ObjectAt(0), nullptr);
  EXPECT_EQ(list->ObjectAt(2), &list);
  list->DeleteString(0);
  EXPECT_EQ(list->ObjectAt(1), &list);
  list->ClearStrings();
  EXPECT_EQ(list->Objects->Count, 0);
  list->Free();
}

TEST(StrList, ATextOutOfRangeIsEmpty) {
  TStrList* list = NewStrList();
  list->SetText("zero\r\none", false);
  EXPECT_EQ(list->GetText(1), "one");
  EXPECT_EQ(list->GetText(2), "");
  EXPECT_EQ(list->GetText(-1), "");
  list->Free();
}
