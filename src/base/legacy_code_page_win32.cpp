#include "base/code_page.h"

namespace poolmetrics {

// Arguments and files written on Windows carry the ANSI code page's bytes.
char32_t LegacyCodePoint(unsigned char byte) { return Windows1252CodePoint(byte); }

std::optional<unsigned char> LegacyCodePageByte(char32_t code_point) { return Windows1252Byte(code_point); }

}  // namespace poolmetrics
