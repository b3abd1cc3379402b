#include <gtest/gtest.h>

#include <string>

#include "command_line.h"

namespace {
struct Case {
  std::string commandLine;
  std::string argument;
};
}  // namespace

TEST(FirstArgument, FollowsTheTokenRule) {
  const Case cases[] = {
      {"brumix.exe", ""},
      {"", ""},
      {"brumix.exe /ih", "/ih"},
      {"brumix.exe \"/ih\"", "/ih"},
      {"brumix.exe /IH", "/IH"},
      {"brumix.exe -ih", "-ih"},
      {"brumix.exe /ihx", "/ihx"},
      {"brumix.exe other /ih", "other"},
      {"\"C:\\Program Files\\brumix.exe\" /ih", "/ih"},
      {"brumix.exe\t/ih\t", "/ih"},
      {"brumix.exe \x01\x02/ih", "/ih"},
      {"brumix.exe \"\" /ih", "/ih"},
      {"brumix.exe \"\"\"\"/ih", "/ih"},
      {"brumix.exe \"/i h\"", "/i h"},
      {"brumix.exe \"/ih", "\"/ih"},
      {"brumix.exe \"", "\""},
      {"brumix.exe a\"b c\"d e", "a\"b c\"d"},
      {"   brumix.exe    /ih   ", "/ih"},
      {"\"unbalanced quote /ih", ""},
      // UTF-8: no byte of a letter beyond ASCII separates.
      {"\"C:\\Программы\\brumix.exe\" /ih", "/ih"},
      {"C:\\Ωμέγα\\brumix.exe /ih", "/ih"},
      {"brumix.exe \xC2\xA0/ih", "\xC2\xA0/ih"},
      {"brumix.exe 缓存 /ih", "缓存"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstArgument(c.commandLine), c.argument) << "command line: " << c.commandLine;
  }
}

TEST(FirstArgument, StopsAtNulAndSurvivesLongLines) {
  EXPECT_EQ(FirstArgument(std::string("a.exe /x\0/ih", 12)), "/x");
  const std::string longArgument(100000, 'x');
  EXPECT_EQ(FirstArgument("a.exe " + longArgument + " y"), longArgument);
}
