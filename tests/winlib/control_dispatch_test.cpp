#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control.h"
#include "control_test_support.h"

namespace {

using ControlDispatch = ControlTest;

constexpr UINT kProbe = 0x8FFF;  // a message the cases handle without default processing

// Which step answers "handled"; empty for none.
std::string handledBy;

bool Step(const char* name, LRESULT& result) {
  controlJournal.push_back(name);
  if (handledBy != name) return false;
  result = 7;
  return true;
}

bool GlobalStep(TControl*, MSG& msg, LRESULT& result) {
  return msg.message == kProbe && Step("global", result);
}
bool MainStep(void*, MSG& msg, LRESULT& result) {
  return msg.message == kProbe && Step("main", result);
}
bool OwnStep(void*, MSG& msg, LRESULT& result) {
  return msg.message == kProbe && Step("own", result);
}
bool HandlerA(TControl*, MSG& msg, LRESULT& result) {
  return msg.message == kProbe && Step("A", result);
}
bool HandlerB(TControl*, MSG& msg, LRESULT& result) {
  return msg.message == kProbe && Step("B", result);
}
bool KindStep(TControl*, MSG& msg, LRESULT& result) {
  return msg.message == kProbe && Step("kind", result);
}
void AfterStep(TControl*, MSG& msg, LRESULT&) {
  if (msg.message == kProbe) controlJournal.push_back("after");
}

class OrderTest : public ControlDispatch {
 protected:
  void SetUp() override {
    ControlDispatch::SetUp();
    handledBy.clear();
    main = NewPopup();
    ASSERT_TRUE(main->MakeWindow());
    main->OnMessage = TOnMessage{MainStep, nullptr};
    control = NewPopup();
    ASSERT_TRUE(control->MakeWindow());
    MainWindowControl = main;
    LoopRunning = true;
    GlobalMessageHook = GlobalStep;
    control->OnMessage = TOnMessage{OwnStep, nullptr};
    control->AddMessageHandler(HandlerA, false);
    control->KindHook = KindStep;
    control->AfterMessageProc = AfterStep;
    CallMessageProc = [](LPARAM, WPARAM) { controlJournal.push_back("case"); };
  }
  void TearDown() override {
    CallMessageProc = [](LPARAM, WPARAM) {};
    control->Free();
    main->Free();
    ControlDispatch::TearDown();
  }
  LRESULT Probe() { return SendMessageA(control->Handle, kProbe, 0, 0); }

  TControl* main = nullptr;
  TControl* control = nullptr;
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(OrderTest, EveryStepInItsOrderWhenNothingHandles) {
  EXPECT_EQ(Probe(), 0);
  EXPECT_EQ(controlJournal, (Strings{"global", "main", "own", "A", "kind", "case", "after"}));
}

TEST_F(OrderTest, AHandledMessageSkipsTheRestButNotTheAfterMessageProc) {
  handledBy = "global";
  EXPECT_EQ(Probe(), 7);
  EXPECT_EQ(controlJournal, (Strings{"global", "after"}));
  controlJournal.clear();
  handledBy = "own";
  EXPECT_EQ(Probe(), 7);
  EXPECT_EQ(controlJournal, (Strings{"global", "main", "own", "after"}));
  controlJournal.clear();
  handledBy = "A";
  EXPECT_EQ(Probe(), 7);
  EXPECT_EQ(controlJournal, (Strings{"global", "main", "own", "A", "after"}));
  controlJournal.clear();
  handledBy = "kind";
  EXPECT_EQ(Probe(), 7);
  EXPECT_EQ(controlJournal, (Strings{"global", "main", "own", "A", "kind", "after"}));
}

TEST_F(OrderTest, TheMainWindowSeesMessagesOnlyWhileTheLoopRuns) {
  LoopRunning = false;
  Probe();
  EXPECT_EQ(controlJournal, (Strings{"global", "own", "A", "kind", "case", "after"}));
}

TEST_F(OrderTest, HandlersRunLastAttachedFirstAndOnceEach) {
  control->AddMessageHandler(HandlerB, false);
  control->AddMessageHandler(HandlerA, true);  // already there: no second entry, flag kept
  EXPECT_EQ(control->Handlers->Count, 4);
  Probe();
  EXPECT_EQ(controlJournal, (Strings{"global", "main", "own", "B", "A", "kind", "case", "after"}));
}

TEST_F(OrderTest, AfterTheLoopHasEndedOnlyKeptHandlersRun) {
  control->AddMessageHandler(HandlerB, true);
  LoopEnded = true;
  Probe();
  // No after-message procedure once the loop has ended either.
  EXPECT_EQ(controlJournal, (Strings{"global", "main", "own", "B", "kind", "case"}));
}

namespace {

int destroyedCount = 0;
bool freedInHandler = false;

void CountDestroyed(void*, TObj*) {
  ++destroyedCount;
  controlJournal.push_back("destroyed");
}

bool FreeSelf(TControl* control, MSG& msg, LRESULT&) {
  if (msg.message != kProbe) return false;
  control->Free();
  freedInHandler = true;
  // Still alive: the walk holds a reference.
  controlJournal.push_back(control->Handle ? "freed, still here" : "gone");
  return false;
}

bool Later(TControl*, MSG& msg, LRESULT&) {
  if (msg.message == kProbe) controlJournal.push_back("earlier handler");
  return false;
}

void AfterFree(TControl*, MSG& msg, LRESULT&) {
  if (msg.message == kProbe) controlJournal.push_back("after");
}

}  // namespace

TEST_F(ControlDispatch, AControlFreedByItsOwnHandlerGoesOnceAfterTheMessage) {
  destroyedCount = 0;
  freedInHandler = false;
  TControl* parent = NewPopup();
  TControl* control = NewChild(parent, nullptr, 0);
  ASSERT_TRUE(parent->MakeWindow());
  HWND window = control->Handle;
  control->OnDestroy = TOnEvent{CountDestroyed, nullptr};
  control->AddMessageHandler(Later, false);
  control->AddMessageHandler(FreeSelf, false);
  control->AfterMessageProc = AfterFree;
  CallMessageProc = [](LPARAM, WPARAM) { controlJournal.push_back("case"); };
  EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 0);
  CallMessageProc = [](LPARAM, WPARAM) {};
  EXPECT_TRUE(freedInHandler);
  // A free during the walk counts as handled: the cases never see the message.
  EXPECT_EQ(controlJournal,
            (Strings{"freed, still here", "earlier handler", "after", "destroyed"}));
  EXPECT_EQ(destroyedCount, 1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(parent->Children->Count, 0);
  parent->Free();
}

TEST_F(ControlDispatch, HandlersAreNotCalledForAControlUnderDestruction) {
  TControl* control = NewPopup();
  ASSERT_TRUE(control->MakeWindow());
  static int calls = 0;
  calls = 0;
  control->AddMessageHandler(
      [](TControl*, MSG&, LRESULT&) {
        ++calls;
        return false;
      },
      false);
  SendMessageA(control->Handle, WM_NULL, 0, 0);
  EXPECT_EQ(calls, 1);
  calls = 0;
  control->Free();  // DestroyWindow sends WM_DESTROY and WM_NCDESTROY on the way
  EXPECT_EQ(calls, 0);
}
