// The program's one command-line switch is its first argument, found by the
// classic rule: blanks and control characters separate, double quotes group.
#pragma once

#include <string>
#include <string_view>

// The second token of the raw command line (the first is the program's path),
// with enclosing double quotes removed; empty when there is none.
std::string FirstArgument(std::string_view commandLine);
