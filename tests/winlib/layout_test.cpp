// Alignment of real child windows, and keyboard navigation driven by real key
// presses.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <vector>

#include "app.h"
#include "control_test_support.h"
#include "layout.h"

namespace {

using Place = std::array<LONG, 4>;  // left, top, right, bottom

constexpr int32_t kSpacing = 4;
constexpr uint8_t kAlignTop = 2;
constexpr uint8_t kAlignClient = 5;

// A shown popup: alignment and navigation leave hidden parents alone.
TControl* NewShownForm(int width, int height) {
  TControl* form = NewWindowedControl(nullptr, "Test", false);
  form->IsForm = true;
  form->Style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
  form->Bounds = {0, 0, width, height};
  form->PositionGiven = 3;
  return form;
}

// Where the child's window is, in its parent's client coordinates.
Place PlaceOf(TControl* child) {
  RECT rect;
  GetWindowRect(child->Handle, &rect);
  MapWindowPoints(nullptr, GetParent(child->Handle), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

class Layout : public ControlTest {};

class Navigation : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewShownForm(300, 200);
    form->DialogKeyProc = NavigateKey;
    // Made in another order than the tab order, which alone decides.
    second = NewButton(2);
    third = NewButton(3);
    first = NewButton(1);
    edit = NewChild(form, "EDIT", WS_TABSTOP);
    Join(edit, 4);
    edit->NavKeys = 1;  // Tab only: the arrows move the caret
    ASSERT_TRUE(form->MakeWindow());
    SetWindowTextA(edit->Handle, "abc");
    SetForegroundWindow(form->Handle);
  }
  void TearDown() override {
    form->Free();
    ControlTest::TearDown();
  }

  void Join(TControl* control, int32_t order) {
    control->TabStop = true;
    control->TabOrder = order;
    control->NavKeys = 0xF;
    control->AddMessageHandler(StandardControlHandler, false);
  }
  TControl* NewButton(int32_t order) {
    TControl* button = NewChild(form, "BUTTON", WS_TABSTOP);
    Join(button, order);
    return button;
  }

  void Focus(TControl* control) {
    SetFocus(control->Handle);
    ASSERT_EQ(form->FocusedControl, control);
  }

  static void Press(WORD key, bool withShift = false) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD virtualKey, DWORD flags) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = virtualKey;
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    };
    if (withShift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (withShift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }

  // Handles messages until the condition holds or the deadline passes.
  template <class Condition>
  bool PumpUntil(Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
      if (GetTickCount() - start > 5000) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      PumpMessages(form);
    }
    return true;
  }
  bool FocusReaches(TControl* control) {
    return PumpUntil([control] { return GetFocus() == control->Handle; });
  }

  TControl* form = nullptr;
  TControl* first = nullptr;
  TControl* second = nullptr;
  TControl* third = nullptr;
  TControl* edit = nullptr;
};

}  // namespace

// Two top children stacked S apart, a client child in what is left less S,
// and inside it a client grandchild that follows its size.
TEST_F(Layout, ChildrenDockHiddenOnesFreeTheirSpaceAndNestedOnesFollow) {
  TControl* form = NewShownForm(300, 200);
  form->Spacing = kSpacing;
  TControl* upper = NewChild(form, nullptr, 0);
  upper->Bounds = {0, 0, 50, 20};
  TControl* lower = NewChild(form, nullptr, 0);
  lower->Bounds = {0, 0, 50, 30};
  TControl* rest = NewChild(form, nullptr, 0);
  TControl* inner = NewChild(rest, nullptr, 0);
  ASSERT_TRUE(form->MakeWindow());
  SetAlign(upper, kAlignTop);
  SetAlign(lower, kAlignTop);
  SetAlign(rest, kAlignClient);
  SetAlign(inner, kAlignClient);

  EXPECT_EQ(PlaceOf(upper), (Place{4, 4, 296, 24}));
  EXPECT_EQ(PlaceOf(lower), (Place{4, 28, 296, 58}));
  EXPECT_EQ(PlaceOf(rest), (Place{4, 62, 296, 196}));
  EXPECT_EQ(PlaceOf(inner), (Place{4, 4, 288, 130}));

  upper->SetVisible(false);
  EXPECT_EQ(PlaceOf(upper), (Place{4, 4, 296, 24}));
  EXPECT_EQ(PlaceOf(lower), (Place{4, 4, 296, 34}));
  EXPECT_EQ(PlaceOf(rest), (Place{4, 38, 296, 196}));
  EXPECT_EQ(PlaceOf(inner), (Place{4, 4, 288, 154}));

  upper->SetVisible(true);
  EXPECT_EQ(PlaceOf(lower), (Place{4, 28, 296, 58}));
  EXPECT_EQ(PlaceOf(rest), (Place{4, 62, 296, 196}));
  form->Free();
}

TEST_F(Navigation, TabWrapsFromTheHighestOrderToTheLowestAndShiftTabBack) {
  Focus(edit);
  Press(VK_TAB);
  EXPECT_TRUE(FocusReaches(first));
  Press(VK_TAB, true);
  EXPECT_TRUE(FocusReaches(edit));
  EXPECT_EQ(form->FocusedControl, edit);
}

TEST_F(Navigation, OnlyControlsWithTheArrowBitGiveTheArrowKeysUp) {
  Focus(edit);
  SendMessageA(edit->Handle, EM_SETSEL, 0, 0);
  Press(VK_RIGHT);
  EXPECT_TRUE(PumpUntil([this] { return SendMessageA(edit->Handle, EM_GETSEL, 0, 0) == 0x10001; }));
  EXPECT_EQ(GetFocus(), edit->Handle);

  Focus(first);
  Press(VK_RIGHT);
  EXPECT_TRUE(FocusReaches(second));
  Press(VK_UP);
  EXPECT_TRUE(FocusReaches(first));
}
