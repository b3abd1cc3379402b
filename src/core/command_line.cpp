#include "command_line.h"

namespace {

bool IsSeparator(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

// Skips separators and any "" pairs standing before a token.
size_t SkipToToken(std::string_view line, size_t pos) {
  for (;;) {
    while (pos < line.size() && IsSeparator(line[pos]))
      ++pos;
    if (pos + 1 < line.size() && line[pos] == '"' && line[pos + 1] == '"') {
      pos += 2;
      continue;
    }
    return pos;
  }
}

// A token runs to the first control character or blank outside quotes;
// the quotes stay part of it.
size_t TokenEnd(std::string_view line, size_t pos) {
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      quoted = !quoted;
    } else if (static_cast<unsigned char>(c) < 33 && !quoted) {
      break;
    }
  }
  return pos;
}

}  // namespace

std::string ArgumentAt(std::string_view commandLine, size_t position) {
  // A NUL ends a C command line.
  commandLine = commandLine.substr(0, commandLine.find('\0'));
  size_t start = 0;
  size_t end = 0;
  for (size_t token = 0; token <= position; ++token) {
    start = SkipToToken(commandLine, end);
    end = TokenEnd(commandLine, start);
  }
  std::string argument(commandLine.substr(start, end - start));
  if (argument.size() > 1 && argument.front() == '"' && argument.back() == '"') {
    argument = argument.substr(1, argument.size() - 2);
  }
  return argument;
}

std::string FirstArgument(std::string_view commandLine) {
  return ArgumentAt(commandLine, 1);
}
