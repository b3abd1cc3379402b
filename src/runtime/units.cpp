#include "units.h"

namespace {
const TUnitEntry* unitTable = nullptr;
int initializedUnits = 0;
}  // namespace

void InitUnits(const TUnitEntry* table, int count) {
  unitTable = table;
  for (initializedUnits = 0; initializedUnits < count;) {
    const TUnitEntry& entry = table[initializedUnits];
    // Counted before it runs: a unit that fails half-way is still finalised.
    ++initializedUnits;
    if (entry.initialization) entry.initialization();
  }
}

void FinalizeUnits() {
  while (initializedUnits > 0) {
    const TUnitEntry& entry = unitTable[--initializedUnits];
    if (entry.finalization) entry.finalization();
  }
}
