#include "sap_text.h"

#include <gtest/gtest.h>

#include <string>

namespace rfcemu {
namespace {

SapText Units(std::u16string text) { return SapText(text.begin(), text.end()); }

TEST(SapText, ConvertsBetweenUtf16AndUtf8) {
  const struct {
    std::u16string utf16;
    std::string utf8;
  } kCases[] = {
      {u"", ""},
      {u"MONITOR", "MONITOR"},
      {u"Gr\u00fc\u00dfe",
       "Gr\xC3\xBC\xC3\x9F"
       "e"},
      {u"\u20AC 5", "\xE2\x82\xAC 5"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},  // a surrogate pair
  };
  for (const auto& c : kCases) {
    const SapText units = Units(c.utf16);
    EXPECT_EQ(Utf8FromSapUc(units.data(), units.size()), c.utf8);
    EXPECT_EQ(Utf8FromSapUc(units.c_str()), c.utf8);
    EXPECT_EQ(SapUcFromBytes(c.utf8), units);
  }
  EXPECT_EQ(Utf8FromSapUc(nullptr), "");
  // A lone surrogate cannot be written as UTF-8.
  const SapText lone = Units(std::u16string(1, u'\xD800') + u"x");
  EXPECT_EQ(Utf8FromSapUc(lone.data(), lone.size()), "\xEF\xBF\xBDx");
}

TEST(SapText, ReadsBytesThatAreNoUtf8AsLatin1) {
  const struct {
    std::string bytes;
    bool utf8;
  } kCases[] = {
      {"plain", true},
      {"Gr\xFC\xDF"
       "e",
       false},                      // Latin-1
      {"\xC3\xBC", true},           // UTF-8
      {"\xC0\xAF", false},          // overlong
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE2\x82", false},          // cut short
  };
  for (const auto& c : kCases) EXPECT_EQ(IsUtf8(c.bytes), c.utf8) << c.bytes;
  EXPECT_EQ(Utf8FromBytes("Gr\xFC\xDF"
                          "e"),
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_EQ(Utf8FromBytes("Gr\xC3\xBC\xC3\x9F"
                          "e"),
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_EQ(SapUcFromBytes("Gr\xFC\xDF"
                           "e"),
            Units(u"Gr\u00fc\u00dfe"));
}

}  // namespace
}  // namespace rfcemu
