// Start-up: from CreateProcessA to the main window ready for input, and the
// working set then, for brumix.exe against a bare window program started and
// watched the same way (and against the bare program loading the libraries
// brumix.exe imports beyond its own, and making the same child windows, to
// tell the share of each). Runs alternate between the programs; medians of
// BENCH_RUNS runs each (default 7), after one unmeasured start of each. The
// best run is shown too: on a shared machine the noise only ever adds. The
// watcher looks every BENCH_POLL_MS milliseconds (default 1); looking less
// often shows whether the looking itself slows the programs down.
// BENCH_OTHER names another build of brumix.exe (a Windows path) to run in
// turn with this one: on a shared machine, figures from separate runs of the
// benchmark differ by more than most changes do.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "program_driver.h"
#include "window_probe.h"

namespace {

constexpr DWORD kTimeoutMs = 60000;
// Working set once the programs have painted and gone idle.
constexpr DWORD kSettleMs = 500;

struct Launch {
  bool ok = false;
  double firstWindow = 0, shown = 0, ready = 0;  // seconds from CreateProcessA
  MemoryUse atReady, settled;
};

struct Program {
  const char* label;
  std::string path;
  std::string arguments;
  const char* windowClass;
  // The window to close once ready, or 0 while not ready.
  std::function<HWND(DWORD processId)> ready;
  std::vector<Launch> launches;
};

HWND ShownWindowOfClass(DWORD processId, const char* windowClass) {
  for (HWND window : TopWindowsOf(processId)) {
    if (IsWindowVisible(window) && ClassOf(window) == windowClass) return window;
  }
  return nullptr;
}

HWND BareReady(DWORD processId) {
  HWND window = ShownWindowOfClass(processId, "BareWindow");
  return window && FocusOf(window) == window ? window : nullptr;
}

HWND BrumixReady(DWORD processId) {
  const std::optional<MainWindow> window = ReadyMainWindow(processId);
  return window ? window->form : nullptr;
}

Launch Measure(const Program& program) {
  Launch launch;
  ProgramDriver driver;
  const double start = Now();
  if (!driver.StartExe(program.path, program.arguments)) return launch;
  HWND window = nullptr;
  static const DWORD pollMs = EnvCount("BENCH_POLL_MS", 1);
  const DWORD startTick = GetTickCount();
  while (!window && GetTickCount() - startTick < kTimeoutMs) {
    const DWORD processId = driver.ProcessId();
    if (launch.firstWindow == 0 && !TopWindowsOf(processId).empty()) launch.firstWindow = Now();
    if (launch.shown == 0 && ShownWindowOfClass(processId, program.windowClass)) {
      launch.shown = Now();
    }
    window = program.ready(processId);
    if (window) {
      // Any step not seen on its own came in the same poll.
      launch.ready = Now();
      if (launch.shown == 0) launch.shown = launch.ready;
      if (launch.firstWindow == 0) launch.firstWindow = launch.shown;
    }
    if (!window && WaitForSingleObject(driver.Process(), pollMs) == WAIT_OBJECT_0) break;
  }
  if (!window) return launch;
  launch.atReady = MemoryOf(driver.Process());
  Sleep(kSettleMs);
  launch.settled = MemoryOf(driver.Process());
  launch.firstWindow -= start;
  launch.shown -= start;
  launch.ready -= start;
  launch.ok = true;
  CloseProgram(driver, window);
  return launch;
}

double Kb(uint64_t bytes) {
  return static_cast<double>(bytes) / 1024.0;
}

void PrintLaunch(const Program& program, int run, const Launch& launch) {
  std::printf(
      "run %d %-22s first window %6.1f ms  shown %6.1f ms  ready %6.1f ms  "
      "working set %6.0f KB (settled %6.0f KB)  commit %6.0f KB\n",
      run, program.label, launch.firstWindow * 1000, launch.shown * 1000, launch.ready * 1000,
      Kb(launch.atReady.workingSet), Kb(launch.settled.workingSet), Kb(launch.settled.commit));
}

struct Summary {
  double firstWindow, shown, ready, bestReady, workingSet, settledSet, commit;
};

Summary Summarise(const Program& program) {
  auto median = [&](const std::function<double(const Launch&)>& of) {
    std::vector<double> values;
    for (const Launch& launch : program.launches)
      values.push_back(of(launch));
    return Median(values);
  };
  double best = program.launches.front().ready;
  for (const Launch& launch : program.launches)
    best = std::min(best, launch.ready);
  return {median([](const Launch& x) { return x.firstWindow * 1000; }),
          median([](const Launch& x) { return x.shown * 1000; }),
          median([](const Launch& x) { return x.ready * 1000; }),
          best * 1000,
          median([](const Launch& x) { return Kb(x.atReady.workingSet); }),
          median([](const Launch& x) { return Kb(x.settled.workingSet); }),
          median([](const Launch& x) { return Kb(x.settled.commit); })};
}

Program Bare(const char* label, const char* libraries) {
  return {label, SiblingPath("bare_window.exe"), libraries, "BareWindow", BareReady, {}};
}

}  // namespace

int main() {
  const int runs = EnvCount("BENCH_RUNS", 7);
  std::vector<Program> programs = {
      Bare("bare window", ""),
      // brumix.exe imports these beyond the bare program's libraries, and
      // loads shell32 at its first deletion.
      Bare("bare + advapi, comctl", "advapi32.dll comctl32.dll"),
      Bare("bare + shell32 too", "advapi32.dll comctl32.dll shell32.dll"),
      // Wine's own price for the windows brumix.exe makes: its floor.
      Bare("bare, same windows", "--controls advapi32.dll comctl32.dll"),
      {"brumix.exe", ProgramPath(), "", "obj_Form", BrumixReady, {}},
  };
  const std::string other = Environment("BENCH_OTHER");
  if (!other.empty()) {
    programs.insert(programs.end() - 1,
                    {"other brumix.exe", other, "", "obj_Form", BrumixReady, {}});
  }
  for (Program& program : programs) {
    if (!Measure(program).ok) {
      std::printf("%s did not come up ready (%s)\n", program.label, program.path.c_str());
      return 1;
    }
  }
  for (int run = 1; run <= runs; ++run) {
    for (Program& program : programs) {
      const Launch launch = Measure(program);
      if (!launch.ok) {
        std::printf("run %d: %s did not come up ready\n", run, program.label);
        return 1;
      }
      PrintLaunch(program, run, launch);
      program.launches.push_back(launch);
    }
  }

  std::printf("\nmedians of %d runs, from CreateProcessA (working sets in KB):\n", runs);
  std::printf("%-22s %12s %8s %8s %8s %11s %11s %8s\n", "", "first window", "shown", "ready",
              "best", "at ready", "settled", "commit");
  std::vector<Summary> summaries;
  for (const Program& program : programs) {
    const Summary s = Summarise(program);
    summaries.push_back(s);
    std::printf("%-22s %9.1f ms %5.1f ms %5.1f ms %5.1f ms %11.0f %11.0f %8.0f\n", program.label,
                s.firstWindow, s.shown, s.ready, s.bestReady, s.workingSet, s.settledSet, s.commit);
  }
  const Summary& bare = summaries.front();
  const Summary& brumix = summaries.back();
  std::printf(
      "\nstartup brumix/bare: time %.2f (best runs %.2f; goal 1.2), working set %.2f at"
      " ready, %.2f settled (goal 1.5)\n",
      brumix.ready / bare.ready, brumix.bestReady / bare.bestReady,
      brumix.workingSet / bare.workingSet, brumix.settledSet / bare.settledSet);
  std::printf(
      "brumix from its first window to shown %.1f ms, shown to ready %.1f ms"
      " (bare: %.1f and %.1f)\n",
      brumix.shown - brumix.firstWindow, brumix.ready - brumix.shown, bare.shown - bare.firstWindow,
      bare.ready - bare.shown);
  for (size_t i = 1; i + 1 < programs.size(); ++i) {
    std::printf("brumix against the %s: time %.2f, settled working set %.2f\n", programs[i].label,
                brumix.ready / summaries[i].ready, brumix.settledSet / summaries[i].settledSet);
  }
  return 0;
}
