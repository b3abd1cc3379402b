// The hint manager on real tooltip windows: one per registered control, and
// nothing of it left once the tool is removed, whoever went first.
#include "hint_manager.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "control.h"
#include "program_driver.h"
#include "text_conv.h"

namespace {

constexpr char kLongFace[] = "Tahoma With A Name Far Too Long For LOGFONT";

BOOL CALLBACK CollectTip(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(data);
  if (ClassOf(window) == "tooltips_class32" && GetWindow(window, GW_OWNER) == search->first) {
    search->second.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> TipsOwnedBy(HWND owner) {
  std::pair<HWND, std::vector<HWND>> search{owner, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectTip, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// The font the manager hands a tooltip, seen on its way in: Wine's tooltip
// keeps a copy of its own and answers WM_GETFONT with that.
HFONT fontGiven = nullptr;

LRESULT CALLBACK SeeFontGiven(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_SETFONT &&
      ClassOf(call->hwnd) == "tooltips_class32") {
    fontGiven = reinterpret_cast<HFONT>(call->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string TipText(HWND tip, HWND tool) {
  wchar_t text[1024] = {};  // the most a tooltip copies out
  TToolInfo info{sizeof(TToolInfo), 0,    tool, reinterpret_cast<UINT_PTR>(tool), {},
                 nullptr,           text, 0};
  SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
  return ToUtf8(text);
}

class HintManagerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCommonControls(); }

  // A hidden form with one button on it, both with their windows.
  void SetUp() override {
    form = NewWindowedControl(nullptr, "HintTest", false);
    form->Style = WS_POPUP | WS_CLIPCHILDREN;
    form->Bounds = {10, 10, 210, 110};
    form->PositionGiven = 3;
    button = NewWindowedControl(form, "BUTTON", false);
    button->IsControl = true;
    button->Style = WS_CHILD | WS_VISIBLE;
    form->EnsureHandle();
    buttonWindow = button->EnsureHandle();
    ASSERT_NE(buttonWindow, nullptr);
    fontGiven = nullptr;
    hook = SetWindowsHookExA(WH_CALLWNDPROC, SeeFontGiven, nullptr, GetCurrentThreadId());
  }
  void TearDown() override {
    UnhookWindowsHookEx(hook);
    form->Free();
  }

  TControl* form = nullptr;
  TControl* button = nullptr;
  HWND buttonWindow = nullptr;
  HHOOK hook = nullptr;
};

}  // namespace

TEST_F(HintManagerTest, ARegisteredControlGetsItsOwnTooltipUntilRemoved) {
  TKVHintManager manager;
  manager.Font.Name = kLongFace;
  const THintInterface& hints = manager.Interface;
  const THintId id = hints.AddTool(buttonWindow);
  ASSERT_NE(id, 0u);
  {
    std::string hint = "Удалить временные файлы";
    hints.SetText(id, hint);
    hint.assign(hint.size(), '#');
  }

  // A button cannot own a popup: its form does.
  const std::vector<HWND> tips = TipsOwnedBy(form->Handle);
  ASSERT_EQ(tips.size(), 1u);
  const HWND tip = tips[0];
  const auto* info = reinterpret_cast<const TToolInfo*>(id);
  EXPECT_EQ(info->Size, 44u);
  EXPECT_EQ(info->Flags, 0x111u);
  EXPECT_EQ(reinterpret_cast<HWND>(info->AppData), tip);
  EXPECT_EQ(ToUtf8(info->Text), "Удалить временные файлы");
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(TipText(tip, buttonWindow), "Удалить временные файлы");
  EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);

  const HFONT font = fontGiven;
  ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  LOGFONTW logFont{};
  GetObjectW(font, sizeof logFont, &logFont);
  EXPECT_EQ(ToUtf8(logFont.lfFaceName), std::string(kLongFace, 31));
  EXPECT_LT(logFont.lfHeight, 0);

  hints.RemoveTool(id);
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(manager.ToolCount(), 0);
  EXPECT_TRUE(TipsOwnedBy(form->Handle).empty());
  hints.RemoveTool(id);  // a second removal finds nothing to free
  EXPECT_TRUE(IsWindow(buttonWindow));
}

// The tooltip dies with the form it belongs to, before the component that
// registered it removes its tool.
TEST_F(HintManagerTest, RemovingAfterTheTooltipWentStillFreesItsFont) {
  TKVHintManager manager;
  const THintId id = manager.Interface.AddTool(buttonWindow);
  manager.Interface.SetText(id, "Выход");
  const HWND tip = reinterpret_cast<HWND>(reinterpret_cast<const TToolInfo*>(id)->AppData);
  const HFONT font = fontGiven;
  ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));

  DestroyWindow(tip);
  manager.Interface.RemoveTool(id);
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(manager.ToolCount(), 0);
  EXPECT_TRUE(IsWindow(buttonWindow));
}

// Start-up's shared manager goes at the end with every tool still held.
TEST_F(HintManagerTest, TheSharedManagerTakesItsLeftoverToolsAlong) {
  HintManagerUnitInit();
  ASSERT_NE(HintManager, nullptr);
  EXPECT_TRUE(HintManager->Rectangular);
  EXPECT_EQ(HintManager->Font.Name, "Tahoma");
  const THintId id = HintManager->Interface.AddTool(buttonWindow);
  const HWND tip = reinterpret_cast<HWND>(reinterpret_cast<const TToolInfo*>(id)->AppData);
  ASSERT_TRUE(IsWindow(tip));

  HintManagerUnitFinish();
  EXPECT_EQ(HintManager, nullptr);
  EXPECT_FALSE(IsWindow(tip));
}
