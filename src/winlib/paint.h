// Painting through OnPaint, and buffered painting of a parent whose children
// are transparent.
#pragma once

#include "control.h"

// Attached when a control's OnPaint is assigned.
bool OnPaintHandler(TControl* control, MSG& msg, LRESULT& result);

// Turning it on makes the parent buffered (unless the parent PaintsItself).
void SetTransparent(TControl* control, bool on);

// The outermost control with BufferedPaint among the control and its
// ancestors, or none.
TControl* BufferedAncestor(TControl* control);

// The window procedure put on foreign child windows of a buffered control.
LRESULT CALLBACK WndProcChild(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// GlobalMessageHook once buffered painting is on.
bool BufferedPaintHook(TControl* control, MSG& msg, LRESULT& result);
void PaintBuffered(TControl* control);
