#include <gtest/gtest.h>
#include <windows.h>

#include "canvas.h"
#include "graphic_tool.h"

namespace {

constexpr int kSize = 40;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 40 x 40 bitmap in a memory DC that a canvas takes over (and deletes);
// pixels are read back through that DC while the canvas holds it.
class Surface {
 public:
  Surface() {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, kSize, kSize);
    ReleaseDC(nullptr, screen);
    dc_ = CreateCompatibleDC(nullptr);
    SelectObject(dc_, bitmap_);
  }
  ~Surface() { DeleteObject(bitmap_); }
  HDC DC() const { return dc_; }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
  int CountInside(const RECT& rect, COLORREF color) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x)
        count += Pixel(x, y) == color;
    }
    return count;
  }

 private:
  HBITMAP bitmap_;
  HDC dc_;
};

// A DC procedure that hands out a given DC and counts its calls.
struct DCSource {
  HDC dc = nullptr;
  HDC paintDC = nullptr;
  int calls = 0;
  static HDC Get(void* data, TCanvas* canvas) {
    auto* source = static_cast<DCSource*>(data);
    ++source->calls;
    if (source->paintDC) return canvas->AttachPaintDC(source->paintDC);
    if (canvas->DC) return canvas->DC;
    return source->dc;
  }
};

struct Counter {
  int count = 0;
  void Hit(TObj*) { ++count; }
};

}  // namespace

TEST(Canvas, DrawsFillPenAndTextWhereTheyBelong) {
  Surface surface;
  TCanvas* canvas = NewCanvas(surface.DC());
  canvas->GetBrush()->SetColor(kRed);
  canvas->FillRectangle({0, 0, kSize, kSize});
  canvas->GetPen()->SetColor(kBlue);
  canvas->GetBrush()->SetColor(kGreen);
  canvas->DrawRectangle(10, 10, 30, 30);
  EXPECT_EQ(surface.Pixel(5, 5), kRed);
  EXPECT_EQ(surface.Pixel(10, 10), kBlue);  // the pen draws the outline
  EXPECT_EQ(surface.Pixel(29, 20), kBlue);
  EXPECT_EQ(surface.Pixel(20, 20), kGreen);  // the brush fills inside
  EXPECT_EQ(surface.Pixel(30, 30), kRed);    // right and bottom are exclusive

  canvas->GetFont()->SetColor(kWhite);
  canvas->GetFont()->SetFontHeight(-16);
  canvas->GetBrush()->SetBrushStyle(kBrushClear);
  RECT textRect{0, 0, 20, 20};
  EXPECT_GT(canvas->DrawTextInRect("W", textRect, DT_SINGLELINE | DT_LEFT | DT_TOP), 0);
  EXPECT_GT(surface.CountInside({0, 0, 20, 20}, kWhite), 0);
  // The clear brush leaves the background around the glyph alone.
  EXPECT_EQ(surface.CountInside({0, 0, 10, 10}, kBlue) + surface.CountInside({0, 0, 10, 10}, kRed) +
                surface.CountInside({0, 0, 10, 10}, kWhite),
            100);
  EXPECT_EQ(surface.CountInside({20, 0, kSize, 10}, kWhite), 0);
  canvas->Free();
}

TEST(Canvas, EnsureStateSelectsOnlyWhatIsAskedFor) {
  Surface surface;
  HDC dc = surface.DC();
  TCanvas* canvas = NewCanvas(dc);
  HGDIOBJ brush = canvas->GetBrush()->GetToolHandle();
  HGDIOBJ font = canvas->GetFont()->GetToolHandle();
  canvas->MovePen(3, 4);
  EXPECT_EQ(canvas->State, kStateDC);
  POINT at{};
  GetCurrentPositionEx(dc, &at);
  EXPECT_EQ(at.x, 3);
  EXPECT_EQ(at.y, 4);

  canvas->FillRectangle({0, 0, 5, 5});
  EXPECT_EQ(canvas->State, kStateDC | kStateBrush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);

  // A dashed pen needs the background settings of the brush too.
  canvas->GetPen()->SetPenStyle(PS_DASH);
  canvas->DeselectTools();
  EXPECT_EQ(canvas->EnsureState(kStateDC | kStatePen), dc);
  EXPECT_EQ(canvas->State, kStateDC | kStatePen | kStateBrush);
  canvas->Free();
}

TEST(Canvas, AChangedToolIsDeselectedBeforeItsHandleGoes) {
  Surface surface;
  HDC dc = surface.DC();
  TCanvas* canvas = NewCanvas(dc);
  canvas->GetBrush()->SetColor(kRed);
  canvas->FillRectangle({0, 0, 5, 5});
  HGDIOBJ oldBrush = canvas->Brush->ToolHandle;
  ASSERT_EQ(GetCurrentObject(dc, OBJ_BRUSH), oldBrush);

  canvas->Brush->SetColor(kGreen);
  EXPECT_EQ(canvas->State, kStateDC);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetObjectType(oldBrush), 0u);  // truly deleted: it was no longer selected
  canvas->FillRectangle({0, 0, 5, 5});
  EXPECT_EQ(surface.Pixel(2, 2), kGreen);
  canvas->Free();
}

TEST(Canvas, OnChangeIsCalledOnlyByOperationsThatAskForIt) {
  Surface surface;
  TCanvas* canvas = NewCanvas(surface.DC());
  Counter counter;
  canvas->OnChange = MakeEvent<&Counter::Hit>(&counter);
  canvas->MovePen(1, 1);
  (void)canvas->MeasureText("x");
  EXPECT_EQ(counter.count, 0);
  canvas->FillRectangle({0, 0, 1, 1});
  canvas->DrawRectangle(0, 0, 2, 2);
  RECT rect{0, 0, 10, 10};
  canvas->DrawTextInRect("x", rect, 0);
  EXPECT_EQ(counter.count, 3);
  canvas->Free();
}

TEST(Canvas, MeasureTextWithoutDCLeavesTheCanvasDetached) {
  DCSource source;
  TCanvas* canvas = NewCanvas(nullptr);
  canvas->GetDCProc = DCSource::Get;
  canvas->GetDCData = &source;
  const SIZE small = canvas->MeasureText("Подсчитать");
  EXPECT_GT(small.cx, 0);
  EXPECT_GT(small.cy, 0);
  EXPECT_EQ(canvas->DC, nullptr);
  EXPECT_EQ(canvas->State, 0);
  EXPECT_EQ(source.calls, 0);  // measuring never asks the owner for a DC

  canvas->GetFont()->SetFontHeight(-40);
  const SIZE large = canvas->MeasureText("Подсчитать");
  EXPECT_GT(large.cx, small.cx);
  EXPECT_GE(large.cy, 40);
  EXPECT_EQ(canvas->MeasureText("").cx, 0);
  EXPECT_EQ(canvas->DC, nullptr);
  canvas->Free();
}

TEST(Canvas, WithoutADCNothingIsDrawnAndEverythingAnswersZero) {
  DCSource source;  // answers no DC at all
  TCanvas* canvas = NewCanvas(nullptr);
  canvas->GetDCProc = DCSource::Get;
  canvas->GetDCData = &source;
  EXPECT_EQ(canvas->EnsureState(kStateDC | kStateBrush), nullptr);
  canvas->FillRectangle({0, 0, 5, 5});
  canvas->DrawRectangle(0, 0, 5, 5);
  canvas->MovePen(7, 7);
  RECT rect{0, 0, 10, 10};
  EXPECT_EQ(canvas->DrawTextInRect("x", rect, 0), 0);
  EXPECT_EQ(canvas->State, 0);
  EXPECT_EQ(canvas->PenPoint.x, 0);
  EXPECT_EQ(source.calls, 5);
  canvas->Free();
}

TEST(Canvas, ThePaintInProgressComesFirstAndIsNeverLetGo) {
  Surface paintSurface;
  Surface ownSurface;
  HDC paintDC = paintSurface.DC();
  HDC ownDC = ownSurface.DC();
  DCSource source{ownDC, nullptr, 0};
  TCanvas* canvas = NewCanvas(nullptr);
  canvas->Owner.PaintDC = &source.paintDC;
  canvas->GetDCProc = DCSource::Get;
  canvas->GetDCData = &source;
  canvas->PenPoint = {6, 7};

  ASSERT_EQ(canvas->EnsureState(kStateDC), ownDC);
  POINT at{};
  GetCurrentPositionEx(ownDC, &at);
  EXPECT_EQ(at.x, 6);  // a new DC gets the pen position
  source.paintDC = paintDC;
  EXPECT_EQ(canvas->EnsureState(kStateDC), paintDC);
  EXPECT_TRUE(canvas->FromPaintDC);
  EXPECT_EQ(GetObjectType(ownDC), 0u);  // the memory DC it held was deleted

  canvas->SetDC(nullptr);
  EXPECT_EQ(canvas->DC, nullptr);
  EXPECT_FALSE(canvas->FromPaintDC);
  EXPECT_EQ(GetObjectType(paintDC), static_cast<DWORD>(OBJ_MEMDC));
  canvas->Free();
  EXPECT_EQ(GetObjectType(paintDC), static_cast<DWORD>(OBJ_MEMDC));
  DeleteDC(paintDC);
}

TEST(Canvas, AWindowDCIsGivenBackWhenTheCanvasGoes) {
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HDC dc = GetDC(window);
  TCanvas* canvas = NewCanvas(dc);
  canvas->FillRectangle({0, 0, 10, 10});
  canvas->Free();
  // Given back: a second release finds nothing. (Wine's DeleteDC of a cached
  // window DC gives it back as well, so this cannot tell the two apart.)
  EXPECT_EQ(ReleaseDC(window, dc), 0);
  DestroyWindow(window);
}

TEST(Canvas, FillFallsBackToTheOwnersBrushThenItsColourThenTheWindowColour) {
  Surface surface;
  TCanvas* canvas = NewCanvas(surface.DC());
  canvas->FillRectangle({0, 0, kSize, kSize});
  EXPECT_EQ(surface.Pixel(1, 1), GetSysColor(COLOR_WINDOW));

  uint32_t ownerColor = kBlue;
  uint32_t ownerTextColor = kGreen;
  TGraphicTool* ownerBrush = nullptr;
  canvas->Owner.Color = &ownerColor;
  canvas->Owner.TextColor = &ownerTextColor;
  canvas->Owner.Brush = &ownerBrush;
  canvas->FillRectangle({0, 0, kSize, kSize});
  EXPECT_EQ(surface.Pixel(1, 1), kBlue);

  ownerBrush = NewBrush();
  ownerBrush->SetColor(kRed);
  canvas->FillRectangle({0, 0, kSize, kSize});
  EXPECT_EQ(surface.Pixel(1, 1), kRed);

  // Without tools of its own the canvas takes the owner's colours.
  canvas->DeselectTools();
  HDC dc = canvas->EnsureState(kStateDC | kStateFont | kStateBrush);
  EXPECT_EQ(GetTextColor(dc), kGreen);
  EXPECT_EQ(GetBkColor(dc), kBlue);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  canvas->Free();
  ownerBrush->Free();
}

TEST(Canvas, FreedCanvasLeavesNoGdiObjectBehind) {
  Surface surface;
  HDC dc = surface.DC();
  TCanvas* canvas = NewCanvas(dc);
  canvas->GetPen()->SetColor(kBlue);
  canvas->GetBrush()->SetColor(kGreen);
  canvas->GetFont()->SetFontHeight(-12);
  canvas->DrawRectangle(0, 0, 10, 10);
  RECT rect{0, 0, 20, 20};
  canvas->DrawTextInRect("a", rect, 0);
  HGDIOBJ made[] = {canvas->Pen->ToolHandle, canvas->Brush->ToolHandle, canvas->Font->ToolHandle,
                    dc};
  for (HGDIOBJ handle : made)
    ASSERT_NE(GetObjectType(handle), 0u);
  canvas->Free();
  for (HGDIOBJ handle : made)
    EXPECT_EQ(GetObjectType(handle), 0u);
}
