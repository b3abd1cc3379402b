#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "control.h"
#include "control_test_support.h"
#include "paint.h"

namespace {

constexpr COLORREF kFormColor = RGB(200, 30, 40);
constexpr COLORREF kChildColor = RGB(20, 40, 220);
constexpr COLORREF kMarkColor = RGB(30, 180, 60);
constexpr RECT kMark = {5, 5, 15, 15};
constexpr int kFormWidth = 200;
constexpr int kFormHeight = 150;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// What the paint events of a control saw.
struct PaintLog {
  int paints = 0;
  HDC lastDC = nullptr;
  HRGN lastUpdateRgn = nullptr;
  bool sawBufferedPaint = false;
  int clipKind = -1;  // GetClipRgn's answer: 1 when a clip region was set
  RECT clipBox{};
};

void Record(PaintLog& log, TControl* control, HDC dc) {
  ++log.paints;
  log.lastDC = dc;
  log.lastUpdateRgn = control->UpdateRgn;
  TControl* ancestor = BufferedAncestor(control);
  log.sawBufferedPaint = ancestor && ancestor->BufferedPaintActive;
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  log.clipKind = GetClipRgn(dc, clip);
  GetRgnBox(clip, &log.clipBox);
  DeleteObject(clip);
}

// A form (or any popup) paints its whole client area in its colour.
void PaintBackground(void* data, TControl* control, HDC dc) {
  Record(*static_cast<PaintLog*>(data), control, dc);
  RECT client;
  GetClientRect(control->Handle, &client);
  Fill(dc, client, kFormColor);
}

// The transparent child only draws a small mark.
void PaintMark(void* data, TControl* control, HDC dc) {
  Record(*static_cast<PaintLog*>(data), control, dc);
  Fill(dc, kMark, kMarkColor);
}

// Would show the child's own colour if its erasing were not left out.
bool EraseInChildColor(void*, MSG& msg, LRESULT& result) {
  if (msg.message != WM_ERASEBKGND) return false;
  RECT client;
  GetClientRect(msg.hwnd, &client);
  Fill(reinterpret_cast<HDC>(msg.wParam), client, kChildColor);
  result = 1;
  return true;
}

std::string Box(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

COLORREF WindowPixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

// A standard window made inside the form, with no object of the library.
struct ForeignLog {
  HWND window = nullptr;
  int erases = 0;
  int framePaints = 0;
  bool ncDestroyed = false;
  HANDLE propAtNcDestroy = nullptr;
  LONG_PTR procAtNcDestroy = 0;
} foreign;

LRESULT CALLBACK ForeignProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      ++foreign.erases;
      return 1;
    case WM_NCPAINT:
      ++foreign.framePaints;
      break;
    case WM_NCDESTROY:
      foreign.ncDestroyed = true;
      foreign.propAtNcDestroy = GetPropW(window, L"PREV_PROC");
      foreign.procAtNcDestroy = GetWindowLongPtrW(window, GWLP_WNDPROC);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A Unicode window, as every standard window of the program now is.
void MakeForeignChild(TControl* form) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ForeignProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PaintForeign";
  RegisterClassW(&wc);
  foreign = {};
  foreign.window = CreateWindowExW(0, L"PaintForeign", L"", WS_CHILD | WS_VISIBLE, 120, 20, 40, 40,
                                   form->Handle, nullptr, wc.hInstance, nullptr);
}

class Paint : public ControlTest {
 protected:
  static TControl* NewPaintedPopup(PaintLog& log) {
    TControl* control = NewPopup();
    control->Style |= WS_VISIBLE;
    control->Bounds = {10, 10, 10 + kFormWidth, 10 + kFormHeight};
    control->OnPaint = TOnPaint{PaintBackground, &log};
    control->AddMessageHandler(OnPaintHandler, false);
    return control;
  }

  // A shown form, buffered for its transparent child at (20, 20)-(80, 80).
  static TControl* NewBufferedForm(PaintLog& log, PaintLog& childLog,
                                   TControlProc onCreated = nullptr) {
    TControl* form = NewWindowedControl(nullptr, "PaintForm", true);
    form->IsForm = true;
    form->Style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    form->Bounds = {10, 10, 10 + kFormWidth, 10 + kFormHeight};
    form->PositionGiven = 3;
    form->OnPaint = TOnPaint{PaintBackground, &log};
    form->AddMessageHandler(OnPaintHandler, false);
    form->OnWindowCreated = onCreated;

    TControl* child = NewChild(form, nullptr, 0);
    child->Bounds = {20, 20, 80, 80};
    child->OnPaint = TOnPaint{PaintMark, &childLog};
    child->AddMessageHandler(OnPaintHandler, false);
    child->OnMessage = TOnMessage{EraseInChildColor, nullptr};
    SetTransparent(child, true);

    form->MakeWindow();
    Repaint(form);
    return form;
  }

  static void Repaint(TControl* control) {
    InvalidateRect(control->Handle, nullptr, TRUE);
    UpdateWindow(control->Handle);
    PumpWaiting();
  }

  static void Resize(TControl* control, int width, int height) {
    SetWindowPos(control->Handle, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint(control);
  }
};

}  // namespace

TEST_F(Paint, OnPaintIsClippedToThePendingRegionWidenedWhenComplex) {
  PaintLog log;
  TControl* control = NewPaintedPopup(log);
  ASSERT_TRUE(control->MakeWindow());
  Repaint(control);
  EXPECT_EQ(log.clipKind, 0);  // nothing pending: no clip of ours

  HRGN pending = CreateRectRgn(10, 10, 30, 30);
  control->PendingRgn = pending;
  const RECT below = {10, 30, 30, 50};
  InvalidateRect(control->Handle, &below, FALSE);
  UpdateWindow(control->Handle);
  EXPECT_EQ(log.clipKind, 1);
  EXPECT_EQ(Box(log.clipBox), "10,10,30,50");

  // Two rectangles apart make a complex union: the whole client area is painted.
  const RECT apart = {100, 100, 120, 120};
  InvalidateRect(control->Handle, &apart, FALSE);
  UpdateWindow(control->Handle);
  EXPECT_EQ(Box(log.clipBox), "0,0,200,150");
  RECT pendingBox;
  EXPECT_EQ(GetRgnBox(control->PendingRgn, &pendingBox), SIMPLEREGION);
  EXPECT_EQ(Box(pendingBox), "0,0,200,150");
  EXPECT_EQ(control->PendingRgn, pending);
  EXPECT_EQ(control->PaintDC, nullptr);
  EXPECT_EQ(control->UpdateRgn, nullptr);

  // The window's own DC keeps its state between paints: no clip may stay behind.
  control->PendingRgn = nullptr;
  DeleteObject(pending);
  InvalidateRect(control->Handle, &below, FALSE);
  UpdateWindow(control->Handle);
  EXPECT_EQ(log.clipKind, 0);
  control->Free();
}

TEST_F(Paint, TransparentChildShowsTheBufferedFormsBackgroundInColour) {
  PaintLog log, childLog;
  TControl* form = NewBufferedForm(log, childLog);
  ASSERT_NE(form->Handle, nullptr);
  EXPECT_TRUE(form->BufferedPaint);
  EXPECT_TRUE(log.sawBufferedPaint);
  EXPECT_TRUE(childLog.sawBufferedPaint);
  EXPECT_NE(form->BackBuffer, nullptr);
  EXPECT_FALSE(form->BufferedPaintActive);

  EXPECT_EQ(WindowPixel(form->Handle, 150, 100), kFormColor);
  // Inside the child: the form's colour where the child draws nothing, its mark where it does.
  EXPECT_EQ(WindowPixel(form->Handle, 60, 60), kFormColor);
  EXPECT_EQ(WindowPixel(form->Handle, 20 + 10, 20 + 10), kMarkColor);

  // A print request to the buffered form is its own painting, into the DC given.
  HDC screen = GetDC(nullptr);
  HDC printDC = CreateCompatibleDC(screen);
  HBITMAP printBitmap = CreateCompatibleBitmap(screen, kFormWidth, kFormHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(printDC, printBitmap);
  Fill(printDC, RECT{0, 0, kFormWidth, kFormHeight}, RGB(255, 255, 255));
  const int paints = log.paints;
  SendMessageA(form->Handle, WM_PAINT, reinterpret_cast<WPARAM>(printDC), 0);
  EXPECT_EQ(log.paints, paints + 1);
  EXPECT_EQ(log.lastDC, printDC);
  EXPECT_FALSE(log.sawBufferedPaint);
  EXPECT_EQ(GetPixel(printDC, 60, 60), kFormColor);
  SelectObject(printDC, old);
  DeleteObject(printBitmap);
  DeleteDC(printDC);
  form->Free();
}

TEST_F(Paint, TextSetWithTheWindowHiddenKeepsItsVisibility) {
  PaintLog log, childLog;
  TControl* form = NewBufferedForm(log, childLog);
  auto* child = static_cast<TControl*>(form->Children->Items[0]);
  child->HideOnSetText = true;
  SetWindowTextW(child->Handle, L"shown");
  EXPECT_TRUE(IsWindowVisible(child->Handle));
  ShowWindow(child->Handle, SW_HIDE);
  // Set while hidden, and beyond every single-byte code page.
  SetWindowTextW(child->Handle, L"hidden Ω😀");
  EXPECT_FALSE(IsWindowVisible(child->Handle));
  EXPECT_EQ(WindowTextUtf8(child->Handle), "hidden Ω😀");
  form->Free();
}

TEST_F(Paint, BackBufferIsKeptUpTo32PixelsTooLargeAndRemadeOtherwise) {
  PaintLog log, childLog;
  TControl* form = NewBufferedForm(log, childLog);
  const HBITMAP first = form->BackBuffer;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(form->BackBufferWidth, kFormWidth);
  EXPECT_EQ(form->BackBufferHeight, kFormHeight);

  Resize(form, kFormWidth - 20, kFormHeight);
  EXPECT_EQ(form->BackBuffer, first);
  EXPECT_EQ(form->BackBufferWidth, kFormWidth);

  Resize(form, kFormWidth - 40, kFormHeight);
  const HBITMAP narrower = form->BackBuffer;
  EXPECT_NE(narrower, first);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(form->BackBufferWidth, kFormWidth - 40);

  Resize(form, kFormWidth - 40, kFormHeight + 1);
  EXPECT_NE(form->BackBuffer, narrower);
  EXPECT_EQ(GetObjectType(narrower), 0u);
  EXPECT_EQ(form->BackBufferHeight, kFormHeight + 1);
  EXPECT_EQ(WindowPixel(form->Handle, 150, 140), kFormColor);

  const HBITMAP last = form->BackBuffer;
  form->Free();
  EXPECT_EQ(GetObjectType(last), 0u);
}

TEST_F(Paint, TransparentUnderAParentThatPaintsItselfOnlySetsTheFlag) {
  TControl* parent = NewPopup();
  parent->PaintsItself = true;
  TControl* child = NewChild(parent, nullptr, 0);
  SetTransparent(child, true);
  EXPECT_TRUE(child->Transparent);
  EXPECT_FALSE(parent->BufferedPaint);
  EXPECT_EQ(GlobalMessageHook, &NotHandled);
  EXPECT_EQ(InvalidateHook, &DoNothing);
  EXPECT_EQ(WindowCreatedHook, &DoNothing);
  parent->Free();
}

TEST_F(Paint, ForeignChildLeavesItsFrameAndErasingToTheBufferedPaintAndGetsItsProcedureBack) {
  PaintLog log, childLog;
  TControl* form = NewBufferedForm(log, childLog, MakeForeignChild);
  HWND window = foreign.window;
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetPropW(window, L"PREV_PROC"), reinterpret_cast<HANDLE>(ForeignProc));
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(WndProcChild));
  EXPECT_TRUE(IsWindowUnicode(window));

  foreign.erases = foreign.framePaints = 0;
  HDC dc = GetDC(window);
  EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(window, dc);
  EXPECT_EQ(SendMessageA(window, WM_NCPAINT, 1, 0), 0);
  EXPECT_EQ(foreign.erases, 0);
  EXPECT_EQ(foreign.framePaints, 0);

  // While the form paints, the child is printed into its buffer like any other.
  Repaint(form);
  EXPECT_GT(foreign.erases, 0);

  form->Free();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(foreign.ncDestroyed);
  EXPECT_EQ(foreign.propAtNcDestroy, nullptr);
  EXPECT_EQ(foreign.procAtNcDestroy, reinterpret_cast<LONG_PTR>(ForeignProc));
}

TEST_F(Paint, NoGdiObjectIsLeftAfterAThousandPaints) {
  PaintLog log, childLog;
  TControl* form = NewBufferedForm(log, childLog);
  const int firstPaints = log.paints;
  int leftOver = 0;
  for (int i = 0; i < 1000; ++i) {
    // 40 pixels wider, then back: the back buffer is made anew for every paint.
    const HBITMAP before = form->BackBuffer;
    Resize(form, kFormWidth + (i % 2 ? 0 : 40), kFormHeight);
    if (form->BackBuffer == before || GetObjectType(before) != 0) ++leftOver;
    if (GetObjectType(log.lastDC) != 0) ++leftOver;
    if (log.lastUpdateRgn && GetObjectType(log.lastUpdateRgn) != 0) ++leftOver;
    if (childLog.lastUpdateRgn && GetObjectType(childLog.lastUpdateRgn) != 0) ++leftOver;
  }
  EXPECT_EQ(leftOver, 0);
  EXPECT_GE(log.paints, firstPaints + 1000);
  EXPECT_EQ(WindowPixel(form->Handle, 60, 60), kFormColor);
  const HBITMAP last = form->BackBuffer;
  form->Free();
  EXPECT_EQ(GetObjectType(last), 0u);
}
