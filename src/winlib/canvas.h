// TCanvas: one device context, got on demand, with its pen, brush and font
// selected lazily by what each drawing operation declares it needs.
//
// How a control plugs in (this file needs no TControl):
//   - it makes its canvas with NewCanvas(0), then fills
//       canvas->Owner      : pointers into its own fields (see TCanvasOwner);
//       canvas->GetDCProc  : its DC procedure, with canvas->GetDCData = the control.
//   - its DC procedure answers, in this order: the paint in progress, attached
//     with canvas->AttachPaintDC(PaintDC); else the DC the canvas already holds
//     (canvas->DC); else GetDC of its window (made on demand). For example:
//       HDC ControlCanvasDC(void* data, TCanvas* canvas) {
//         auto* control = static_cast<TControl*>(data);
//         if (control->PaintDC) return canvas->AttachPaintDC(control->PaintDC);
//         if (canvas->DC) return canvas->DC;
//         HWND window = control->EnsureHandle();
//         return window ? GetDC(window) : nullptr;
//       }
//   - after a paint it calls canvas->SetDC(0), so no DC outlives the paint.
// A DC that the canvas lets go is released with ReleaseDC when it belongs to a
// window, deleted with DeleteDC otherwise, and left alone when it is the
// owner's paint DC. The canvas owns its tools and points their OnChange at
// itself (it deselects them), so it is given copies (AssignTool), never the
// control's own Font or Brush, which report to the control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "graphic_tool.h"
#include "obj.h"

class TCanvas;

// DC procedure: (data, canvas) -> a DC, or 0 when none can be had.
using TGetDCProc = HDC (*)(void* data, TCanvas* canvas);

// What a canvas reads from the control it draws on, as pointers into that
// control's fields; all null for a canvas without owner (a memory canvas).
struct TCanvasOwner {
  TObj* Control = nullptr;
  HDC* PaintDC = nullptr;          // the DC of the paint in progress, 0 outside one
  uint32_t* TextColor = nullptr;   // text colour when the canvas has no font
  uint32_t* Color = nullptr;       // background when the canvas has no brush
  TGraphicTool** Brush = nullptr;  // the control's brush, none until made
};

// State bits, and the flags an operation gives EnsureState.
constexpr uint8_t kStateDC = 1;
constexpr uint8_t kStatePen = 2;
constexpr uint8_t kStateBrush = 4;
constexpr uint8_t kStateFont = 8;
constexpr uint8_t kStateChange = 0x10;  // call OnChange first (a flag only)

class TCanvas : public TObj {
 public:
  // Attaches dc (0 detaches). Detaching deselects the tools and lets the DC go
  // (see the top of this file); attaching moves the pen to PenPoint.
  void SetDC(HDC dc);
  // For a DC procedure: attach the owner's paint DC and mark it borrowed.
  HDC AttachPaintDC(HDC paintDC);
  // Gets the DC when flags ask for it and selects only what is not selected
  // yet. 0 when there is no DC; the caller then draws nothing.
  [[nodiscard]] HDC EnsureState(uint8_t flags);
  // Selects the stock pen, brush and font in place of the canvas's tools.
  void DeselectTools();

  // The canvas's tools, made on first use.
  TGraphicTool* GetBrush();
  TGraphicTool* GetFont();
  TGraphicTool* GetPen();

  void MovePen(int32_t x, int32_t y);
  // Without a DC a temporary memory DC is used, and the canvas stays detached.
  [[nodiscard]] SIZE MeasureText(std::string_view text);
  // With the canvas's brush; else the owner's brush; else a solid brush of the
  // owner's colour; without owner the COLOR_WINDOW brush.
  void FillRectangle(const RECT& rect);
  void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // DrawTextW; rect is written back for DT_CALCRECT. Answers the text height.
  int32_t DrawTextInRect(std::string_view text, RECT& rect, uint32_t format);

  TCanvasOwner Owner;
  HDC DC = nullptr;
  POINT PenPoint{0, 0};
  TGraphicTool* Brush = nullptr;
  TGraphicTool* Font = nullptr;
  TGraphicTool* Pen = nullptr;
  uint8_t State = 0;
  uint32_t CopyRop = SRCCOPY;
  TOnEvent OnChange;
  TGetDCProc GetDCProc = nullptr;
  void* GetDCData = nullptr;
  bool FromPaintDC = false;
  // The window a window DC was got for, noted while that window was alive.
  HWND DCWindow = nullptr;

 protected:
  ~TCanvas() override;

 private:
  void ToolChanged(TObj* tool);
  void ReportToolChanges();
  HDC SelectNeeded(uint8_t flags);
  void SelectFont();
  void SelectPen(uint8_t& needed);
  void SelectBrush();
};

// A canvas on dc (0 for none yet); the canvas owns a DC given here.
[[nodiscard]] TCanvas* NewCanvas(HDC dc);
