#include "base/code_page.h"

namespace poolmetrics {

// Arguments and files written on Windows carry the ANSI code page's bytes.
char32_t LegacyCodePoint(unsigned char byte) { return Windows1252CodePoint(byte); }

std::optional<unsigned char> LegacyCodePageByte(char32_t code_point) {
  // Below 0x80 and from 0xA0 the code page is Latin-1; 0x80 to 0x9F are
  // found by their code points.
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return static_cast<unsigned char>(code_point);
  for (unsigned byte = 0x80; byte <= 0x9F; ++byte)
    if (Windows1252CodePoint(static_cast<unsigned char>(byte)) == code_point) return static_cast<unsigned char>(byte);
  return std::nullopt;
}

}  // namespace poolmetrics
