#include "base/code_page.h"

namespace poolmetrics {

// A single-byte text that is not UTF-8 is most likely Latin-1 here.
char32_t LegacyCodePoint(unsigned char byte) { return Latin1CodePoint(byte); }

}  // namespace poolmetrics
