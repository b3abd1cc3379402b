// The bitmap button's own drawing, read back from its window, and the push
// button's default role.
#include "buttons.h"

#include <memory>
#include <string>

#include "component_window.h"
#include "graphic_tool.h"
#include "text_conv.h"

namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 24;
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr COLORREF kGlyphColor = RGB(30, 60, 90);  // grey: (30 + 60 + 90) / 3 = 60

class BitmapButton : public ComponentWindow {
 protected:
  void SetUp() override {
    ComponentWindow::SetUp();
    button = std::make_unique<TKVBitBtn>(form);
    button->Left = 10;
    button->Top = 60;
    button->Width = kWidth;
    button->Height = kHeight;
    button->Color = 0xFF00000F;
    button->Flat = true;
    button->HideFrame = true;
    button->FrameColor = 0x808080;
    button->Caption = "Wg";
    button->Font = {"MS Sans Serif", 8, 0, 0, 1};
  }
  void TearDown() override {
    button.reset();
    ComponentWindow::TearDown();
  }

  // The face and the text as DrawTextA puts them in rect, with the button's font.
  int CountDifferences(const std::string& text, RECT rect) {
    TControl* control = button->Control;
    HDC window = GetDC(control->Handle);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, kWidth, kHeight);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, control->Font->GetToolHandle());
    RECT all{0, 0, kWidth, kHeight};
    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    const std::wstring wide = ToWstr(text);
    DrawTextW(memory, wide.c_str(), static_cast<int>(wide.size()), &rect, 0x65);
    int differences = 0;
    // Inside the edge a pressed button draws.
    for (int y = 1; y < kHeight - 1; ++y) {
      for (int x = 1; x < kWidth - 1; ++x) {
        if (GetPixel(window, x, y) != GetPixel(memory, x, y)) ++differences;
      }
    }
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control->Handle, window);
    return differences;
  }

  int CountTextPixels() {
    int dark = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x)
        dark += Pixel(button->Control, x, y) == RGB(0, 0, 0);
    }
    return dark;
  }

  // 8 x 8, top-down: the transparent colour at (0, 0) and along the top row.
  void GiveGlyph() {
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t bits[64];
    for (int i = 0; i < 64; ++i)
      bits[i] = i < 8 ? 0xFF00FF : 0x1E3C5A;
    ASSERT_TRUE(button->Glyph->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits));
  }

  std::unique_ptr<TKVBitBtn> button;
};

}  // namespace

TEST_F(BitmapButton, TextIsInsetThreePixelsAndMovesDownRightWhenPressed) {
  button->Init();
  TControl* control = button->Control;
  Paint(control);
  ASSERT_GT(CountTextPixels(), 0);
  // Released: left and top pulled back by 2.
  EXPECT_EQ(CountDifferences("Wg", {3 - 2, -2, kWidth - 3, kHeight}), 0);
  EXPECT_NE(CountDifferences("Wg", {3, 0, kWidth - 3, kHeight}), 0);

  SendMessageA(control->Handle, BM_SETSTATE, TRUE, 0);
  Paint(control);
  EXPECT_EQ(CountDifferences("Wg", {3, 0, kWidth - 3, kHeight}), 0);
  SendMessageA(control->Handle, BM_SETSTATE, FALSE, 0);

  FireInteger(Link<&TKVBitBtn::doCaption>(button.get(), 0), 42);
  wchar_t text[16] = {};
  GetWindowTextW(control->Handle, text, 16);
  EXPECT_STREQ(text, L"42");
  EXPECT_EQ(button->Caption, "Wg");
  Paint(control);
  EXPECT_EQ(CountDifferences("42", {1, -2, kWidth - 3, kHeight}), 0);
}

TEST_F(BitmapButton, DisabledGlyphIsGreyAndKeepsTheTransparentColour) {
  GiveGlyph();
  button->Enabled = false;
  button->Init();
  Paint(button->Control);
  TBitmap* grey = button->DisabledGlyph;
  ASSERT_NE(grey, nullptr);
  EXPECT_EQ(grey->PixelAt(0, 0), kTransparent);
  EXPECT_EQ(grey->PixelAt(7, 0), kTransparent);
  EXPECT_EQ(grey->PixelAt(3, 4), RGB(60, 60, 60));
  EXPECT_EQ(button->Glyph->PixelAt(3, 4), kGlyphColor) << "the glyph itself stays";
  // With a caption the glyph stands 3 from the left, centred, one up-left when released.
  const int x = 3 - 1;
  const int y = (kHeight - 8) / 2 - 1;
  EXPECT_EQ(Pixel(button->Control, x, y), kTransparent);
  EXPECT_EQ(Pixel(button->Control, x + 3, y + 4), RGB(60, 60, 60));

  InvalidateRect(button->Control->Handle, nullptr, TRUE);
  Paint(button->Control);
  EXPECT_EQ(button->DisabledGlyph, grey) << "made once";
  // The engraved text's colours asked for no new paint of the button.
  EXPECT_FALSE(GetUpdateRect(button->Control->Handle, nullptr, FALSE));
}

TEST_F(ComponentWindow, DefaultPushButtonIsTheFormsDefaultAndClicksWithItsData) {
  TKVButton button(form);
  button.Caption = "Об авторе";
  button.Default = true;
  SetInteger(button.Data, 7);
  button.Init();
  ArrivalProbe clicks;
  button.onClick = Link<&ArrivalProbe::doArrive>(&clicks, 0);
  const auto style = static_cast<uint32_t>(GetWindowLongA(button.Control->Handle, GWL_STYLE));
  EXPECT_EQ(style & BS_DEFPUSHBUTTON, static_cast<uint32_t>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(style & BS_MULTILINE, static_cast<uint32_t>(BS_MULTILINE));
  EXPECT_EQ(form->DefaultButton, button.Control);
  SendMessageA(button.Control->Handle, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks.count, 1);
  EXPECT_EQ(clicks.last, "7");
  EXPECT_EQ(button.Data.intValue, 7);
}
