#include "settings/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmora {
namespace {

// Each ill-formed part becomes one U+FFFD: a lead byte with the
// continuation bytes that could still follow it, or a byte that cannot
// begin a character.
TEST(Utf, Utf8ToUtf16ReplacesEachIllFormedPart) {
  const struct {
    const char* label;
    std::string utf8;
    std::u16string utf16;
  } rows[] = {
      {"ASCII", "SOS 112", u"SOS 112"},
      {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\xD83D\xDE00"},
      {"stray continuation", "a\x80z", u"a\uFFFDz"},
      {"byte that never begins one", "\xFF\xFE", u"\uFFFD\uFFFD"},
      {"overlong two bytes", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"overlong four bytes", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"cut at the end", "ab\xE2\x82", u"ab\uFFFD"},
      {"cut before a character", "\xF0\x9F\x98" "A", u"\uFFFD" "A"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"highest", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
      {"a NUL is a character", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(utf16FromUtf8(row.utf8), row.utf16);
    EXPECT_EQ(isWellFormedUtf8(row.utf8), row.utf16.find(u'\uFFFD') == std::u16string::npos);
  }
}

TEST(Utf, Utf16ToUtf8ReplacesLoneSurrogates) {
  const struct {
    const char* label;
    std::u16string utf16;
    std::string utf8;
  } rows[] = {
      {"two, three and four bytes", u"\u00E9\u20AC\xD83D\xDE00", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"high at the end", u"a\xD800", "a\xEF\xBF\xBD"},
      {"low alone", u"\xDC00" "b", "\xEF\xBF\xBD" "b"},
      {"high before a character", u"\xD800" "A", "\xEF\xBF\xBD" "A"},
      {"high before a pair", u"\xD800\xD800\xDC00", "\xEF\xBF\xBD\xF0\x90\x80\x80"},
      {"low before high", u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(utf8FromUtf16(row.utf16), row.utf8);
    EXPECT_EQ(isWellFormedUtf16(row.utf16), row.utf8.find("\xEF\xBF\xBD") == std::string::npos);
  }
}

}  // namespace
}  // namespace pelmora
