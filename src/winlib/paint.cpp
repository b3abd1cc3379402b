// Painting through OnPaint, and buffered painting: a parent with transparent
// children is drawn, children and all, into one back buffer and copied to the
// screen in one step, so the children show its background and nothing flickers.
#include "paint.h"

#include "canvas.h"
#include "dc_scope.h"

namespace {

// The previous window procedure of a foreign child we subclassed.
constexpr wchar_t kPrevProc[] = L"PREV_PROC";
// A back buffer up to this much larger than needed is kept: a window that
// shrinks a little does not cost a new bitmap on every paint.
constexpr int32_t kBackBufferSlack = 32;

// ---- OnPaint ----------------------------------------------------------------

// The part of the window that needs painting, or none when nothing does.
HRGN TakeUpdateRgn(TControl* control) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (!region) return nullptr;
  const int kind = GetUpdateRgn(control->Handle, region, control->EraseOnPaint);
  if (kind == NULLREGION || kind == ERROR) {
    DeleteObject(region);
    return nullptr;
  }
  return region;
}

// The pending region takes in the update region; once that is more than one
// rectangle it becomes the whole client area. Invalidated so the paint covers it.
void MergePending(TControl* control) {
  HRGN pending = control->PendingRgn;
  if (CombineRgn(pending, pending, control->UpdateRgn, RGN_OR) == COMPLEXREGION) {
    RECT client;
    GetClientRect(control->Handle, &client);
    SetRectRgn(pending, client.left, client.top, client.right, client.bottom);
  }
  InvalidateRgn(control->Handle, pending, control->EraseOnPaint);
}

void CallOnPaint(TControl* control, HDC dc) {
  // The clip is saved around the event: a CS_OWNDC window keeps its DC state
  // from paint to paint, and a print request's DC belongs to the caller.
  const int saved = control->PendingRgn ? SaveDC(dc) : 0;
  if (control->PendingRgn) SelectClipRgn(dc, control->PendingRgn);
  control->OnPaint(control, dc);
  // Detached while PaintDC still names the DC, so the canvas leaves it alone.
  if (control->Canvas) control->Canvas->SetDC(nullptr);
  if (saved) RestoreDC(dc, saved);
}

// ---- Buffered painting: hooks -----------------------------------------------

void InvalidateBufferedAncestor(TControl* control) {
  TControl* ancestor = BufferedAncestor(control);
  if (ancestor && ancestor->Handle) InvalidateRect(ancestor->Handle, nullptr, TRUE);
}

// Standard windows made inside a library window (the edit of a combo box,
// say) have no object to ask; their procedure is wrapped instead.
void SubclassForeignChildren(TControl* control) {
  if (!control->Handle) return;
  for (HWND child = GetWindow(control->Handle, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetPropW(child, kPrevProc) || ControlOfWindow(child)) continue;
    // Through the W entry points: an A one would turn a Unicode window into an
    // ANSI one and its texts would go through the code page.
    const LONG_PTR previous = GetWindowLongPtrW(child, GWLP_WNDPROC);
    // The property first: a window on WndProcChild without it would answer 0 to everything.
    if (!previous || !SetPropW(child, kPrevProc, reinterpret_cast<HANDLE>(previous))) continue;
    SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProcChild));
  }
}

// A foreign child whose erasing and frame the buffered paint of an ancestor
// takes care of, at a moment that ancestor is not painting.
bool LeftToBufferedAncestor(HWND window) {
  if (ControlOfWindow(window)) return false;
  TControl* parent = ControlOfWindow(GetParent(window));
  if (!parent || parent->PaintsItself) return false;
  TControl* ancestor = BufferedAncestor(parent);
  return ancestor && !ancestor->BufferedPaintActive;
}

void Unsubclass(HWND window, WNDPROC previous) {
  // Only when ours is still on top: a later subclass would be cut off.
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(WndProcChild)) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  RemovePropW(window, kPrevProc);
}

bool SetTextHidden(TControl* control, MSG& msg, LRESULT& result) {
  if (!control->HideOnSetText || !BufferedAncestor(control)) return false;
  // A hidden window stays hidden: showing it again is for the ones we hid.
  const bool shown = (GetWindowLongW(msg.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown) ShowWindow(msg.hwnd, SW_HIDE);
  // lParam: the new text in UTF-16, our windows being Unicode ones.
  result = DefWindowProcW(msg.hwnd, WM_SETTEXT, msg.wParam, msg.lParam);
  if (shown) {
    ShowWindow(msg.hwnd, SW_SHOWNA);
    UpdateWindow(msg.hwnd);
  }
  return true;
}

bool PaintThroughAncestor(TControl* control, MSG& msg, LRESULT& result) {
  if (control->PaintsItself) return false;
  TControl* ancestor = BufferedAncestor(control);
  if (!ancestor) return false;
  if (ancestor == control) {
    // wParam: a DC for a print request, which is the control's own painting.
    if (msg.wParam) return false;
    PaintBuffered(control);
    result = 0;
    return true;
  }
  // Printed into the ancestor's buffer: the control paints as usual.
  if (ancestor->BufferedPaintActive && ancestor->PaintDC) return false;
  ValidateRect(control->Handle, nullptr);
  if (!ancestor->BufferedPaintActive) ancestor->Invalidate();
  result = 0;
  return true;
}

bool SkipErase(TControl* control, LRESULT& result) {
  if (control->PaintsItself) return false;
  TControl* ancestor = BufferedAncestor(control);
  if (!ancestor) return false;
  if ((control->Transparent || !ancestor->BufferedPaintActive) && control->Parent) {
    result = 1;
    return true;
  }
  return false;
}

bool SkipFrame(TControl* control, LRESULT& result) {
  if (control->IsForm || control->PaintsItself) return false;
  TControl* ancestor = BufferedAncestor(control);
  if (!ancestor || ancestor->BufferedPaintActive) return false;
  result = 0;
  return true;
}

// ---- Buffered painting: the paint -------------------------------------------

void DeleteBackBuffer(void* data, TObj*) {
  auto* control = static_cast<TControl*>(data);
  if (control->BackBuffer) DeleteObject(control->BackBuffer);
  control->BackBuffer = nullptr;
  control->BackBufferWidth = control->BackBufferHeight = 0;
}

bool Fits(int32_t have, int32_t need) {
  return have >= need && have <= need + kBackBufferSlack;
}

// windowDC: a bitmap compatible with a fresh memory DC would be monochrome.
bool EnsureBackBuffer(TControl* control, HDC windowDC, int32_t width, int32_t height) {
  if (control->BackBuffer && Fits(control->BackBufferWidth, width) &&
      Fits(control->BackBufferHeight, height)) {
    return true;
  }
  if (control->BackBuffer) {
    DeleteObject(control->BackBuffer);
  } else {
    // Once in the list, whatever the number of bitmaps made.
    control->RemoveFreeNotify(DeleteBackBuffer, control);
    control->AddFreeNotify(DeleteBackBuffer, control);
  }
  control->BackBuffer = CreateCompatibleBitmap(windowDC, width, height);
  control->BackBufferWidth = control->BackBuffer ? width : 0;
  control->BackBufferHeight = control->BackBuffer ? height : 0;
  return control->BackBuffer != nullptr;
}

void PrintChain(HDC buffer, HWND first, POINT origin);

// Draws one window and its children into the buffer, whose (0, 0) is the
// screen point origin.
void PrintWindowInto(HDC buffer, HWND window, POINT origin) {
  const int saved = SaveDC(buffer);
  RECT frame;
  GetWindowRect(window, &frame);
  SetWindowOrgEx(buffer, origin.x - frame.left, origin.y - frame.top, nullptr);
  IntersectClipRect(buffer, 0, 0, frame.right - frame.left, frame.bottom - frame.top);
  SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(buffer), PRF_NONCLIENT);

  POINT client{0, 0};
  ClientToScreen(window, &client);
  RECT clientRect;
  GetClientRect(window, &clientRect);
  SetWindowOrgEx(buffer, origin.x - client.x, origin.y - client.y, nullptr);
  IntersectClipRect(buffer, 0, 0, clientRect.right, clientRect.bottom);
  SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0);
  SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(buffer), 0);
  PrintChain(buffer, GetWindow(window, GW_CHILD), origin);
  RestoreDC(buffer, saved);
}

void PrintChain(HDC buffer, HWND first, POINT origin) {
  for (HWND window = first; window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsWindowVisible(window)) PrintWindowInto(buffer, window, origin);
  }
}

void DrawIntoBuffer(TControl* control, HDC buffer) {
  HWND window = control->Handle;
  if (control->IsForm) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0);
    SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(buffer), 0);
    PrintChain(buffer, GetWindow(window, GW_CHILD), origin);
  } else {
    RECT frame;
    GetWindowRect(window, &frame);
    PrintWindowInto(buffer, window, POINT{frame.left, frame.top});
  }
}

// Children that paint themselves keep what they painted on the screen.
void ExcludeSelfPainters(TControl* control, HDC windowDC, const RECT& frame) {
  for (int32_t i = 0; i < control->Children->Count; ++i) {
    auto* child = static_cast<TControl*>(control->Children->Items[i]);
    if (!child->PaintsItself) {
      ExcludeSelfPainters(child, windowDC, frame);
      continue;
    }
    RECT rect;
    if (!child->Handle || !GetWindowRect(child->Handle, &rect)) continue;
    ExcludeClipRect(windowDC, rect.left - frame.left, rect.top - frame.top, rect.right - frame.left,
                    rect.bottom - frame.top);
  }
}

// The window DC is not clipped by the children (WS_CLIPCHILDREN applies to
// client DCs only), so the one copy covers them too.
void CopyToWindow(TControl* control, HDC buffer, SIZE size) {
  HWND window = control->Handle;
  HDC windowDC = GetWindowDC(window);
  if (!windowDC) return;
  RECT frame;
  GetWindowRect(window, &frame);
  ExcludeSelfPainters(control, windowDC, frame);
  POINT at{0, 0};
  if (control->IsForm) {
    ClientToScreen(window, &at);
    at.x -= frame.left;
    at.y -= frame.top;
  }
  BitBlt(windowDC, at.x, at.y, size.cx, size.cy, buffer, 0, 0, SRCCOPY);
  ReleaseDC(window, windowDC);
}

SIZE BufferedArea(TControl* control) {
  RECT rect;
  if (control->IsForm) {
    GetClientRect(control->Handle, &rect);
  } else {
    GetWindowRect(control->Handle, &rect);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void PaintIntoBackBuffer(TControl* control, HDC windowDC, SIZE area) {
  if (area.cx <= 0 || area.cy <= 0) return;
  HDC buffer = CreateCompatibleDC(windowDC);
  if (!buffer) return;
  if (EnsureBackBuffer(control, windowDC, area.cx, area.cy)) {
    TSelectedObject bitmap(buffer, control->BackBuffer);
    const HDC savedPaintDC = control->PaintDC;
    control->PaintDC = buffer;
    DrawIntoBuffer(control, buffer);
    CopyToWindow(control, buffer, area);
    control->PaintDC = savedPaintDC;
  }
  DeleteDC(buffer);
}

}  // namespace

bool OnPaintHandler(TControl* control, MSG& msg, LRESULT& result) {
  if (msg.message != WM_PAINT && msg.message != WM_PRINTCLIENT) return false;
  if (!control->OnPaint) return false;
  HWND window = control->Handle;
  // A paint inside a paint keeps the outer one's region.
  const HRGN outerUpdateRgn = control->UpdateRgn;
  const HRGN updateRgn = TakeUpdateRgn(control);
  control->UpdateRgn = updateRgn;
  if (control->PendingRgn && updateRgn) MergePending(control);

  const HDC savedPaintDC = control->PaintDC;
  // wParam: the DC of a print request, or 0 for a paint of the window itself.
  const auto givenDC = reinterpret_cast<HDC>(msg.wParam);
  PAINTSTRUCT paint{};
  const HDC dc = givenDC ? givenDC : BeginPaint(window, &paint);
  control->PaintDC = dc;
  if (dc) CallOnPaint(control, dc);
  if (!givenDC && dc) EndPaint(window, &paint);
  control->PaintDC = savedPaintDC;

  if (updateRgn) DeleteObject(updateRgn);
  control->UpdateRgn = outerUpdateRgn;
  result = 0;
  return true;
}

TControl* BufferedAncestor(TControl* control) {
  TControl* found = nullptr;
  for (TControl* at = control; at; at = at->Parent) {
    if (at->BufferedPaint) found = at;
  }
  return found;
}

void SetTransparent(TControl* control, bool on) {
  if (control->Transparent == on) return;
  control->Transparent = on;
  TControl* parent = control->Parent;
  if (!on || !parent || parent->PaintsItself) return;
  parent->BufferedPaint = true;
  GlobalMessageHook = BufferedPaintHook;
  InvalidateHook = InvalidateBufferedAncestor;
  WindowCreatedHook = SubclassForeignChildren;
}

LRESULT CALLBACK WndProcChild(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_ERASEBKGND || message == WM_NCPAINT) && LeftToBufferedAncestor(window)) {
    return message == WM_ERASEBKGND ? 1 : 0;
  }
  const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kPrevProc));
  if (!previous) return 0;
  // The last message of the window: nothing of ours outlives it.
  if (message == WM_NCDESTROY) Unsubclass(window, previous);
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

bool BufferedPaintHook(TControl* control, MSG& msg, LRESULT& result) {
  // A window without object reaches the main window's dispatcher; its paint is not ours.
  if (msg.hwnd != control->Handle) return false;
  switch (msg.message) {
    case WM_SETTEXT:
      return SetTextHidden(control, msg, result);
    case WM_PAINT:
      return PaintThroughAncestor(control, msg, result);
    case WM_ERASEBKGND:
      return SkipErase(control, result);
    case WM_NCPAINT:
      return SkipFrame(control, result);
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (BufferedAncestor(control)) control->Invalidate();
      return false;
    case WM_COMMAND:
      // High word of wParam: the notification code; 1 is a change of a standard control.
      if (HIWORD(msg.wParam) == 1 && BufferedAncestor(control)) control->Invalidate();
      return false;
    default:
      return false;
  }
}

void PaintBuffered(TControl* control) {
  HWND window = control->Handle;
  RECT update;
  if (!window || !GetUpdateRect(window, &update, FALSE)) return;
  control->BufferedPaintActive = true;
  const SIZE area = BufferedArea(control);
  if (HDC windowDC = GetDC(window)) {
    PaintIntoBackBuffer(control, windowDC, area);
    ReleaseDC(window, windowDC);
  }
  // Validated even when nothing could be drawn: WM_PAINT would come back forever.
  ValidateRect(window, nullptr);
  control->BufferedPaintActive = false;
}
