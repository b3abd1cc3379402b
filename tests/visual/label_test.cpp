// The auto-sized label: the whole text fits the size it takes.
#include "label.h"
#include "component_window.h"
#include "control_props.h"

namespace {

// The rightmost column the control paints dark, printed into a white bitmap.
int RightmostInk(TControl* control, int width, int height) {
  HDC screen = GetDC(control->Handle);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, width, height};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SendMessageA(control->Handle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  int right = -1;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      if (GetRValue(GetPixel(memory, x, y)) < 128) right = x;
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(control->Handle, screen);
  return right;
}

}  // namespace

TEST_F(ComponentWindow, AutoSizedLabelShowsItsLastLetter) {
  auto* label = new TKVLabel(form);
  label->Left = 10;
  label->Top = 10;
  label->Width = 360;
  label->Height = 15;
  label->Font = TFontRec{"MS Sans Serif", 8, 0, 0, 1};
  label->Caption = "Простая чистилка, которой так не хватает";
  label->SetAutoSize(true);
  label->Init();
  const int fitted = ClientWidth(label->Control);
  ASSERT_LT(fitted, 360);

  // Widened and printed, the text shows where it really ends.
  const int height = ClientHeight(label->Control);
  label->Control->SetBoundsRect({10, 10, 410, 10 + height});
  const int inkRight = RightmostInk(label->Control, 400, height);
  EXPECT_GT(inkRight, fitted / 2);
  EXPECT_LT(inkRight, fitted);
  delete label;
}
