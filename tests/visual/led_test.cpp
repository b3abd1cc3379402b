// The lamp on a real window: its pixels unlit and lit, lighting only once,
// and its GDI objects gone with it.
#include "led.h"

#include <memory>

#include "component_window.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class Lamp : public ComponentWindow {
 protected:
  void SetUp() override {
    ComponentWindow::SetUp();
    led = std::make_unique<TKVLED>(form);
    led->Left = 10;
    led->Top = 10;
    led->Width = 40;
    led->Height = 40;
    led->Color = 0xFF00000F;
    led->ColorOn = kGreen;
    led->ColorOff = kTeal;
    led->ColorLight = kRed;  // not white, to tell the two highlight arcs apart
    led->Shape = 0;
    led->Bevel = true;
    led->Init();
    led->onChange = Link<&ArrivalProbe::doArrive>(&changes, 0);
    Paint(led->Control);
  }
  void TearDown() override {
    led.reset();
    ComponentWindow::TearDown();
  }

  void ExpectButtonFaceCorners() {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (POINT corner : {POINT{0, 0}, POINT{39, 0}, POINT{0, 39}, POINT{39, 39}}) {
      EXPECT_EQ(Pixel(led->Control, corner.x, corner.y), face) << corner.x << "," << corner.y;
    }
  }

  static void Scribble(TControl* control) {
    HDC dc = GetDC(control->Handle);
    RECT all{0, 0, 40, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(control->Handle, dc);
  }

  std::unique_ptr<TKVLED> led;
  ArrivalProbe changes;
};

}  // namespace

TEST_F(Lamp, RoundLampShowsItsFillArcsAndButtonFaceUnlitAndLit) {
  TControl* lamp = led->Control;
  // Unlit: the lit 2-pixel pen draws the short highlight arc, on the circle
  // of (8, 8, 32, 32); the long one is in the fill colour itself.
  EXPECT_EQ(Pixel(lamp, 20, 20), kTeal);
  EXPECT_TRUE(ColorNear(lamp, 11, 11, kGreen));
  EXPECT_EQ(Pixel(lamp, 9, 9), kTeal);  // between the highlight and the bevel
  EXPECT_EQ(Pixel(lamp, 14, 14), kTeal);
  EXPECT_TRUE(ColorNear(lamp, 6, 6, kGrey));
  EXPECT_TRUE(ColorNear(lamp, 34, 34, kWhite));
  ExpectButtonFaceCorners();

  FireNull(Link<&TKVLED::doOn>(led.get(), 2));
  EXPECT_EQ(changes.count, 1);
  EXPECT_EQ(changes.last, "1");
  // A repaint that erases nothing (a print, a buffered paint) still covers
  // the corners outside the round lamp.
  Scribble(lamp);
  InvalidateRect(lamp->Handle, nullptr, FALSE);
  Paint(lamp);
  EXPECT_EQ(Pixel(lamp, 20, 20), kGreen);
  EXPECT_TRUE(ColorNear(lamp, 11, 11, kWhite));  // the short arc, 2 pixels wide
  EXPECT_TRUE(ColorNear(lamp, 18, 8, kRed));     // the long one, beyond the short one's ends
  EXPECT_TRUE(ColorNear(lamp, 8, 17, kRed));
  EXPECT_EQ(Pixel(lamp, 9, 9), kGreen);
  EXPECT_TRUE(ColorNear(lamp, 33, 33, kTeal));  // the inner shadow of a lit lamp
  ExpectButtonFaceCorners();

  FireNull(Link<&TKVLED::doOn>(led.get(), 2));
  EXPECT_EQ(changes.count, 1);
  EXPECT_FALSE(GetUpdateRect(lamp->Handle, nullptr, FALSE)) << "a lit lamp is not repainted";
}

TEST_F(Lamp, ItsEightGdiObjectsGoWithIt) {
  FireNull(Link<&TKVLED::doOn>(led.get(), 2));
  Paint(led->Control);
  const HGDIOBJ objects[] = {led->GreyPen,   led->WhitePen, led->UnlitPen, led->LightPen,
                             led->WhitePen2, led->LitPen2,  led->LitBrush, led->UnlitBrush};
  for (HGDIOBJ object : objects)
    ASSERT_NE(GetObjectType(object), 0u);
  const HWND window = led->Control->Handle;
  led.reset();
  for (HGDIOBJ object : objects)
    EXPECT_EQ(GetObjectType(object), 0u);
  EXPECT_FALSE(IsWindow(window));
}
