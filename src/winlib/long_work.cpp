#include "long_work.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app.h"
#include "control.h"
#include "control_kinds.h"

namespace {

// Work shorter than this passes unnoticed, as any click's handling does.
constexpr DWORD kQuietMs = 100;
// How often the windows are served meanwhile: a tenth of a second is soon
// enough for an eye, and each progress text costs a redraw of the bar.
constexpr DWORD kServeEveryMs = 100;
// A window that never validates would keep the serve loop going.
constexpr int kMostPaintsPerServe = 256;

struct TLongWork {
  bool running = false;  // work began since the thread last stood at its queue
  bool busy = false;     // and has gone on past the quiet time
  bool serving = false;  // the windows are painting now
  DWORD start = 0;
  DWORD lastServed = 0;
  uint32_t steps = 0;
  std::string label;
};
TLongWork work;
std::vector<void (*)()> endActions;

// Only a program whose form is on screen has anything to keep alive: a run
// without a window works on undisturbed.
TControl* ShownForm() {
  TControl* form = MainForm();
  return form && form->Handle && IsWindowVisible(form->Handle) ? form : nullptr;
}

void ShowProgress(TControl* form) {
  if (work.label.empty()) return;
  ShowStatusProgress(form, work.label + std::to_string(work.steps));
}

// Paint messages only: input stays queued, other posted messages wait their turn.
void PaintWaitingWindows() {
  work.serving = true;
  MSG msg;
  for (int i = 0;
       i < kMostPaintsPerServe && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
    DispatchMessageW(&msg);
  }
  work.serving = false;
}

void Serve() {
  const DWORD now = GetTickCount();
  if (!work.running) {
    work = {};
    work.running = true;
    work.start = now;
    return;
  }
  if (!work.busy) {
    if (now - work.start < kQuietMs || !ShownForm()) return;
    work.busy = true;
  } else if (now - work.lastServed < kServeEveryMs) {
    return;
  }
  work.lastServed = now;
  if (TControl* form = ShownForm()) ShowProgress(form);
  PaintWaitingWindows();
}

void ThrowAwayInput() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
  }
}

}  // namespace

void LongWorkStep(std::string_view label) {
  Serve();
  if (label.empty()) return;
  ++work.steps;
  if (work.label != label) work.label = label;
}

void LongWorkTick() {
  Serve();
}

void AtLongWorkEnd(void (*action)()) {
  if (std::find(endActions.begin(), endActions.end(), action) == endActions.end()) {
    endActions.push_back(action);
  }
}

namespace {

void RunEndActions() {
  std::vector<void (*)()> actions;
  actions.swap(endActions);
  for (auto* action : actions)
    action();
}

}  // namespace

bool EndLongWork() {
  if (!work.running) return false;
  const bool wasBusy = work.busy;
  work.running = false;
  work.busy = false;
  RunEndActions();
  if (!wasBusy) return false;
  ThrowAwayInput();
  EndStatusProgress();
  return true;
}

bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

bool HeldBackByLongWork(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!work.serving) return false;
  switch (message) {
    case WM_CLOSE:
      PostMessageW(window, message, wParam, lParam);
      return true;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case BM_CLICK:
      return true;
    default:
      return IsInputMessage(message);
  }
}
