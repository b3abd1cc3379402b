#include "text_conv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextConv, ValidTextCrossesBothWaysUnchanged) {
  for (const std::wstring& wide :
       {std::wstring(L""), std::wstring(L"C:\\Temp"), std::wstring(L"Удалить кэш IE ё"),
        std::wstring(L"\u20AC\uFFFF"), std::wstring(L"\xD83D\xDE00 emoji")}) {
    EXPECT_EQ(ToWstr(ToUtf8(wide)), wide);
  }
  EXPECT_EQ(ToUtf8(L"Об"), "\xD0\x9E\xD0\xB1");
  EXPECT_EQ(ToUtf8(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

// Each broken sequence gives one U+FFFD and what follows still comes through.
TEST(TextConv, BrokenInputIsReplacedNeverCutShort) {
  const struct {
    std::string utf8;
    std::wstring wide;
  } cases[] = {
      {"a\x80z", L"a\uFFFDz"},                            // a stray continuation byte
      {"a\xD0z", L"a\uFFFDz"},                            // a missing one
      {"a\xD0", L"a\uFFFD"},                              // cut at the end
      {"\xE2\x82z", L"\uFFFDz"},                          // three bytes cut after two
      {"\xC0\xAFz", L"\uFFFD\uFFFDz"},                    // an overlong "/"
      {"\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},            // another
      {"\xED\xA0\x80x", L"\uFFFD\uFFFD\uFFFDx"},          // an encoded surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xFF\xFEok", L"\uFFFD\uFFFDok"},
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToWstr(c.utf8), c.wide) << c.utf8;
  }
  EXPECT_EQ(ToUtf8(L"a\xD800z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(ToUtf8(L"a\xDC00"), "a\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(L"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
