// Window components and their hints on real windows: a hint gets a tooltip of
// its own, and nothing of a form or its components outlives them, whichever
// goes first.
#include "kv_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "form_test_support.h"
#include "program_driver.h"

namespace {

BOOL CALLBACK CollectTip(HWND window, LPARAM data) {
  if (ClassOf(window) == "tooltips_class32") {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> ThreadTips() {
  std::vector<HWND> tips;
  EnumThreadWindows(GetCurrentThreadId(), CollectTip, reinterpret_cast<LPARAM>(&tips));
  return tips;
}

HWND TipOf(const TKVWin* component) {
  return reinterpret_cast<HWND>(reinterpret_cast<const TToolInfo*>(component->HintId)->AppData);
}

HFONT FontOf(HWND tip) {
  return reinterpret_cast<HFONT>(SendMessageA(tip, WM_GETFONT, 0, 0));
}

TTestBox* NewBox(TKVMainForm* form, const char* hint, int32_t top) {
  auto* box = new TTestBox(form->Control);
  box->Left = 10;
  box->Top = top;
  box->Width = 100;
  box->Height = 24;
  box->Hint = hint;
  box->Init();
  box->JoinHint(nullptr);
  box->JoinManager(nullptr);
  return box;
}

// A main form and a second form beside it, neither shown.
struct TwoForms {
  TwoForms() {
    first = NewMainForm(20, 20, 300, 200);
    first->Visible = false;
    first->Init();
    second = NewMainForm(40, 40, 200, 100);
    second->Visible = false;
    second->Init();
    RunStartList();
  }
  TKVMainForm* first;
  TKVMainForm* second;
};

}  // namespace

TEST_F(FormTest, OnlyAHintedComponentGetsATooltipAndNoneOutlivesTheLoopsEnd) {
  const size_t tipsBefore = ThreadTips().size();
  TwoForms forms;
  ASSERT_TRUE(forms.first->OwnsApplication);
  ASSERT_FALSE(forms.second->OwnsApplication);
  const HWND secondWindow = forms.second->Control->Handle;
  ASSERT_NE(secondWindow, nullptr);
  ASSERT_EQ(FormsList->Count, 1);
  EXPECT_EQ(FormsList->ObjectAt(0), secondWindow);

  TTestBox* hinted = NewBox(forms.first, "Удалить всё", 10);
  TTestBox* plain = NewBox(forms.first, "", 40);
  ASSERT_NE(hinted->HintId, 0u);
  EXPECT_EQ(plain->HintId, 0u);
  EXPECT_EQ(plain->HintManager, nullptr);
  const HWND tip = TipOf(hinted);
  EXPECT_EQ(ClassOf(tip), "tooltips_class32");
  EXPECT_EQ(ThreadTips().size(), tipsBefore + 1);
  const HFONT font = FontOf(tip);
  ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  const HWND formWindow = forms.first->Control->Handle;
  const HWND buttonWindow = hinted->Control->Handle;

  FreeApplication();
  EXPECT_FALSE(IsWindow(formWindow));
  EXPECT_FALSE(IsWindow(secondWindow));
  EXPECT_FALSE(IsWindow(buttonWindow));
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(HintManager->ToolCount(), 0);
  EXPECT_EQ(hinted->Control, nullptr);
  EXPECT_EQ(forms.first->Control, nullptr);
  EXPECT_EQ((*hinted->GetControlInterface())(), nullptr);

  // The scheme frees the components last made first, the main form last.
  delete plain;
  delete hinted;
  delete forms.second;
  delete forms.first;
  EXPECT_EQ(FormsList->Count, 0);
  EXPECT_EQ(ThreadTips().size(), tipsBefore);
}

TEST_F(FormTest, AComponentFreedFirstTakesItsControlAndTooltipAlong) {
  TwoForms forms;
  TTestBox* hinted = NewBox(forms.first, "Выход", 10);
  EXPECT_EQ((*hinted->GetControlInterface())(), hinted->Control);
  const HWND buttonWindow = hinted->Control->Handle;
  const HWND tip = TipOf(hinted);
  const HFONT font = FontOf(tip);

  delete hinted;
  EXPECT_FALSE(IsWindow(buttonWindow));
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(HintManager->ToolCount(), 0);

  const HWND secondWindow = forms.second->Control->Handle;
  delete forms.second;
  EXPECT_FALSE(IsWindow(secondWindow));
  EXPECT_EQ(FormsList->Count, 0);
  delete forms.first;
  EXPECT_EQ(MainWindowControl->Children->Count, 0);
}
