// How the program reads the bytes of a text from its files and arguments as
// characters, wherever it hands them on as characters (an XML document, the
// UTF-16 texts of an RFC library): every well-formed UTF-8 sequence as the
// character it encodes, every other byte as a character of the platform's
// legacy code page.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace poolmetrics {

// The Unicode code point of `byte` in Windows code page 1252: 0x80 to 0x9F
// hold printable characters there (en dash, euro sign, ...), the rest is
// Latin-1. The five positions the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) keep their Latin-1 value, as Windows itself maps them.
constexpr char32_t Windows1252CodePoint(unsigned char byte) {
  constexpr char32_t kC1[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
  };
  return byte >= 0x80 && byte <= 0x9F ? kC1[byte - 0x80] : byte;
}

// The byte of `code_point` in Windows code page 1252, or none where the code
// page has no place for it (the reverse of Windows1252CodePoint).
constexpr std::optional<unsigned char> Windows1252Byte(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return static_cast<unsigned char>(code_point);
  for (unsigned byte = 0x80; byte <= 0x9F; ++byte)
    if (Windows1252CodePoint(static_cast<unsigned char>(byte)) == code_point) return static_cast<unsigned char>(byte);
  return std::nullopt;
}

// The code point of `byte` in ISO 8859-1: the byte's own value.
constexpr char32_t Latin1CodePoint(unsigned char byte) { return byte; }

// The code point of `byte` in the legacy code page of this platform: on
// Windows the ANSI code page 1252 in which arguments and files arrive, on
// other systems Latin-1 (legacy_code_page_win32.cpp / _posix.cpp).
char32_t LegacyCodePoint(unsigned char byte);

// The byte that holds `code_point` in the legacy code page of this platform,
// or none when the code page has no place for it (the reverse of
// LegacyCodePoint).
std::optional<unsigned char> LegacyCodePageByte(char32_t code_point);

// The control characters: C0 (below U+0020), DEL (U+007F) and C1 (U+0080 to
// U+009F). None of them is meant to be seen; in the middle of a line some
// start lines or terminal sequences of their own.
constexpr bool IsControlCharacter(char32_t code_point) {
  return code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F);
}

// The length of the UTF-8 sequence that starts `text`, or 0 when it is none
// or encodes no character XML can carry: overlong forms, surrogates, code
// points above U+10FFFF and U+FFFE/U+FFFF are read byte by byte instead.
std::size_t Utf8SequenceLength(std::string_view text);

// The first character of a non-empty `text` by the rule above, and how many
// bytes it takes.
struct TextCharacter {
  char32_t code_point;
  std::size_t length;
};
TextCharacter FirstCharacter(std::string_view text);

// How many characters `text` holds by that rule.
std::size_t CharacterCount(std::string_view text);

// The longest head of `text` of at most `bytes` bytes that ends between two
// characters: a cut that keeps no part of a UTF-8 sequence whose rest it
// drops.
std::string_view HeadOfWholeCharacters(std::string_view text, std::size_t bytes);

}  // namespace poolmetrics
