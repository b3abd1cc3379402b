#include <gtest/gtest.h>

#include <windows.h>

#include "library_unit.h"

TEST(WindowLibraryUnit, InitMakesFormsListAndMessageFinishDropsList) {
  WindowLibraryInit();
  ASSERT_NE(FormsList, nullptr);
  EXPECT_NE(FormsList->Objects, nullptr);
  EXPECT_EQ(FormsList->Count, 0);
  EXPECT_EQ(InnerMessageId, RegisterWindowMessageW(L"inner message"));
  EXPECT_GE(InnerMessageId, 0xC000u);
  FormsList->AddObject("", reinterpret_cast<void*>(0x1234));
  WindowLibraryFinish();
  EXPECT_EQ(FormsList, nullptr);
  WindowLibraryFinish();  // a second finish has nothing left to free
  EXPECT_EQ(FormsList, nullptr);
}
