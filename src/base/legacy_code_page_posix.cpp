#include "base/code_page.h"

namespace poolmetrics {

// A single-byte text that is not UTF-8 is most likely Latin-1 here.
char32_t LegacyCodePoint(unsigned char byte) { return Latin1CodePoint(byte); }

std::optional<unsigned char> LegacyCodePageByte(char32_t code_point) {
  if (code_point > 0xFF) return std::nullopt;
  return static_cast<unsigned char>(code_point);
}

}  // namespace poolmetrics
