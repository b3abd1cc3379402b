// Looking at and driving another process's windows as a user would: real
// mouse and keyboard input, pixels on screen, the focus, and the status bar's
// texts, read through memory in the program's own process.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "program_driver.h"

// The window's rectangle in its parent's client coordinates (screen
// coordinates for a top-level window).
RECT RectInParent(HWND window);
POINT Centre(HWND window);

// Makes the window the foreground one, so that keys reach it.
bool BringToFront(HWND window);
// A real left click: an absolute move to the screen point, press, release.
void ClickAt(POINT screenPoint);
void ClickCentre(HWND window);
// BM_CLICK: the whole press has run when it returns.
void ClickButton(HWND button);
// BM_CLICK that gives up waiting after the time: false when the press did not
// end by then (the program hangs) or the button is gone.
bool PressWithin(HWND button, DWORD timeoutMs);
// Whether the window's thread handles a message within the time.
bool Answers(HWND window, DWORD timeoutMs = 5000);
// Real key strokes: the keys go down in order and come up in reverse, so
// {VK_SHIFT, VK_TAB} is Shift+Tab.
void PressKeys(std::initializer_list<WORD> keys);
// The window of the thread that owns this one which holds the keyboard focus.
HWND FocusOf(HWND anyWindowOfThread);
// The middle of the caption's close box, found by the window's own hit test.
bool FindCloseBox(HWND window, POINT* point);

// The colour on screen at a point of the window's client area.
COLORREF PixelAt(HWND window, POINT clientPoint);
COLORREF PixelAtCentre(HWND window);
// The screen's pixels in the rectangle, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& screenRect);

// What a status bar shows: in simple mode its simple text, else part 0.
struct StatusView {
  bool simple = false;
  std::string text;
};
StatusView ReadStatusBar(HANDLE process, HWND bar);

// The static text of a message box.
std::string MessageBoxText(HWND box);

// Polls until the condition holds or the deadline passes.
template <class Condition>
bool Eventually(Condition condition, DWORD timeoutMs = 10000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
  return true;
}
