// Clean: one press of a cleaning button of brumix.exe against a plain
// DeleteFileW/RemoveDirectoryW walk over "\\?\" names and against the shell
// (SHFileOperationW with the chain's flags, one call per top-level entry, as
// the cleaner handed entries over before it had its own engine), each on its
// own copy of the same tree.
//   bench_clean ROOT TARGET SIDE FOLDER [SIDE FOLDER]...
// ROOT holds the eight targets brumix.exe is pointed at; the press side
// cleans TARGET there (its FOLDER is not read). Other sides: plain, shell,
// and engine (the cleaner's engine called per top-level entry, without the
// program around it).
// Sides run in the order given.
//   bench_clean --alternate FOLDER
// deletes the files straight in FOLDER one by one, every other one through the
// engine and the rest through DeleteFileW, and prints the time each takes per
// file: both see the same machine at the same moment, which a shared machine
// gives no two runs.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "dir_tools.h"
#include "program_driver.h"
#include "text_conv.h"
#include "tree_delete.h"
#include "win_text.h"

namespace {

struct Listed {
  std::wstring path;
  DWORD attributes;
};

// What the chain hands to its deleter: every top-level entry, or only the
// folders when the search reports folders only.
std::vector<Listed> TopLevel(const std::wstring& folder, uint8_t include) {
  std::vector<Listed> entries;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (isFolder || include != 1) {
      entries.push_back({folder + L"\\" + entry.cFileName, entry.dwFileAttributes});
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return entries;
}

bool ShellDelete(const std::wstring& path, uint16_t flags) {
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = L"";
  operation.fFlags = flags;
  return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// The least a deletion costs here: the listing's attributes, one call per
// entry, a folder after its entries; a link is never entered.
bool PlainDelete(const std::wstring& path, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str());
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    for (const Listed& entry : TopLevel(path, 2))
      PlainDelete(entry.path, entry.attributes);
  }
  return RemoveDirectoryW(path.c_str());
}

enum class Side { kShell, kPlain, kEngine };

double DeleteEach(const std::string& folder, const BenchTarget& target, Side side) {
  const std::wstring wide = ToWstr(folder);
  TDeleteTally tally;
  const double start = Now();
  for (const Listed& entry :
       TopLevel(side == Side::kPlain ? VerbatimPath(wide) : wide, target.include)) {
    switch (side) {
      case Side::kShell:
        ShellDelete(entry.path, target.shellFlags);
        break;
      case Side::kPlain:
        PlainDelete(entry.path, entry.attributes);
        break;
      case Side::kEngine:
        (void)DeleteEntryTree(entry.path, {tally, ""});
        break;
    }
  }
  return Now() - start;
}

int Alternate(const std::string& folder) {
  TDeleteTally tally;
  double seconds[2] = {0, 0};
  int files[2] = {0, 0};
  for (const Listed& entry : TopLevel(ToWstr(folder), 0)) {
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const int engine = (files[0] + files[1]) % 2;
    const double start = Now();
    if (engine) {
      (void)DeleteEntryTree(entry.path, {tally, ""});
    } else {
      DeleteFileW(VerbatimPath(entry.path).c_str());
    }
    seconds[engine] += Now() - start;
    ++files[engine];
  }
  if (!files[0] || !files[1]) return 1;
  const double plain = seconds[0] / files[0], engine = seconds[1] / files[1];
  std::printf("alternate files %d plain_us %.1f engine_us %.1f ratio %.2f left %lld\n",
              files[0] + files[1], plain * 1e6, engine * 1e6, engine / plain,
              static_cast<long long>(EntriesBelow(folder)));
  return 0;
}

double Press(const std::string& root, const BenchTarget& target) {
  PointedTargets pointed(root);
  ProgramDriver program;
  const std::optional<MainWindow> window = StartBrumix(program);
  if (!window) return -1;
  double seconds = -1;
  if (HWND button = ButtonCaptioned(*window, target.button)) seconds = PressSeconds(button);
  CloseProgram(program, window->form);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--alternate") return Alternate(argv[2]);
  if (argc < 5 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: bench_clean ROOT TARGET SIDE FOLDER [SIDE FOLDER]...\n");
    return 2;
  }
  const std::string root = argv[1];
  const std::optional<BenchTarget> target = TargetNamed(root, argv[2]);
  if (!target) {
    std::fprintf(stderr, "no target %s\n", argv[2]);
    return 2;
  }
  // Wine's shell turns a path it cannot fit in MAX_PATH into an empty one and
  // deletes "" as the current folder: let that be an empty one.
  const std::string cwd = root + "\\cwd";
  CreateDirectoryW(ToWstr(cwd).c_str(), nullptr);
  SetCurrentDirectoryW(ToWstr(cwd).c_str());
  int failures = 0;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string side = argv[i];
    const std::string folder = side == "press" ? target->folder : argv[i + 1];
    const int64_t before = EntriesBelow(folder);
    double seconds = -1;
    if (side == "press") {
      seconds = Press(root, *target);
    } else if (side == "shell" || side == "plain" || side == "engine") {
      seconds = DeleteEach(folder, *target,
                           side == "shell"   ? Side::kShell
                           : side == "plain" ? Side::kPlain
                                             : Side::kEngine);
    } else {
      std::fprintf(stderr, "no side %s\n", side.c_str());
      return 2;
    }
    if (seconds < 0) ++failures;
    std::printf("%s_seconds %.6f entries %lld left %lld\n", side.c_str(), seconds,
                static_cast<long long>(before), static_cast<long long>(EntriesBelow(folder)));
  }
  return failures ? 1 : 0;
}
