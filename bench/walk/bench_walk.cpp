// The file components on real trees: doSize and a cleaning chain (search
// linked to delete), each beside a bare FindFirstFileA walk of the same tree.
// run.sh times du -sb and rm -rf on twins of these trees for the ratios.
//   bench_walk size FOLDER
//   bench_walk clean FOLDER INCLUDE
//   bench_walk shell FOLDER INCLUDE   (the shell alone on what the chain would delete)
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "component.h"
#include "dir_tools.h"
#include "event.h"
#include "file_search.h"

namespace {

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Counter : TKVComponent {
  long long count = 0;
  TData last;
  TKV_Event onOut;
  void doCount(TData& data, uint16_t) {
    ++count;
    last = data;
  }
  void doPass(TData& data, uint16_t) {
    ++count;
    TailPass(data, onOut);
  }
};

void Size(const std::string& folder) {
  double start = Now();
  const long long entries = EntriesBelow(folder);
  std::printf("bare_walk_seconds %.6f entries %lld\n", Now() - start, entries);
  for (int run = 1; run <= 2; ++run) {
    TKVDirTools measurer;
    Counter sizes;
    measurer.onEnd = Link<&Counter::doCount>(&sizes, 0);
    start = Now();
    FireString(Link<&TKVDirTools::doSize>(&measurer, 3), folder);
    const double seconds = Now() - start;
    const double bytes = sizes.last.type == dtReal ? sizes.last.realValue : sizes.last.intValue;
    std::printf("dosize_seconds %.6f run %d bytes %.0f\n", seconds, run, bytes);
  }
}

void Clean(const std::string& folder, uint8_t include) {
  TKVFileSearch search;
  search.Mask = "*";
  search.FullName = 1;
  search.Include = include;
  search.Dir = folder;
  TKVDirTools deleter;
  deleter.NoConfirmation = 1;
  deleter.NoErrorUI = 1;
  Counter reports;
  Counter deleted;
  search.onSearch = Link<&Counter::doPass>(&reports, 0);
  reports.onOut = Link<&TKVDirTools::doDelete>(&deleter, 2);
  deleter.onEnd = Link<&Counter::doCount>(&deleted, 2);
  const double start = Now();
  FireNull(Link<&TKVFileSearch::doSearch>(&search, 0));
  std::printf("clean_seconds %.6f include %d reports %lld deleted %lld left %lld\n", Now() - start,
              include, reports.count, deleted.count, EntriesBelow(folder));
}

// The paths the chain hands to its deleter: the folders of the top level
// (each deleted whole), or every file.
void Collect(const std::string& folder, bool files, std::vector<std::string>& paths) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (isFolder && files) Collect(folder + "\\" + name, files, paths);
    if (isFolder != files) paths.push_back(folder + "\\" + name);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

void ShellAlone(const std::string& folder, uint8_t include) {
  std::vector<std::string> paths;
  Collect(folder, include == 0, paths);
  long long deleted = 0;
  const double start = Now();
  for (std::string path : paths) {
    path.push_back('\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = path.c_str();
    operation.pTo = "";
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
    if (SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted) ++deleted;
  }
  std::printf("shell_seconds %.6f include %d calls %zu deleted %lld\n", Now() - start, include,
              paths.size(), deleted);
}

}  // namespace

int main(int argc, char** argv) {
  SetHooksWorking();
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "size") {
    Size(argv[2]);
  } else if (mode == "clean" && argc > 3) {
    Clean(argv[2], static_cast<uint8_t>(std::atoi(argv[3])));
  } else if (mode == "shell" && argc > 3) {
    ShellAlone(argv[2], static_cast<uint8_t>(std::atoi(argv[3])));
  } else {
    std::fprintf(stderr, "usage: bench_walk size FOLDER | clean|shell FOLDER INCLUDE\n");
    return 2;
  }
  SetHooksIdle();
  return 0;
}
