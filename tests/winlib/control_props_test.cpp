#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control.h"
#include "control_props.h"
#include "control_test_support.h"
#include "graphic_tool.h"

namespace {

using Strings = std::vector<std::string>;

class ControlProps : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    form = NewPopup();
    child = NewChild(form, "STATIC", 0);
    ASSERT_TRUE(form->MakeWindow());
  }
  void TearDown() override {
    if (form) form->Free();
    ControlTest::TearDown();
  }
  TControl* form = nullptr;
  TControl* child = nullptr;
};

RECT WindowBounds(TControl* control) {
  RECT rect{};
  GetWindowRect(control->Handle, &rect);
  return rect;
}

bool IsLiveIcon(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return true;
}

// An icon of our own, not a shared one: destroying it twice would be a fault.
HICON NewOwnIcon() {
  return static_cast<HICON>(CopyImage(LoadIconA(nullptr, IDI_APPLICATION), IMAGE_ICON, 0, 0, 0));
}

int styleChanges = 0;
bool CountStyleChanges(TControl*, MSG& msg, LRESULT&) {
  if (msg.message == WM_STYLECHANGED) ++styleChanges;
  return false;
}

int moves = 0;
bool CountMoves(TControl*, MSG& msg, LRESULT&) {
  if (msg.message == WM_WINDOWPOSCHANGING) ++moves;
  return false;
}

}  // namespace

TEST_F(ControlProps, EightPointsAreElevenPixelsHighAt96Dpi) {
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(pixelsPerInch, 96);
  EXPECT_EQ(PointsToHeight(8), -11);

  SetFontName(child, "Arial");
  SetFontHeight(child, PointsToHeight(8));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(child->Handle, WM_GETFONT, 0, 0));
  LOGFONTW applied{};
  ASSERT_TRUE(GetObjectW(font, sizeof applied, &applied));
  EXPECT_EQ(applied.lfHeight, -11);
  EXPECT_EQ(ToUtf8(applied.lfFaceName), "Arial");
}

// Controls of one font show one GDI font, and a window keeps the font it was
// given: no other control's change may delete it.
TEST_F(ControlProps, AFontChangeNeverDeletesTheFontAnotherWindowShows) {
  SetFontName(form, "Arial");
  TControl* first = NewChild(form, "STATIC", 0);
  TControl* second = NewChild(form, "STATIC", 0);
  ASSERT_TRUE(first->MakeWindow() && second->MakeWindow());
  const auto shown = [](TControl* control) {
    return reinterpret_cast<HGDIOBJ>(SendMessageW(control->Handle, WM_GETFONT, 0, 0));
  };
  const HGDIOBJ shared = shown(second);
  EXPECT_EQ(shown(first), shared);
  EXPECT_EQ(form->Font->GetToolHandle(), shared);

  SetFontHeight(form, -20);
  SetFontHeight(first, -20);
  EXPECT_EQ(shown(first), form->Font->GetToolHandle());
  EXPECT_NE(shown(first), shared);
  EXPECT_EQ(shown(second), shared);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(ControlProps, SizeOfZeroKeepsThatDimension) {
  const LONG width = Width(child);
  SetSize(child, 0, 30);
  const RECT bounds = WindowBounds(child);
  EXPECT_EQ(bounds.right - bounds.left, width);
  EXPECT_EQ(bounds.bottom - bounds.top, 30);
  EXPECT_EQ(Height(child), 30);

  // The frame is added to a client size; the status bar's height too.
  SetCtl3D(child, true);
  form->StatusHeight = 20;
  SetClientSize(child, 50, 0);
  SetClientSize(form, 0, 100);
  RECT client;
  GetClientRect(child->Handle, &client);
  EXPECT_EQ(client.right, 50);
  GetClientRect(form->Handle, &client);
  EXPECT_EQ(client.bottom, 120);
  EXPECT_EQ(ClientHeight(form), 100);
}

TEST_F(ControlProps, APositionIsOneMoveAndWhereTheWindowStandsNone) {
  child->AddMessageHandler(CountMoves, false);
  moves = 0;
  SetPosition(child, 7, 9);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(Left(child), 7);
  EXPECT_EQ(Top(child), 9);
  SetPosition(child, 7, 9);
  SetLeft(child, 7);
  SetWidth(child, Width(child));
  EXPECT_EQ(moves, 1);
  // A window moved behind the library's back is still moved back.
  SetWindowPos(child->Handle, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  moves = 0;
  SetPosition(child, 7, 9);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(Left(child), 7);
}

TEST_F(ControlProps, AlphaOf255RemovesTheLayeredStyle) {
  SetAlphaBlend(form, 128);
  EXPECT_TRUE(GetWindowLongA(form->Handle, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(form->Handle, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

  SetAlphaBlend(form, 255);
  EXPECT_FALSE(GetWindowLongA(form->Handle, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(form->AlphaValue, 255);
}

TEST_F(ControlProps, StyleSettersChangeOnlyWhatIsNew) {
  child->AddMessageHandler(CountStyleChanges, false);
  styleChanges = 0;
  SetCtl3D(child, true);
  EXPECT_GT(styleChanges, 0);
  EXPECT_TRUE(GetWindowLongA(child->Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(GetWindowLongA(child->Handle, GWL_STYLE) & WS_BORDER);
  // The look already applied is not applied again over a later edge style.
  SetExStyle(child, WS_EX_STATICEDGE);
  styleChanges = 0;
  SetCtl3D(child, true);
  EXPECT_EQ(styleChanges, 0);
  EXPECT_EQ(GetWindowLongA(child->Handle, GWL_EXSTYLE), WS_EX_STATICEDGE);

  // Text alignment outside left, centre and right leaves the style alone.
  child->TextAlignStyles[0] = SS_LEFT;
  child->TextAlignStyles[1] = SS_CENTER;
  child->TextAlignStyles[2] = SS_RIGHT;
  SetTextAlign(child, 1);
  EXPECT_EQ(GetWindowLongA(child->Handle, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
  styleChanges = 0;
  SetTextAlign(child, 3);
  SetTextAlign(child, -1);
  EXPECT_EQ(styleChanges, 0);
  EXPECT_EQ(child->Style & SS_TYPEMASK, static_cast<uint32_t>(SS_CENTER));
}

TEST_F(ControlProps, ShowAndHideRaiseTheirEvents) {
  SetOnShow(child, NoteEvent("show"));
  SetOnHide(child, NoteEvent("hide"));
  child->SetVisible(false);
  child->SetVisible(true);
  EXPECT_EQ(controlJournal, (Strings{"hide", "show"}));
}

TEST_F(ControlProps, AnIconGivenToTwoWindowsOutlivesOneOfThem) {
  // The application object's icon is copied for a top-level window below it;
  // that copy is the window's own and goes when it is replaced.
  TControl* app = NewPopup();
  app->IsApp = true;
  const HICON appIcon = NewOwnIcon();
  app->Icon = appIcon;
  TControl* other = NewWindowedControl(app, "Test", false);
  other->Style = form->Style;
  ASSERT_TRUE(other->MakeWindow());
  const HICON inherited = other->Icon;
  ASSERT_TRUE(inherited && inherited != appIcon);

  const HICON shared = NewOwnIcon();
  SetIcon(form, shared);
  SetIcon(other, shared);
  EXPECT_FALSE(IsLiveIcon(inherited));
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0)), shared);

  other->Free();
  EXPECT_TRUE(IsLiveIcon(shared));
  SetIcon(form, reinterpret_cast<HICON>(-1));
  EXPECT_TRUE(IsLiveIcon(shared));
  EXPECT_EQ(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0), 0);

  app->Free();
  DestroyIcon(shared);
}
