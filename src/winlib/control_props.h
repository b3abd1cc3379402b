// The property operations of a control and the hooks that attach events to its
// notifications. Each operation stores the value in the control and, when the
// window exists, applies it at once; before that, window creation applies it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "control.h"

// Text and styles.
void SetText(TControl* control, std::string_view text);
void SetStyle(TControl* control, uint32_t value);
void SetExStyle(TControl* control, uint32_t value);

// Bounds, relative to the parent's client area (the screen for a top-level
// window), read from the window while it exists.
[[nodiscard]] RECT BoundsRect(TControl* control);
[[nodiscard]] int32_t Left(TControl* control);
[[nodiscard]] int32_t Top(TControl* control);
[[nodiscard]] int32_t Width(TControl* control);
[[nodiscard]] int32_t Height(TControl* control);
void SetLeft(TControl* control, int32_t left);  // keeps the width
void SetTop(TControl* control, int32_t top);    // keeps the height
void SetWidth(TControl* control, int32_t width);
void SetHeight(TControl* control, int32_t height);
void SetPosition(TControl* control, int32_t x, int32_t y);
// A dimension of 0 (or less) is kept.
void SetSize(TControl* control, int32_t width, int32_t height);
// The client area less the status bar; the frame is added. 0 keeps a dimension.
[[nodiscard]] int32_t ClientWidth(TControl* control);
[[nodiscard]] int32_t ClientHeight(TControl* control);
void SetClientSize(TControl* control, int32_t width, int32_t height);

// Look.
void SetColor(TControl* control, uint32_t color);
void SetCtl3D(TControl* control, bool on);  // nothing when already so
void SetEnabled(TControl* control, bool on);
void SetCursor(TControl* control, HINSTANCE module, const char* identifier);
void SetIcon(TControl* control, HICON icon);            // (HICON)-1: no icon, not inherited
void SetWindowState(TControl* control, uint8_t state);  // 0 normal, 1 minimized, 2 maximized
void SetAlphaBlend(TControl* control, uint8_t alpha);   // 255 opaque
void SetTextAlign(TControl* control, int32_t align);    // 0 left, 1 centre, 2 right
// On: the control takes the size of its caption, now and after each change.
void SetAutoSize(TControl* control, bool on);
void SetTabOrder(TControl* control, int32_t order);

// The control's font.
void SetFontColor(TControl* control, uint32_t color);
void SetFontStyle(TControl* control, uint8_t style);  // kFontBold | kFontItalic | ...
void SetFontName(TControl* control, std::string_view name);
void SetFontHeight(TControl* control, int32_t height);
void SetFontCharset(TControl* control, uint8_t charset);
// The font height for a point size at the screen's vertical resolution.
[[nodiscard]] int32_t PointsToHeight(int32_t points);

// Hooks: store the event and attach what raises it.
void SetOnClick(TControl* control, TOnEvent event);
void SetOnMouseDown(TControl* control, TOnMouse event);
void SetOnMouseMove(TControl* control, TOnMouse event);
void SetOnMouseUp(TControl* control, TOnMouse event);
void SetOnMouseWheel(TControl* control, TOnMouse event);
void SetOnMouseDblClk(TControl* control, TOnMouse event);
void SetOnKeyDown(TControl* control, TOnKey event);
void SetOnKeyUp(TControl* control, TOnKey event);
void SetOnChar(TControl* control, TOnChar event);
void SetOnMouseEnter(TControl* control, TOnEvent event);
void SetOnMouseLeave(TControl* control, TOnEvent event);
void SetOnPaint(TControl* control, TOnPaint event);
void SetOnResize(TControl* control, TOnEvent event);
void SetOnShow(TControl* control, TOnEvent event);
void SetOnHide(TControl* control, TOnEvent event);
void SetOnMessage(TControl* control, TOnMessage event);
void SetOnDestroy(TControl* control, TOnEvent event);

// Raises OnShow and OnHide from WM_SHOWWINDOW; never handles the message.
bool ShowHideHandler(TControl* control, MSG& msg, LRESULT& result);
