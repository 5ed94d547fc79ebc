#include "base/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "rfc/classic/library_text.h"

namespace poolmetrics {
namespace {

// Characters as the program reads them: a UTF-8 sequence, or a byte of the
// legacy code page (natively Latin-1).
TEST(CodePage, CharactersCountedAndCutWhole) {
  struct {
    const char* label;
    std::string text;
    std::size_t characters;
    std::size_t bytes;  // the cut ...
    std::string head;   // ... and what it keeps
  } cases[] = {
      {"ASCII", "abcdef", 6, 4, "abcd"},
      {"two-byte letters", "M\xC3\x9CLLERM\xC3\x9CLLER", 12, 2, "M"},
      {"a cut after a whole sequence", "M\xC3\x9CL", 3, 3, "M\xC3\x9C"},
      {"euro signs, cut inside the third", "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", 3, 8, "\xE2\x82\xAC\xE2\x82\xAC"},
      {"a four-byte character", "a\xF0\x9F\x98\x80-", 3, 4, "a"},
      {"Latin-1 bytes are one character each", "p\xE4\xDF", 3, 2, "p\xE4"},
      {"a broken sequence is bytes", "\xC3(", 2, 1, "\xC3"},
      {"longer than the text", "\xC3\xA9", 1, 10, "\xC3\xA9"},
      {"empty", "", 0, 5, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharacterCount(c.text), c.characters) << c.label;
    EXPECT_EQ(HeadOfWholeCharacters(c.text, c.bytes), c.head) << c.label;
  }
}

TEST(CodePage, ControlCharacters) {
  for (char32_t c : {0x00u, 0x09u, 0x1Fu, 0x7Fu, 0x80u, 0x85u, 0x9Fu}) EXPECT_TRUE(IsControlCharacter(c)) << c;
  for (char32_t c : {0x20u, 0x7Eu, 0xA0u, 0xFCu, 0x2026u, 0x20ACu}) EXPECT_FALSE(IsControlCharacter(c)) << c;
}

// The classic library's code page; natively Latin-1 (code page 1252 on
// Windows, where the euro sign has its byte 0x80).
TEST(ClassicLibraryText, Utf8InTheLibrarysCodePage) {
  struct {
    const char* label;
    std::string text;
    std::optional<std::string> in_code_page;
  } cases[] = {
      {"ASCII", "Qz8-Lynx.Env", "Qz8-Lynx.Env"},
      {"umlauts", "M\xC3\xBCller-\xC3\x9F", "M\xFCller-\xDF"},
      {"Latin-1 bytes stay", "p\xE4sswort", "p\xE4sswort"},
      {"the last Latin-1 character", "\xC3\xBF", "\xFF"},
      {"Greek omega", "\xCE\xA9mega", std::nullopt},
      {"Polish l with stroke", "\xC5\x82\xC3\xB3w", std::nullopt},
      {"the euro sign, not in Latin-1", "\xE2\x82\xAC", std::nullopt},
      {"a four-byte character", "\xF0\x9F\x98\x80", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(InLibraryCodePage(c.text), c.in_code_page) << c.label;
  EXPECT_EQ(LegacyCodePageByte(0xE4), std::optional<unsigned char>(0xE4));
  EXPECT_EQ(LegacyCodePageByte(0x20AC), std::nullopt);
}

// On Windows the classic library's code page is 1252.
TEST(CodePage, Windows1252BytesOfCharacters) {
  struct {
    char32_t code_point;
    std::optional<unsigned char> byte;
  } cases[] = {
      {0x41, 0x41},           {0xE4, 0xE4},           {0xFF, 0xFF},
      {0x20AC, 0x80},         {0x2026, 0x85},         {0x0178, 0x9F},
      {0x0081, 0x81},          // undefined in the code page: Windows keeps it
      {0x0085, std::nullopt},  // NEL has no byte: 0x85 is the ellipsis
      {0x03A9, std::nullopt}, {0x0142, std::nullopt}, {0x1F600, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Windows1252Byte(c.code_point), c.byte) << std::hex << c.code_point;
}

}  // namespace
}  // namespace poolmetrics
