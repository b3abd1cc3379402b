// Prints the cleaner's eight targets as the benchmarks lay them out below a
// scratch root, one "name folder" line each in the order of the lamps, the
// folder with "/" for the run scripts: they fill the folders from Linux.
#include <cstdio>
#include <string>

#include "cleaning_targets.h"

int main() {
  for (const TargetPlace& place : kTargetPlaces) {
    std::string folder = place.folder;
    for (char& c : folder) {
      if (c == '\\') c = '/';
    }
    std::printf("%s %s\n", place.name, folder.c_str());
  }
  return 0;
}
