#include "output/xml_text.h"

#include <cstdio>

#include "output/code_page.h"

namespace poolmetrics {
namespace {

std::string_view XmlEntity(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return {};
  }
}

// The length of the UTF-8 sequence that starts `text`, or 0 when it is none
// or encodes no character XML can carry: overlong forms, surrogates, code
// points above U+10FFFF and U+FFFE/U+FFFF are written byte by byte instead.
std::size_t Utf8Length(std::string_view text) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
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

}  // namespace

void AppendXmlText(std::string& out, std::string_view text) {
  char reference[16];
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    unsigned char u = static_cast<unsigned char>(c);
    std::string_view piece = XmlEntity(c);
    std::size_t consumed = 1;
    if (piece.empty()) {
      if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        piece = "?";
      } else if (u < 0x80) {
        piece = text.substr(i, 1);
      } else if (std::size_t n = Utf8Length(text.substr(i))) {
        piece = text.substr(i, n);
        consumed = n;
      } else {
        std::snprintf(reference, sizeof reference, "&#x%02lX;", static_cast<unsigned long>(LegacyCodePoint(u)));
        piece = reference;
      }
    }
    out += piece;
    i += consumed;
  }
}

}  // namespace poolmetrics
