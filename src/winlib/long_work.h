// Long work on the window thread (one press over a large folder) keeps the
// program's windows alive. The work calls LongWorkStep or LongWorkTick as it
// goes; for its first tenth of a second that costs a clock read. Past that the
// windows repaint, the main form's status bar shows how far the work got, and
// input to the program waits: when the thread is back at its queue the input
// that came meanwhile is thrown away, so no press, box or close starts inside
// the work, and the bar shows again what it showed, or what the work wrote.
#pragma once

#include <windows.h>

#include <string_view>

// One more step of the work that label names ("Удаляю... "): the bar shows the
// label followed by the steps counted since the work began.
void LongWorkStep(std::string_view label);
// The work goes on with no step to count: the windows only keep painting.
void LongWorkTick();
// Runs once when the current work ends (the same action asked twice runs
// once), for what is cheaper done once for the whole work than per step.
void AtLongWorkEnd(void (*action)());
// The thread is back at its queue: the work, if any, is over. True when it
// had run long enough to hold input back (that input is gone now).
bool EndLongWork();

// Keyboard and mouse messages, the client area's and the frame's.
[[nodiscard]] bool IsInputMessage(UINT message);
// While long work lets the windows paint, a message another thread sends that
// would act for the user (a click, a key, a command, a close) is held back:
// true when this one is, with what to answer. A close is posted again, so it
// comes once the work is over.
bool HeldBackByLongWork(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
