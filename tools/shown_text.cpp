#include "tools/shown_text.h"

#include "base/code_page.h"
#include "base/text.h"

namespace poolmetrics {

std::string Shown(std::string_view text) {
  std::string shown;
  auto escape = [&](unsigned char byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0x0F];
  };
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if (IsControl(text[i]))
        escape(byte);
      else
        shown += text[i];
      ++i;
      continue;
    }
    std::size_t n = Utf8SequenceLength(text.substr(i));
    if (n == 0) {
      if (byte <= 0x9F)
        escape(byte);
      else
        shown += text[i];
      ++i;
      continue;
    }
    bool c1 = byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    for (std::size_t k = i; k < i + n; ++k)
      if (c1)
        escape(static_cast<unsigned char>(text[k]));
      else
        shown += text[k];
    i += n;
  }
  return shown;
}

}  // namespace poolmetrics
