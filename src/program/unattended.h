// Cleaning with no one at the screen ("/auto"): the scheme's eight cleaning
// buttons are pressed in their tab order with the form never shown; the exit
// code says whether anything stayed, and "/auto /log FILE" appends one line
// per target to that file.
#pragma once

#include <cstdint>
#include <string_view>

#include "scheme.h"

// The first argument that asks for it.
inline constexpr char kUnattendedSwitch[] = "/auto";

// Before the scheme is built, so that a failure while building it is caught
// too: opens the log the command line names, if any, and from now on sends a
// run-time error's report there (or nowhere) instead of into a box.
void BeginUnattended(std::string_view commandLine);
// Presses each cleaning button once and logs what it did. The run's exit
// code: 0 when every target was emptied or was empty, 1 when a target was
// refused or kept anything.
[[nodiscard]] int32_t CleanEveryTarget(const TClassMainForm_25378D0& scheme);
