// The message box component with the real MessageBoxW: a second thread of the
// test finds the box (modal in the test's own thread) and presses a button.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "control.h"
#include "message.h"
#include "text_conv.h"

namespace {

constexpr DWORD kDeadlineMs = 20000;
constexpr int kMessageTextId = 0xFFFF;  // the static control of a message box
constexpr int kMessageIconId = 0x0440;  // its icon control

// What the dismissing thread saw of the box.
struct BoxSeen {
  bool found = false;
  std::string caption;
  std::string text;
  std::vector<int> buttons;
  int defaultButton = 0;
  HICON icon = nullptr;
  HWND owner = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

std::string TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, std::size(text));
  return ToUtf8(text);
}

// Waits (with a deadline) for the box shown by the given thread, notes what it
// shows, then presses the button.
class Dismisser {
 public:
  explicit Dismisser(int button) : thread_(&Dismisser::Run, this, GetCurrentThreadId(), button) {}
  ~Dismisser() { Join(); }
  const BoxSeen& Join() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  void Run(DWORD boxThread, int button) {
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    while (!box && GetTickCount() - start < kDeadlineMs) {
      EnumThreadWindows(boxThread, FindDialog, reinterpret_cast<LPARAM>(&box));
      if (!box) Sleep(20);
    }
    if (!box) return;
    seen_.found = true;
    seen_.caption = TextOf(box);
    seen_.text = TextOf(GetDlgItem(box, kMessageTextId));
    for (int id = IDOK; id <= IDNO; ++id) {
      HWND control = GetDlgItem(box, id);
      if (control && IsWindowVisible(control)) seen_.buttons.push_back(id);
    }
    for (int id : seen_.buttons) {
      const LONG style = GetWindowLongA(GetDlgItem(box, id), GWL_STYLE);
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen_.defaultButton = id;
    }
    seen_.owner = GetWindow(box, GW_OWNER);
    seen_.icon =
        reinterpret_cast<HICON>(SendDlgItemMessageA(box, kMessageIconId, STM_GETICON, 0, 0));
    SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
  }

  BoxSeen seen_;
  std::thread thread_;
};

std::vector<std::string> journal;

struct Recorder : TKVComponent {
  void doResult(TData& data, uint16_t) {
    journal.push_back("result " + ToString(data));
    // Not a tail: the button event must still come after this handler.
    EXPECT_EQ(data.type, dtInteger);
  }
  void doYes(TData&, uint16_t) { journal.push_back("yes"); }
  void doNo(TData& data, uint16_t) {
    journal.push_back("no");
    EXPECT_EQ(data.type, dtNull);
  }
  void doCancel(TData&, uint16_t) { journal.push_back("cancel"); }
  void doOK(TData&, uint16_t) { journal.push_back("ok"); }
};

class MessageComponent : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHooksWorking();
    journal.clear();
    message.onResult = Link<&Recorder::doResult>(&recorder, 0);
    message.onOK = Link<&Recorder::doOK>(&recorder, 0);
    message.onCancel = Link<&Recorder::doCancel>(&recorder, 0);
    message.onYes = Link<&Recorder::doYes>(&recorder, 0);
    message.onNo = Link<&Recorder::doNo>(&recorder, 0);
  }
  void TearDown() override { SetHooksIdle(); }

  TKVMessage message;
  Recorder recorder;
};

// Texts beyond any one code page reach the box whole.
TEST_F(MessageComponent, YesNoBoxAnsweredNoFiresResultSevenThenOnNo) {
  message.Text = "Удалить всё? Διαγραφή; 删除?";
  message.Caption = "Brumix вопрос";
  message.Buttons = 2;
  EXPECT_EQ(message.Style(), static_cast<UINT>(MB_YESNO));
  Dismisser dismisser(IDNO);
  FireNull(Link<&TKVMessage::doMessage>(&message, 0));
  const BoxSeen& seen = dismisser.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.caption, "Brumix вопрос");
  EXPECT_EQ(seen.text, "Удалить всё? Διαγραφή; 删除?");
  EXPECT_EQ(seen.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"result 7", "no"}));
}

TEST_F(MessageComponent, ButtonsIconAndDefaultButtonMakeTheStyle) {
  message.Buttons = 3;
  message.Icon = 2;
  message.DefaultButton = 1;
  EXPECT_EQ(message.Style(), 0x123u);
  message.Caption = "Style 0x123";
  Dismisser dismisser(IDCANCEL);
  FireNull(Link<&TKVMessage::doMessage>(&message, 0));
  const BoxSeen& seen = dismisser.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
  EXPECT_EQ(seen.defaultButton, IDNO);
  EXPECT_NE(seen.icon, nullptr);
  EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_QUESTION));
  EXPECT_EQ(journal, (std::vector<std::string>{"result 2", "cancel"}));
}

TEST_F(MessageComponent, ValuesOutsideTheTablesAddNothing) {
  message.Buttons = 6;
  message.Icon = 5;
  message.DefaultButton = 3;
  EXPECT_EQ(message.Style(), 0u);
  message.Buttons = 5;
  message.Icon = 4;
  message.DefaultButton = 2;
  EXPECT_EQ(message.Style(),
            static_cast<UINT>(MB_ABORTRETRYIGNORE | MB_ICONASTERISK | MB_DEFBUTTON3));
}

TEST_F(MessageComponent, IncomingTextIsShownAndAnEmptyCaptionStaysEmpty) {
  Dismisser dismisser(IDOK);
  FireString(Link<&TKVMessage::doMessage>(&message, 0), "Text from the event");
  const BoxSeen& seen = dismisser.Join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "Text from the event");
  // A null caption would have shown "Error".
  EXPECT_EQ(seen.caption, "");
  EXPECT_EQ(journal, (std::vector<std::string>{"result 1", "ok"}));
}

}  // namespace

TEST_F(MessageComponent, BoxBelongsToTheMainWindowOnceThereIsOne) {
  TControl* main = NewWindowedControl(nullptr, "Test", false);
  main->Style = WS_POPUP;
  const HWND mainWindow = main->EnsureHandle();
  ASSERT_NE(mainWindow, nullptr);
  MainWindowControl = main;
  Dismisser dismisser(IDOK);
  FireNull(Link<&TKVMessage::doMessage>(&message, 0));
  const BoxSeen& seen = dismisser.Join();
  MainWindowControl = nullptr;
  main->Free();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, mainWindow);
}
