// The program's switches are its first arguments, found by the classic rule:
// blanks and control characters separate, double quotes group.
#pragma once

#include <string>
#include <string_view>

// The second token of the raw command line (the first is the program's path),
// with enclosing double quotes removed; empty when there is none. The line is
// UTF-8: every byte of a character beyond ASCII is above 32, so the rule
// reads it as it reads the UTF-16 units it came from.
std::string FirstArgument(std::string_view commandLine);
// The token at that position (0 is the program's path), read as FirstArgument
// reads its own; empty past the last one.
std::string ArgumentAt(std::string_view commandLine, size_t position);
