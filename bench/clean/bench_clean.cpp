// Clean: one press of a cleaning button of brumix.exe, against the shell
// alone (SHFileOperationA with the same flags on the same top-level entries)
// and a plain DeleteFileA/RemoveDirectoryA walk, each on its own copy of the
// same tree. Two more sides profile the press in this process: the cleaning
// chain as the scheme joins it (search linked to the deleter, link check
// included), and the same search linked straight to the shell (no check).
//   bench_clean ROOT TARGET SIDE FOLDER [SIDE FOLDER]...
// ROOT holds the eight targets brumix.exe is pointed at; the press side
// cleans TARGET there (its FOLDER is not read). Other sides: shell, plain,
// chain, nocheck. Sides run in the order given.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "component.h"
#include "dir_tools.h"
#include "event.h"
#include "file_search.h"
#include "program_driver.h"

namespace {

bool IsDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// What the chain hands to its deleter: every top-level entry, or only the
// folders when the search reports folders only.
std::vector<std::string> TopLevel(const std::string& folder, uint8_t include) {
  std::vector<std::string> paths;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return paths;
  do {
    if (IsDot(entry.cFileName)) continue;
    const bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (isFolder || include != 1) paths.push_back(folder + "\\" + entry.cFileName);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return paths;
}

bool ShellDelete(const std::string& path, uint16_t flags) {
  std::string from = path;
  from.push_back('\0');
  SHFILEOPSTRUCTA operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.pTo = "";
  operation.fFlags = flags;
  return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

// Never enters a link (the bench trees hold none, but a walk that deletes must not).
bool PlainDelete(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileA(path.c_str());
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!IsDot(entry.cFileName)) PlainDelete(path + "\\" + entry.cFileName);
      } while (FindNextFileA(find, &entry));
      FindClose(find);
    }
  }
  return RemoveDirectoryA(path.c_str());
}

struct Outcome {
  double seconds = -1;
  int64_t handed = 0;   // entries handed to a deleter
  int64_t deleted = 0;  // of them, reported deleted
};

Outcome DeleteEach(const std::string& folder, const BenchTarget& target, bool shell) {
  const std::vector<std::string> paths = TopLevel(folder, target.include);
  Outcome outcome;
  outcome.handed = static_cast<int64_t>(paths.size());
  const double start = Now();
  for (const std::string& path : paths) {
    if (shell ? ShellDelete(path, target.shellFlags) : PlainDelete(path)) ++outcome.deleted;
  }
  outcome.seconds = Now() - start;
  return outcome;
}

// Counts what passes on its way to the deleter, and deletes through the
// shell itself when it is the end of the chain.
struct Relay : TKVComponent {
  int64_t passed = 0;
  int64_t deleted = 0;
  uint16_t flags = 0;
  TKV_Event onOut;
  void doPass(TData& data, uint16_t) {
    ++passed;
    TailPass(data, onOut);
  }
  void doShell(TData& data, uint16_t) {
    ++passed;
    if (ShellDelete(data.text, flags)) ++deleted;
  }
  void doCount(TData&, uint16_t) { ++deleted; }
};

// The cleaning chain in this process, with brumix.exe's own deleter or
// with the shell straight after the search.
Outcome Chain(const std::string& folder, const BenchTarget& target, bool withDeleter) {
  TKVFileSearch search;
  search.Mask = "*";
  search.FullName = 1;
  search.Include = target.include;
  search.Dir = folder;
  TKVDirTools deleter;
  deleter.NoConfirmation = 1;
  deleter.NoErrorUI = 1;
  deleter.FilesOnly = (target.shellFlags & FOF_FILESONLY) ? 1 : 0;
  Relay relay;
  relay.flags = target.shellFlags;
  if (withDeleter) {
    search.onSearch = Link<&Relay::doPass>(&relay, 0);
    relay.onOut = Link<&TKVDirTools::doDelete>(&deleter, 2);
    deleter.onEnd = Link<&Relay::doCount>(&relay, 2);
  } else {
    search.onSearch = Link<&Relay::doShell>(&relay, 0);
  }
  const double start = Now();
  FireNull(Link<&TKVFileSearch::doSearch>(&search, 0));
  return {Now() - start, relay.passed, relay.deleted};
}

Outcome Press(const std::string& root, const BenchTarget& target) {
  PointedTargets pointed(root);
  ProgramDriver program;
  const std::optional<MainWindow> window = StartBrumix(program);
  if (!window) return {};
  Outcome outcome;
  if (HWND button = ButtonCaptioned(*window, target.button)) {
    outcome.seconds = PressSeconds(button);
  }
  CloseProgram(program, window->form);
  return outcome;
}

}  // namespace

int main(int argc, char** argv) {
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
  SetHooksWorking();
  int failures = 0;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string side = argv[i];
    const std::string folder = side == "press" ? target->folder : argv[i + 1];
    const int64_t before = EntriesBelow(folder);
    Outcome outcome;
    if (side == "press") {
      outcome = Press(root, *target);
    } else if (side == "shell" || side == "plain") {
      outcome = DeleteEach(folder, *target, side == "shell");
    } else if (side == "chain" || side == "nocheck") {
      outcome = Chain(folder, *target, side == "chain");
    } else {
      std::fprintf(stderr, "no side %s\n", side.c_str());
      return 2;
    }
    if (outcome.seconds < 0) ++failures;
    std::printf("%s_seconds %.6f entries %lld left %lld", side.c_str(), outcome.seconds,
                static_cast<long long>(before), static_cast<long long>(EntriesBelow(folder)));
    // The press's deleter works in another process: only what is left tells.
    if (side != "press") {
      std::printf(" handed %lld deleted %lld", static_cast<long long>(outcome.handed),
                  static_cast<long long>(outcome.deleted));
    }
    std::printf("\n");
  }
  SetHooksIdle();
  return failures ? 1 : 0;
}
