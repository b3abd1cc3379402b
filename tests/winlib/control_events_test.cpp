#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "control.h"
#include "control_test_support.h"
#include "graphic_tool.h"

namespace {

using Strings = std::vector<std::string>;

class ControlEvents : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewPopup();
    child = NewChild(form, nullptr, 0);
    ASSERT_TRUE(form->MakeWindow());
  }
  void TearDown() override {
    form->Free();
    ControlTest::TearDown();
  }
  TControl* form = nullptr;
  TControl* child = nullptr;
};

TMouseEventData lastMouse;
bool stopMouse = false;

void RecordMouse(void* word, TControl*, TMouseEventData& mouse) {
  controlJournal.push_back(static_cast<const char*>(word));
  lastMouse = mouse;
  mouse.StopHandling = stopMouse;
}

TOnMouse MouseEvent(const char* word) {
  return TOnMouse{RecordMouse, const_cast<char*>(word)};
}

bool pointerInside = false;
bool HitTest(void*, TControl*) {
  return pointerInside;
}

}  // namespace

TEST_F(ControlEvents, MouseMessagesBecomeEventsWithButtonAndPosition) {
  child->AddMessageHandler(MouseEventsHandler, false);
  child->OnMouseDown = MouseEvent("down");
  child->OnMouseUp = MouseEvent("up");
  child->OnMouseMove = MouseEvent("move");
  child->OnMouseDblClk = MouseEvent("double");
  child->OnMouseWheel = MouseEvent("wheel");
  stopMouse = false;
  SendMessageA(child->Handle, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(12, -3));
  EXPECT_EQ(lastMouse.Button, 2);
  EXPECT_EQ(lastMouse.X, 12);
  EXPECT_EQ(lastMouse.Y, -3);
  EXPECT_EQ(lastMouse.Shift, static_cast<uint32_t>(MK_RBUTTON));
  SendMessageA(child->Handle, WM_MBUTTONUP, 0, 0);
  EXPECT_EQ(lastMouse.Button, 3);
  SendMessageA(child->Handle, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  EXPECT_EQ(lastMouse.Button, 1);
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  EXPECT_EQ(lastMouse.Button, 0);
  SendMessageA(child->Handle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(lastMouse.Shift)), -120);
  EXPECT_EQ(controlJournal, (Strings{"down", "up", "double", "move", "wheel"}));
  // The form's window is not the control's: its messages raise nothing.
  controlJournal.clear();
  MSG foreign{form->Handle, WM_LBUTTONDOWN, 0, 0, 0, {}};
  child->HandleMessage(foreign);
  EXPECT_TRUE(controlJournal.empty());
}

TEST_F(ControlEvents, AMouseEventThatStopsHandlingKeepsTheMessageFromTheCases) {
  child->AddMessageHandler(MouseEventsHandler, false);
  child->OnMouseMove = MouseEvent("move");
  static int afterCalls = 0;
  afterCalls = 0;
  child->KindHook = [](TControl*, MSG& msg, LRESULT&) {
    if (msg.message == WM_MOUSEMOVE) ++afterCalls;
    return false;
  };
  stopMouse = true;
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(afterCalls, 0);
  stopMouse = false;
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(afterCalls, 1);
}

TEST_F(ControlEvents, PointerEnteringAndLeavingRaiseTheirEventsOnce) {
  child->AddMessageHandler(MouseEnterLeaveHandler, false);
  child->OnMouseEnter = NoteEvent("enter");
  child->OnMouseLeave = NoteEvent("leave");
  child->HitTestProc = THitTest{HitTest, nullptr};
  pointerInside = true;
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, 0);
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, 0);
  EXPECT_TRUE(child->MouseInside);
  pointerInside = false;
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, 0);
  EXPECT_FALSE(child->MouseInside);
  pointerInside = true;
  SendMessageA(child->Handle, WM_MOUSEMOVE, 0, 0);
  SendMessageA(child->Handle, WM_MOUSELEAVE, 0, 0);
  SendMessageA(child->Handle, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(controlJournal, (Strings{"enter", "leave", "enter", "leave"}));
}

TEST_F(ControlEvents, SizeChangesRaiseOnResizeAndAlignParentAndControl) {
  child->AddMessageHandler(ResizeHandler, false);
  child->OnResize = NoteEvent("resize");
  static std::vector<TControl*> aligned;
  aligned.clear();
  AlignHook = [](TControl* control) { aligned.push_back(control); };
  SetWindowPos(child->Handle, nullptr, 0, 0, 30, 40, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(controlJournal, Strings{"resize"});
  EXPECT_EQ(aligned, (std::vector<TControl*>{form, child}));
  SendMessageA(form->Handle, WM_SIZE, SIZE_MAXIMIZED, 0);
  EXPECT_EQ(form->WindowState, 2);
  SendMessageA(form->Handle, WM_SIZE, SIZE_MAXHIDE, 0);
  EXPECT_EQ(form->WindowState, 2);
}

TEST_F(ControlEvents, AButtonClickReachesItsControlThroughTheParentsCommand) {
  TControl* button = NewChild(form, "BUTTON", BS_PUSHBUTTON);
  button->AddMessageHandler(StandardControlHandler, false);
  button->OnClick = NoteEvent("click");
  button->PreClickProc = [](TControl*) { controlJournal.push_back("pre-click"); };
  ASSERT_TRUE(form->MakeWindow());
  SendMessageA(button->Handle, BM_CLICK, 0, 0);
  EXPECT_EQ(controlJournal, (Strings{"pre-click", "click"}));
  // A focus the library moves itself clicks nothing.
  controlJournal.clear();
  button->FocusNesting = 1;
  SendMessageA(button->Handle, BM_CLICK, 0, 0);
  EXPECT_TRUE(controlJournal.empty());
}

TEST_F(ControlEvents, NotificationCodesFireTheirEvents) {
  child->AddMessageHandler(StandardControlHandler, false);
  const uint16_t codes[5] = {10, 11, 12, 13, 14};
  std::copy(codes, codes + 5, child->NotifyCodes);
  child->OnClick = NoteEvent("click");
  child->NotifyEvents[0] = NoteEvent("second");
  child->NotifyEvents[2] = NoteEvent("fourth");
  child->NotifyProc = [](TControl*) { controlJournal.push_back("fifth"); };
  for (WPARAM code : {10, 11, 13, 14, 99}) {
    SendMessageA(form->Handle, WM_COMMAND, MAKEWPARAM(1, code),
                 reinterpret_cast<LPARAM>(child->Handle));
  }
  EXPECT_EQ(controlJournal, (Strings{"click", "second", "fourth", "fifth"}));
}

TEST_F(ControlEvents, ColourRequestsAreAnsweredByTheControlBeingColoured) {
  child->AddMessageHandler(StandardControlHandler, false);
  child->TextColor = RGB(1, 2, 3);
  child->Color = RGB(200, 100, 50);
  HDC dc = GetDC(form->Handle);
  LRESULT brush = SendMessageA(form->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(child->Handle));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(child->Brush->GetToolHandle()));
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(dc), RGB(200, 100, 50));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  child->Transparent = true;
  brush = SendMessageA(form->Handle, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(child->Handle));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(form->Handle, dc);
}

TEST_F(ControlEvents, NotifyAndDrawItemAreReflectedToTheControlTheyAreAbout) {
  form->AddMessageHandler(NotifyReflectHandler, false);
  form->AddMessageHandler(DrawItemReflectHandler, false);
  child->AddMessageHandler(
      [](TControl*, MSG& msg, LRESULT& result) {
        if (msg.message == WM_NOTIFY) controlJournal.push_back("notify");
        if (msg.message == RM_DRAWITEM) controlJournal.push_back("draw item");
        result = 5;
        return msg.message == WM_NOTIFY || msg.message == RM_DRAWITEM;
      },
      false);
  NMHDR header{child->Handle, 1, 2};
  EXPECT_EQ(SendMessageA(form->Handle, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 5);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.hwndItem = child->Handle;
  EXPECT_EQ(SendMessageA(form->Handle, WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&item)), 5);
  item.CtlType = ODT_MENU;  // a menu item carries no window
  SendMessageA(form->Handle, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(controlJournal, (Strings{"notify", "draw item"}));
}

TEST_F(ControlEvents, SetVisibleShowsHidesAndKeepsTheStyle) {
  const auto windowVisible = [this] {
    return (GetWindowLongA(child->Handle, GWL_STYLE) & WS_VISIBLE) != 0;
  };
  child->SetVisible(false);
  EXPECT_FALSE(windowVisible());
  EXPECT_FALSE(child->Style & WS_VISIBLE);
  child->SetVisible(true);
  EXPECT_TRUE(windowVisible());
  EXPECT_TRUE(child->Style & WS_VISIBLE);
  EXPECT_TRUE(child->Visible);
}

TEST_F(ControlEvents, InvalidateMarksTheWholeClientUntilTheLoopHasEnded) {
  static int hooked = 0;
  hooked = 0;
  InvalidateHook = [](TControl*) { ++hooked; };
  form->SetVisible(true);  // hidden windows keep no update region
  ValidateRect(child->Handle, nullptr);
  child->Invalidate();
  RECT update;
  EXPECT_TRUE(GetUpdateRect(child->Handle, &update, FALSE));
  EXPECT_EQ(hooked, 1);
  ValidateRect(child->Handle, nullptr);
  LoopEnded = true;
  child->Invalidate();
  EXPECT_FALSE(GetUpdateRect(child->Handle, &update, FALSE));
  EXPECT_EQ(hooked, 1);
}

TEST_F(ControlEvents, SetCursorAnswersOverTheClientAreaOnly) {
  HCURSOR cross = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
  child->SetCursor(cross);
  EXPECT_EQ(SendMessageA(child->Handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(child->Handle),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  EXPECT_EQ(GetCursor(), cross);
  CursorLocked = true;
  EXPECT_EQ(SendMessageA(child->Handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(child->Handle),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            0);
}

TEST_F(ControlEvents, IsMainWindowFollowsTheAppObjectAndTheFirstForm) {
  EXPECT_TRUE(form->IsMainWindow());
  EXPECT_FALSE(child->IsMainWindow());
  HasAppObject = true;
  EXPECT_FALSE(form->IsMainWindow());
  MainWindowControl = form;
  EXPECT_TRUE(form->IsMainWindow());
  MainWindowControl = nullptr;
  TControl* app = NewTopLevel();
  TControl* first = NewWindowedControl(app, "Test", false);
  TControl* second = NewWindowedControl(app, "Test", false);
  TControl* nested = NewWindowedControl(first, "Test", false);
  EXPECT_TRUE(first->IsMainWindow());
  EXPECT_FALSE(second->IsMainWindow());
  EXPECT_FALSE(nested->IsMainWindow());
  app->Free();
}

TEST_F(ControlEvents, ChildTakesItsParentsLookAndClonesItsTools) {
  form->Color = RGB(9, 8, 7);
  form->KindHook = [](TControl*, MSG&, LRESULT&) { return false; };
  form->GetFont()->SetFontHeight(-17);
  // After the font: applying a font to a made window takes the font's colour.
  form->TextColor = RGB(1, 1, 1);
  form->GetBrush();
  TControl* made = NewWindowedControl(form, "STATIC", true);
  EXPECT_EQ(made->Color, RGB(9, 8, 7));
  EXPECT_EQ(made->TextColor, RGB(1, 1, 1));
  EXPECT_EQ(made->KindHook, form->KindHook);
  EXPECT_EQ(made->BaseClassName, "STATIC");
  EXPECT_TRUE(made->Ctl3DState);
  ASSERT_NE(made->Font, nullptr);
  ASSERT_NE(made->Font, form->Font);
  EXPECT_EQ(made->Font->ToolData.Font.lfHeight, -17);
  ASSERT_NE(made->Brush, nullptr);
  // A change of the clone is applied to the control that owns it.
  made->IsControl = true;
  made->Style = WS_CHILD;
  ASSERT_TRUE(made->MakeWindow());
  made->Font->SetFontHeight(-30);
  EXPECT_EQ(SendMessageA(made->Handle, WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(made->Font->GetToolHandle()));
}

TEST_F(ControlEvents, TheFormRemembersWhichStandardControlGotTheFocus) {
  form->IsForm = true;
  TControl* button = NewChild(form, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
  button->AddMessageHandler(StandardControlHandler, false);
  ASSERT_TRUE(form->MakeWindow());
  SetFocus(button->Handle);
  EXPECT_EQ(form->FocusedControl, button);
  button->Free();
  EXPECT_EQ(form->FocusedControl, nullptr);
}

TEST_F(ControlEvents, MinimizingASecondMainWindowMinimizesTheMainWindowControlInstead) {
  TControl* other = NewPopup();
  ASSERT_TRUE(other->MakeWindow());
  MainWindowControl = form;
  static int minimizes = 0;
  minimizes = 0;
  form->OnMessage = TOnMessage{[](void*, MSG& msg, LRESULT&) {
                                 if (msg.message == WM_SYSCOMMAND && msg.wParam == SC_MINIMIZE) {
                                   ++minimizes;
                                   return true;
                                 }
                                 return false;
                               },
                               nullptr};
  EXPECT_EQ(SendMessageA(other->Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0), 0);
  EXPECT_FALSE(IsIconic(other->Handle));
  PumpWaiting();
  EXPECT_EQ(minimizes, 1);
  MainWindowControl = nullptr;
  other->Free();
}

namespace {

// A component-like owner whose members serve as the control's events.
struct WheelCounter {
  void Wheel(TControl* sender, TMouseEventData& mouse) {
    total += static_cast<int16_t>(HIWORD(mouse.Shift));
    last = sender;
  }
  int total = 0;
  TControl* last = nullptr;
};

}  // namespace

TEST_F(ControlEvents, MemberFunctionsServeAsEvents) {
  WheelCounter counter;
  child->AddMessageHandler(MouseEventsHandler, false);
  child->OnMouseWheel = BindEvent<&WheelCounter::Wheel>(&counter);
  SendMessageA(child->Handle, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
  SendMessageA(child->Handle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(counter.total, 120);
  EXPECT_EQ(counter.last, child);
}
