#include "canvas.h"

#include <string>

#include "text_conv.h"

namespace {

constexpr uint8_t kToolStates = kStatePen | kStateBrush | kStateFont;
// Pen styles whose gaps are painted with the background: PS_DASH .. PS_DASHDOTDOT.
constexpr uint8_t kFirstBrokenPen = PS_DASH;
constexpr uint8_t kLastBrokenPen = PS_DASHDOTDOT;

struct TStockTools {
  HGDIOBJ Pen = GetStockObject(BLACK_PEN);
  HGDIOBJ Brush = GetStockObject(NULL_BRUSH);
  HGDIOBJ Font = GetStockObject(SYSTEM_FONT);
};

const TStockTools& StockTools() {
  static const TStockTools stock;
  return stock;
}

// Selecting 0 would fail anyway; a tool GDI refused simply draws nothing.
void SelectHandle(HDC dc, HGDIOBJ handle) {
  if (handle) SelectObject(dc, handle);
}

void MeasureWide(HDC dc, std::string_view text, SIZE& size) {
  const std::wstring wide = ToWstr(text);
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
}

}  // namespace

TCanvas* NewCanvas(HDC dc) {
  auto* canvas = new TCanvas;
  canvas->CopyRop = SRCCOPY;
  if (dc) canvas->SetDC(dc);
  return canvas;
}

TCanvas::~TCanvas() {
  SetDC(nullptr);
  if (Pen) Pen->Free();
  if (Brush) Brush->Free();
  if (Font) Font->Free();
}

void TCanvas::SetDC(HDC dc) {
  if (dc == DC) return;
  if (DC) {
    DeselectTools();
    // The paint DC belongs to BeginPaint (or the back buffer); a window DC
    // came from GetDC; anything else (a memory DC) is ours to delete.
    const bool paintDC = FromPaintDC || (Owner.PaintDC && *Owner.PaintDC == DC);
    // Which kind it was is noted on arrival: once its window is gone,
    // WindowFromDC no longer tells a window DC from a memory one.
    if (!paintDC) {
      if (DCWindow) {
        ReleaseDC(DCWindow, DC);
      } else {
        DeleteDC(DC);
      }
    }
    DC = nullptr;
    DCWindow = nullptr;
    FromPaintDC = false;
    State &= ~kStateDC;
  }
  if (dc) {
    State |= kStateDC;
    DC = dc;
    DCWindow = WindowFromDC(dc);
    MoveToEx(dc, PenPoint.x, PenPoint.y, nullptr);
  }
}

HDC TCanvas::AttachPaintDC(HDC paintDC) {
  SetDC(paintDC);
  if (paintDC) FromPaintDC = true;
  return paintDC;
}

void TCanvas::DeselectTools() {
  if (!DC || !(State & kToolStates)) return;
  const TStockTools& stock = StockTools();
  SelectObject(DC, stock.Pen);
  SelectObject(DC, stock.Brush);
  SelectObject(DC, stock.Font);
  State &= ~kToolStates;
}

void TCanvas::ToolChanged(TObj*) {
  DeselectTools();
}

void TCanvas::ReportToolChanges() {
  const TOnEvent toCanvas = MakeEvent<&TCanvas::ToolChanged>(this);
  for (TGraphicTool* tool : {Font, Pen, Brush}) {
    if (tool) tool->OnChange = toCanvas;
  }
}

TGraphicTool* TCanvas::GetBrush() {
  if (!Brush) {
    Brush = NewBrush();
    Brush->OnChange = MakeEvent<&TCanvas::ToolChanged>(this);
  }
  return Brush;
}

TGraphicTool* TCanvas::GetFont() {
  if (!Font) {
    Font = NewFont();
    Font->OnChange = MakeEvent<&TCanvas::ToolChanged>(this);
  }
  return Font;
}

TGraphicTool* TCanvas::GetPen() {
  if (!Pen) {
    Pen = NewPen();
    Pen->OnChange = MakeEvent<&TCanvas::ToolChanged>(this);
  }
  return Pen;
}

HDC TCanvas::EnsureState(uint8_t flags) {
  if (flags & kStateChange) OnChange(this);
  if ((flags & kStateDC) && GetDCProc) {
    HDC dc = GetDCProc(GetDCData, this);
    if (!dc) return nullptr;
    SetDC(dc);
  }
  if (!DC) return nullptr;
  return SelectNeeded(flags);
}

HDC TCanvas::SelectNeeded(uint8_t flags) {
  uint8_t needed = flags & 0x0F & ~State;
  if (!needed) return DC;
  if (needed & kStateFont) SelectFont();
  if (needed & kStatePen) SelectPen(needed);
  if (needed & kStateBrush) SelectBrush();
  State |= needed;
  return DC;
}

void TCanvas::SelectFont() {
  if (Font) {
    SelectHandle(DC, Font->GetToolHandle());
    SetTextColor(DC, ResolveColor(Font->ToolData.Color));
    ReportToolChanges();
  } else if (Owner.TextColor) {
    SetTextColor(DC, ResolveColor(*Owner.TextColor));
  }
}

void TCanvas::SelectPen(uint8_t& needed) {
  if (!Pen) return;
  SelectHandle(DC, Pen->GetToolHandle());
  SetROP2(DC, Pen->ToolData.Pen.Mode + 1);
  ReportToolChanges();
  const uint8_t style = Pen->ToolData.Pen.Style;
  if (style >= kFirstBrokenPen && style <= kLastBrokenPen) needed |= kStateBrush & ~State;
}

void TCanvas::SelectBrush() {
  if (Brush) {
    SelectHandle(DC, Brush->GetToolHandle());
    ReportToolChanges();
    const uint32_t color = ResolveColor(Brush->ToolData.Color);
    if (Brush->ToolData.Brush.Style != kBrushSolid) {
      SetBkColor(DC, ~color & 0x00FFFFFF);
      SetBkMode(DC, TRANSPARENT);
    } else {
      SetBkColor(DC, color);
      SetBkMode(DC, OPAQUE);
    }
  } else {
    if (Owner.Color) SetBkColor(DC, ResolveColor(*Owner.Color));
    SetBkMode(DC, OPAQUE);
  }
}

void TCanvas::MovePen(int32_t x, int32_t y) {
  HDC dc = EnsureState(kStateDC);
  if (!dc) return;
  MoveToEx(dc, x, y, nullptr);
  PenPoint = {x, y};
}

SIZE TCanvas::MeasureText(std::string_view text) {
  SIZE size{0, 0};
  if (DC) {
    if (HDC dc = EnsureState(kStateDC | kStateFont)) MeasureWide(dc, text, size);
    return size;
  }
  // Measuring must not make the owner's window, so a DC of our own serves and
  // goes again; the canvas stays detached.
  HDC temp = CreateCompatibleDC(nullptr);
  if (!temp) return size;
  DC = temp;
  State |= kStateDC;
  SelectNeeded(kStateFont);
  MeasureWide(temp, text, size);
  DeselectTools();
  DC = nullptr;
  State &= ~kStateDC;
  DeleteDC(temp);
  return size;
}

void TCanvas::FillRectangle(const RECT& rect) {
  HDC dc = EnsureState(kStateDC | kStateBrush | kStateChange);
  if (!dc) return;
  if (Brush) {
    FillRect(dc, &rect, static_cast<HBRUSH>(Brush->GetToolHandle()));
    return;
  }
  TGraphicTool* ownerBrush = Owner.Brush ? *Owner.Brush : nullptr;
  if (ownerBrush) {
    FillRect(dc, &rect, static_cast<HBRUSH>(ownerBrush->GetToolHandle()));
  } else if (Owner.Color) {
    HBRUSH temp = CreateSolidBrush(ResolveColor(*Owner.Color));
    if (!temp) return;
    FillRect(dc, &rect, temp);
    DeleteObject(temp);
  } else {
    FillRect(dc, &rect, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
}

void TCanvas::DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  HDC dc = EnsureState(kStateDC | kStatePen | kStateBrush | kStateChange);
  if (dc) Rectangle(dc, left, top, right, bottom);
}

int32_t TCanvas::DrawTextInRect(std::string_view text, RECT& rect, uint32_t format) {
  HDC dc = EnsureState(kStateDC | kStateFont | kStateBrush | kStateChange);
  if (!dc) return 0;
  const std::wstring wide = ToWstr(text);
  return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}
