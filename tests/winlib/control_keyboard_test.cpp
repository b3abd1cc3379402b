#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control.h"
#include "control_test_support.h"

namespace {

// A form with a multi-line edit control that has the focus: the edit's own
// procedure shows what reached default processing.
class ControlKeyboard : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewPopup();
    form->IsForm = true;
    edit = NewChild(form, "EDIT", ES_MULTILINE | WS_TABSTOP);
    ASSERT_TRUE(form->MakeWindow());
    SetFocus(edit->Handle);
    ASSERT_EQ(GetFocus(), edit->Handle);
  }
  void TearDown() override {
    SetModifier(VK_CONTROL, false);
    form->Free();
    ControlTest::TearDown();
  }

  std::string Text() const { return WindowTextUtf8(edit->Handle); }
  // character: a UTF-16 unit, as the Unicode window gets it.
  void Type(WPARAM character) const { SendMessageW(edit->Handle, WM_CHAR, character, 0); }
  void Press(UINT message, WPARAM key) const { SendMessageW(edit->Handle, message, key, 0); }
  void SetText(const char* text) const {
    SetWindowTextW(edit->Handle, ToWstr(text).c_str());
    SendMessageW(edit->Handle, EM_SETSEL, 0, 0);
  }
  // The thread's own key state, which GetKeyState reads.
  static void SetModifier(int key, bool held) {
    BYTE state[256];
    GetKeyboardState(state);
    state[key] = held ? 0x80 : 0;
    SetKeyboardState(state);
  }

  TControl* form = nullptr;
  TControl* edit = nullptr;
};

void ZeroDelete(void*, TControl*, uint32_t& key, uint32_t) {
  if (key == VK_DELETE) key = 0;
}

void UpperCase(void*, TControl*, wchar_t& key, uint32_t) {
  if (key >= 'a' && key <= 'z') key = static_cast<wchar_t>(key - 'a' + 'A');
  if (key == L'ж') key = L'Ж';
  if (key == '!') key = 0;
}

uint32_t askedKey = 0;
bool askedNotKeyDown = false;

bool TakeDelete(TControl*, uint32_t key, bool notKeyDown) {
  askedKey = key;
  askedNotKeyDown = notKeyDown;
  return key == VK_DELETE;
}

void RefuseClose(void*, TControl*, bool& accept) {
  controlJournal.push_back("asked to close");
  accept = false;
}

}  // namespace

TEST_F(ControlKeyboard, TabCharacterIsSwallowedOtherCharactersReachTheControl) {
  Type('a');
  Type('\t');
  Type('b');
  EXPECT_EQ(Text(), "ab");
}

TEST_F(ControlKeyboard, TabWithCtrlHeldGoesToDefaultProcessing) {
  SetModifier(VK_CONTROL, true);
  Type('\t');
  SetModifier(VK_CONTROL, false);
  EXPECT_EQ(Text(), "\t");
}

TEST_F(ControlKeyboard, KeysOfAControlWithoutTheFocusAreDropped) {
  SetFocus(form->Handle);
  Type('z');
  EXPECT_EQ(Text(), "");
}

// With nothing focused the system gives the keys to the active window: Alt+F4
// must still close it there, not be dropped for want of a focused control.
TEST_F(ControlKeyboard, WithNothingFocusedAltF4AtTheActiveFormAsksItToClose) {
  ShowWindow(form->Handle, SW_SHOWNORMAL);
  SetForegroundWindow(form->Handle);
  SetFocus(nullptr);
  ASSERT_EQ(GetActiveWindow(), form->Handle);
  ASSERT_EQ(GetFocus(), nullptr);
  form->OnClose = TOnClose{RefuseClose, nullptr};
  // lParam: the context code, Alt held.
  SendMessageW(form->Handle, WM_SYSKEYDOWN, VK_F4, KF_ALTDOWN << 16);
  PumpWaiting();
  EXPECT_EQ(controlJournal, std::vector<std::string>{"asked to close"});
}

TEST_F(ControlKeyboard, AnOnKeyDownThatZeroesTheKeySwallowsIt) {
  edit->KeyHook = KeyEventsHook;
  edit->OnKeyDown = TOnKey{ZeroDelete, nullptr};
  SetText("abc");
  Press(WM_KEYDOWN, VK_DELETE);
  EXPECT_EQ(Text(), "abc");
  edit->OnKeyDown = {};
  Press(WM_KEYDOWN, VK_DELETE);
  EXPECT_EQ(Text(), "bc");
}

TEST_F(ControlKeyboard, OnCharReplacesOrSwallowsTheCharacter) {
  edit->KeyHook = KeyEventsHook;
  edit->OnChar = TOnChar{UpperCase, nullptr};
  Type('q');
  Type('!');
  // A letter of any script reaches the event whole.
  Type(L'ж');
  Type('w');
  EXPECT_EQ(Text(), "QЖW");
}

TEST_F(ControlKeyboard, TheFormsDialogKeyProcTakesKeysBeforeDefault) {
  form->DialogKeyProc = TakeDelete;
  SetText("abc");
  Press(WM_KEYDOWN, VK_DELETE);
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(askedKey, static_cast<uint32_t>(VK_DELETE));
  EXPECT_FALSE(askedNotKeyDown);
  Press(WM_KEYUP, VK_DELETE);
  EXPECT_TRUE(askedNotKeyDown);
  // A key the procedure leaves goes on to the edit.
  Press(WM_KEYDOWN, VK_END);
  Type('x');
  EXPECT_EQ(askedKey, static_cast<uint32_t>(VK_END));
  EXPECT_EQ(Text(), "abcx");
}
