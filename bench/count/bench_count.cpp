// Count: one press of brumix.exe's count button over the eight target folders
// below a scratch root, against a bare FindFirstFileA walk of the same folders
// in this one process. Each run first grows a sparse marker file in the temp
// target, so that every press shows a new caption; medians of BENCH_RUNS runs
// (default 3), after one unmeasured walk.
//   bench_count ROOT
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "program_driver.h"

namespace {

constexpr char kCountCaption[] = "Подсчитать количество мусора";
constexpr int64_t kMarkerStep = 2 * 1048576;

struct Walked {
  int64_t entries = 0;
  uint64_t bytes = 0;
};

// The least a size count costs here: every entry enumerated, the sizes of the
// files added up, links neither counted nor entered.
void BareWalk(char* path, size_t length, Walked& walked) {
  std::strcpy(path + length, "\\*");
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(path, &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const char* name = entry.cFileName;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    ++walked.entries;
    const DWORD attributes = entry.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      const size_t nameLength = std::strlen(name);
      if (length + 1 + nameLength + 3 > MAX_PATH) continue;
      path[length] = '\\';
      std::memcpy(path + length + 1, name, nameLength + 1);
      BareWalk(path, length + 1 + nameLength, walked);
    } else {
      walked.bytes += (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

Walked WalkTargets(const std::vector<BenchTarget>& targets) {
  Walked walked;
  char path[MAX_PATH + 1];
  for (const BenchTarget& target : targets) {
    if (target.folder.size() + 3 > MAX_PATH) continue;
    std::strcpy(path, target.folder.c_str());
    BareWalk(path, target.folder.size(), walked);
  }
  return walked;
}

bool SetMarkerSize(const std::string& path, int64_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = size;
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return sized;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_count ROOT\n");
    return 2;
  }
  const std::string root = argv[1];
  const int runs = EnvCount("BENCH_RUNS", 3);
  const std::vector<BenchTarget> targets = TargetsBelow(root);
  const std::string marker = root + "\\temp\\bench-marker.bin";
  PointedTargets pointed(root);

  ProgramDriver program;
  const std::optional<MainWindow> window = StartBrumix(program);
  if (!window) {
    std::printf("brumix.exe did not come up ready\n");
    return 1;
  }
  HWND count = ButtonCaptioned(*window, kCountCaption);
  if (!count) {
    std::printf("no count button\n");
    CloseProgram(program, window->form);
    return 1;
  }

  const Walked warm = WalkTargets(targets);
  std::printf("tree entries %lld bytes %llu\n", static_cast<long long>(warm.entries),
              static_cast<unsigned long long>(warm.bytes));
  std::vector<double> bareSeconds, pressSeconds;
  int failures = 0;
  for (int run = 1; run <= runs; ++run) {
    SetMarkerSize(marker, run * kMarkerStep);
    double start = Now();
    const Walked walked = WalkTargets(targets);
    bareSeconds.push_back(Now() - start);
    const double press = PressUntilCaptionChanges(count);
    const std::string caption = WindowText(count);
    if (press < 0) ++failures;
    pressSeconds.push_back(press);
    std::printf("run %d bare_walk %.3f s (%lld entries, %llu bytes = %.1f MB) press %.3f s: %s\n",
                run, bareSeconds.back(), static_cast<long long>(walked.entries),
                static_cast<unsigned long long>(walked.bytes), Megabytes(walked.bytes), press,
                caption.c_str());
  }
  CloseProgram(program, window->form);
  DeleteFileA(marker.c_str());
  if (failures) {
    std::printf("the caption did not change on %d presses\n", failures);
    return 1;
  }
  const double bare = Median(bareSeconds);
  const double press = Median(pressSeconds);
  std::printf("bare_walk_seconds %.6f\npress_seconds %.6f\nentries %lld\n", bare, press,
              static_cast<long long>(warm.entries));
  std::printf("count press/bare walk: %.2f (goal 1.2)\n", press / bare);
  return 0;
}
