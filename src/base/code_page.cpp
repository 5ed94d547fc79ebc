#include "base/code_page.h"

namespace poolmetrics {

std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t n = lead >= 0xF0 && lead <= 0xF4   ? 4
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                                                 : 0;
  if (n == 0 || text.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  unsigned char second = byte(1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90)) return 0;  // overlong
  if (lead == 0xED && second >= 0xA0) return 0;                                      // surrogate
  if (lead == 0xF4 && second >= 0x90) return 0;                                      // above U+10FFFF
  if (lead == 0xEF && second == 0xBF && byte(2) >= 0xBE) return 0;                   // U+FFFE, U+FFFF
  return n;
}

TextCharacter FirstCharacter(std::string_view text) {
  auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[i])); };
  std::size_t n = Utf8SequenceLength(text);
  switch (n) {
    case 1: return {byte(0), 1};
    case 2: return {(byte(0) & 0x1F) << 6 | (byte(1) & 0x3F), 2};
    case 3: return {(byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F), 3};
    case 4: return {(byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F), 4};
    default: return {LegacyCodePoint(static_cast<unsigned char>(text[0])), 1};
  }
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (; !text.empty(); ++count) text.remove_prefix(FirstCharacter(text).length);
  return count;
}

std::string_view HeadOfWholeCharacters(std::string_view text, std::size_t bytes) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = FirstCharacter(text.substr(at)).length;
    if (at + length > bytes) break;
    at += length;
  }
  return text.substr(0, at);
}

}  // namespace poolmetrics
