#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "bitmap.h"
#include "canvas.h"

namespace {

constexpr int kWidth = 7;  // odd, so 24-bit rows carry padding
constexpr int kHeight = 5;
constexpr COLORREF kBackground = RGB(10, 20, 30);

// The picture every DIB test draws: a colour that differs at every pixel.
COLORREF Expected(int x, int y) {
  return RGB(x * 30, y * 40, 200 - x * 10 - y * 5);
}

// Fills a bottom-up DIB's bits with Expected, for 24 or 32 bits per pixel.
void Paint(TBitmap* bitmap) {
  const int depth = bitmap->Header->bmiHeader.biBitCount / 8;
  const int stride = (kWidth * depth + 3) / 4 * 4;
  auto* bits = static_cast<uint8_t*>(bitmap->Bits);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = bits + (kHeight - 1 - y) * stride;
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF color = Expected(x, y);
      row[x * depth] = GetBValue(color);
      row[x * depth + 1] = GetGValue(color);
      row[x * depth + 2] = GetRValue(color);
    }
  }
}

// A 20 x 20 target in a memory DC, filled with the background colour.
class Target {
 public:
  Target() {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(kBackground);
    RECT all{0, 0, 20, 20};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~Target() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC DC() const { return dc_; }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x)
        pixels.push_back(GetPixel(dc_, x, y));
    }
    return pixels;
  }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_;
};

void ExpectPicture(const Target& target, int left, int top) {
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      EXPECT_EQ(GetPixel(target.DC(), left + x, top + y), Expected(x, y)) << x << "," << y;
    }
  }
  EXPECT_EQ(GetPixel(target.DC(), left - 1, top), kBackground);
  EXPECT_EQ(GetPixel(target.DC(), left + kWidth, top + kHeight), kBackground);
}

}  // namespace

TEST(Bitmap, AnEmptyBitmapDrawsNothingAndHasNoPixels) {
  TBitmap* bitmap = NewBitmap(0, 0);
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->BitmapHandle, nullptr);
  EXPECT_EQ(bitmap->GetBitmapHandle(), nullptr);
  EXPECT_EQ(bitmap->PixelAt(0, 0), kNoColor);
  Target target;
  const std::vector<COLORREF> before = target.Pixels();
  bitmap->Draw(target.DC(), 0, 0);
  EXPECT_EQ(target.Pixels(), before);
  bitmap->Free();
}

TEST(Bitmap, DIBDrawsTheSamePixelsWithAndWithoutAHandle) {
  for (uint16_t depth : {24, 32}) {
    TBitmap* bitmap = NewDIBitmap(kWidth, kHeight, depth);
    ASSERT_NE(bitmap, nullptr);
    Paint(bitmap);
    Target withoutHandle;
    bitmap->Draw(withoutHandle.DC(), 3, 4);  // straight from the bits
    EXPECT_EQ(bitmap->BitmapHandle, nullptr);
    EXPECT_FALSE(bitmap->BitsInSection);
    ExpectPicture(withoutHandle, 3, 4);

    HBITMAP handle = bitmap->GetBitmapHandle();
    ASSERT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(bitmap->BitsInSection);
    Target withHandle;
    bitmap->Draw(withHandle.DC(), 3, 4);  // through the DIB section
    EXPECT_EQ(withHandle.Pixels(), withoutHandle.Pixels()) << depth;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x)
        EXPECT_EQ(bitmap->PixelAt(x, y), Expected(x, y));
    }
    EXPECT_EQ(bitmap->PixelAt(kWidth, 0), kNoColor);  // outside
    bitmap->Free();
    EXPECT_EQ(GetObjectType(handle), 0u);
  }
}

TEST(Bitmap, AssignDIBKeepsCopiesAndRefusesWhatBreaksTheRules) {
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = 2;
  header.bmiHeader.biHeight = -2;  // top-down
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  const uint32_t bits[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};  // BGRX
  TBitmap* bitmap = NewBitmap(0, 0);
  ASSERT_TRUE(bitmap->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits));
  EXPECT_EQ(bitmap->Width, 2);
  EXPECT_EQ(bitmap->Height, 2);
  EXPECT_NE(bitmap->Bits, static_cast<const void*>(bits));
  Target target;
  bitmap->Draw(target.DC(), 0, 0);  // a top-down DIB through StretchDIBits
  EXPECT_EQ(GetPixel(target.DC(), 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(target.DC(), 0, 1), RGB(255, 0, 0));
  EXPECT_EQ(bitmap->PixelAt(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(bitmap->PixelAt(1, 0), RGB(0, 255, 0));
  EXPECT_EQ(bitmap->PixelAt(0, 1), RGB(255, 0, 0));

  EXPECT_FALSE(bitmap->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits - 1));
  EXPECT_TRUE(bitmap->Empty());
  header.bmiHeader.biBitCount = 7;
  EXPECT_FALSE(bitmap->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits));
  header.bmiHeader.biBitCount = 8;  // needs a colour table the header lacks
  EXPECT_FALSE(bitmap->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits));
  header.bmiHeader.biBitCount = 32;
  // A palette count whose byte size wraps round to 0 in 32 bits.
  header.bmiHeader.biClrUsed = 0x40000000;
  EXPECT_FALSE(bitmap->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits));
  header.bmiHeader.biClrUsed = 0;
  header.bmiHeader.biWidth = 0;
  EXPECT_FALSE(bitmap->AssignDIB(&header, sizeof header.bmiHeader, bits, sizeof bits));
  EXPECT_FALSE(bitmap->AssignDIB(nullptr, 0, bits, sizeof bits));
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->Header, nullptr);
  EXPECT_EQ(bitmap->PixelAt(0, 0), kNoColor);
  EXPECT_EQ(NewDIBitmap(4, 4, 8), nullptr);
  EXPECT_EQ(NewDIBitmap(0, 4, 32), nullptr);
  bitmap->Free();
}

TEST(Bitmap, CompatibleBitmapIsDrawnThroughItsCanvasAndReadBack) {
  TBitmap* bitmap = NewBitmap(kWidth, kHeight);
  HBITMAP handle = bitmap->BitmapHandle;
  ASSERT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(RGB(1, 2, 3));
  canvas->FillRectangle({0, 0, kWidth, kHeight});
  HDC canvasDC = canvas->DC;
  ASSERT_NE(canvasDC, nullptr);
  // Reading needs the bitmap out of the canvas's DC, which goes.
  EXPECT_EQ(bitmap->PixelAt(2, 2), RGB(1, 2, 3));
  EXPECT_EQ(canvas->DC, nullptr);
  EXPECT_EQ(GetObjectType(canvasDC), 0u);

  Target target;
  bitmap->Draw(target.DC(), 10, 10);
  EXPECT_EQ(GetPixel(target.DC(), 10, 10), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(target.DC(), 10 + kWidth - 1, 10 + kHeight - 1), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(target.DC(), 10 + kWidth, 10), kBackground);

  canvas->FillRectangle({0, 0, 1, 1});
  HDC secondDC = canvas->DC;
  HGDIOBJ brush = canvas->Brush->ToolHandle;
  bitmap->Clear();
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->Canvas, nullptr);
  for (HGDIOBJ gone : {static_cast<HGDIOBJ>(handle), static_cast<HGDIOBJ>(secondDC), brush}) {
    EXPECT_EQ(GetObjectType(gone), 0u);
  }
  bitmap->Free();
}

TEST(Bitmap, FreedDIBLeavesNoGdiObjectBehind) {
  TBitmap* bitmap = NewDIBitmap(kWidth, kHeight, 32);
  ASSERT_NE(bitmap, nullptr);
  Paint(bitmap);
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->DrawRectangle(0, 0, 3, 3);
  HGDIOBJ made[] = {bitmap->BitmapHandle, canvas->DC};
  for (HGDIOBJ handle : made)
    ASSERT_NE(GetObjectType(handle), 0u);
  bitmap->Free();
  for (HGDIOBJ handle : made)
    EXPECT_EQ(GetObjectType(handle), 0u);
}
