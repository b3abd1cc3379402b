#include "led.h"

#include <initializer_list>

#include "control_kinds.h"
#include "control_props.h"
#include "dc_scope.h"
#include "graphic_tool.h"

namespace {

constexpr uint8_t kRound = 0;
constexpr uint8_t kSquare = 1;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kWhite = 0xFFFFFF;

void Line(HDC dc, HPEN pen, std::initializer_list<POINT> points) {
  SelectObject(dc, pen);
  auto point = points.begin();
  MoveToEx(dc, point->x, point->y, nullptr);
  for (++point; point != points.end(); ++point)
    LineTo(dc, point->x, point->y);
}

void ArcWith(HDC dc, HPEN pen, const RECT& box, POINT from, POINT to) {
  SelectObject(dc, pen);
  Arc(dc, box.left, box.top, box.right, box.bottom, from.x, from.y, to.x, to.y);
}

template <class Handle>
void DeleteTool(Handle& object) {
  if (object) DeleteObject(object);
  object = nullptr;
}

}  // namespace

TKVLED::~TKVLED() {
  if (Control && Control->OnPaint.data == this) Control->OnPaint = {};
  DeleteTool(GreyPen);
  DeleteTool(WhitePen);
  DeleteTool(UnlitPen);
  DeleteTool(LightPen);
  DeleteTool(WhitePen2);
  DeleteTool(LitPen2);
  DeleteTool(LitBrush);
  DeleteTool(UnlitBrush);
}

void TKVLED::doOn(TData& data, uint16_t) {
  if (On) return;
  On = true;
  if (Control) Control->Invalidate();
  TailInteger(data, onChange, 1);
}

void TKVLED::HandleResize(TObj* sender) {
  if (Control) Control->Invalidate();
  TKVWin::HandleResize(sender);
}

void TKVLED::Init() {
  Control = NewPaintbox(Parent);
  TKVWin::Init();
  MakeTools();
  SetOnPaint(Control, BindEvent<&TKVLED::Paint>(this));
  SetOnClick(Control, MakeEvent<&TKVLED::HandleClick>(this));
  // The window may have painted as a plain static before the painter was hooked.
  Control->Invalidate();
}

void TKVLED::MakeTools() {
  const COLORREF on = ResolveColor(ColorOn);
  const COLORREF off = ResolveColor(ColorOff);
  GreyPen = CreatePen(PS_SOLID, 1, kGrey);
  WhitePen = CreatePen(PS_SOLID, 1, kWhite);
  UnlitPen = CreatePen(PS_SOLID, 1, off);
  LightPen = CreatePen(PS_SOLID, 1, ResolveColor(ColorLight));
  WhitePen2 = CreatePen(PS_SOLID, 2, kWhite);
  LitPen2 = CreatePen(PS_SOLID, 2, on);
  LitBrush = CreateSolidBrush(on);
  UnlitBrush = CreateSolidBrush(off);
}

void TKVLED::HandleClick(TObj*) {
  FireNull(onClick);
}

void TKVLED::Paint(TControl* sender, HDC dc) {
  RECT rect;
  GetClientRect(sender->Handle, &rect);
  // The corners outside a round lamp show the control's own background.
  FillRect(dc, &rect, sender->GetBackBrush());
  HRGN region = Shape == kRound ? CreateEllipticRgnIndirect(&rect) : CreateRectRgnIndirect(&rect);
  if (region) {
    FillRgn(dc, region, On ? LitBrush : UnlitBrush);
    DeleteObject(region);
  }
  if (!Bevel) return;
  // Every pen the painter selects is let go before the lamp can delete it.
  TSavedDC saved(dc);
  if (Shape == kSquare) PaintSquareBevel(dc, rect);
  if (Shape == kRound) PaintRoundBevel(dc, rect);
}

// Right and bottom are exclusive; the shrink takes the edges themselves.
void TKVLED::PaintSquareBevel(HDC dc, RECT r) {
  const HPEN penA = On ? LightPen : UnlitPen;
  const HPEN penB = On ? WhitePen2 : LitPen2;
  Line(dc, GreyPen, {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}});
  Line(dc, WhitePen, {{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}});
  if (On) {
    Line(dc, UnlitPen,
         {{r.right - 2, r.top + 1}, {r.right - 2, r.bottom - 2}, {r.left, r.bottom - 2}});
  }
  r.left = r.right / 12;
  r.right -= r.right / 12;
  r.top = r.bottom / 8;
  r.bottom -= r.bottom / 8;
  Line(dc, penA,
       {{r.left + 1, r.bottom - 2},
        {r.left + 1, r.top + 1},
        {(r.right - r.left) / 3 + r.left, r.top + 1}});
  Line(dc, penB,
       {{r.left + 1, r.top + 2},
        {r.left + 1, r.top + 1},
        {r.left + 2, r.top + 1},
        {r.left + 1, r.top + 2}});
}

void TKVLED::PaintRoundBevel(HDC dc, RECT r) {
  const HPEN penA = On ? LightPen : UnlitPen;
  const HPEN penB = On ? WhitePen2 : LitPen2;
  const LONG dx = (r.right - r.left) / 8;
  const LONG dy = (r.bottom - r.top) / 8;
  // Arcs run counter-clockwise: from the top right round to the bottom left
  // is the upper-left half.
  ArcWith(dc, GreyPen, r, {r.right, r.top}, {r.left, r.bottom});
  ArcWith(dc, WhitePen, r, {r.left, r.bottom}, {r.right, r.top});
  if (On) {
    const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    ArcWith(dc, UnlitPen, inner, {r.left + dx - 1, r.bottom - 1}, {r.right - 1, r.top + dy - 1});
  }
  r.left = r.right / 5;
  r.right -= r.right / 5;
  r.top = r.bottom / 5;
  r.bottom -= r.bottom / 5;
  const LONG width = r.right - r.left;
  const LONG height = r.bottom - r.top;
  ArcWith(dc, penA, r, {r.left + static_cast<LONG>(width * 0.52), r.top},
          {r.left, r.top + static_cast<LONG>(height * 0.52)});
  ArcWith(dc, penB, r, {r.left + static_cast<LONG>(width * 0.24), r.top},
          {r.left, r.top + static_cast<LONG>(height * 0.24)});
}
