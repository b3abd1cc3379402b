// The unit table: initialisations run in table order at start, finalisations
// in reverse order at exit.
#pragma once

struct TUnitEntry {
  void (*initialization)();
  void (*finalization)();
};

// Runs each entry's initialisation in order (empty procedures are skipped) and
// remembers the table for FinalizeUnits.
void InitUnits(const TUnitEntry* table, int count);
// Runs the finalisations of the initialised units, last first, once.
void FinalizeUnits();
