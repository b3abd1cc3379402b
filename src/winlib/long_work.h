// Long work on the window thread (one press over a large folder) keeps the
// program's windows alive. The work calls LongWorkStep or LongWorkTick as it
// goes; for its first tenth of a second that costs a clock read. Past that the
// windows repaint, the main form's status bar shows how far the work got, and
// input to the program waits: when the thread is back at its queue the input
// that came meanwhile is thrown away, so no press, box or close starts inside
// the work, and the bar shows again what it showed, or what the work wrote.
#pragma once

#include <string_view>

// One more step of the work that label names ("Удаляю... "): the bar shows the
// label followed by the steps counted since the work began.
void LongWorkStep(std::string_view label);
// The work goes on with no step to count: the windows only keep painting.
void LongWorkTick();
// The thread is back at its queue: the work, if any, is over.
void EndLongWork();
// True while long work runs past its first tenth of a second.
[[nodiscard]] bool LongWorkBusy();
