#include "long_work.h"

void LongWorkStep(std::string_view) {}
void LongWorkTick() {}
void EndLongWork() {}
bool LongWorkBusy() { return false; }
