#include "output/xml_text.h"

#include <cstdio>

#include "base/code_page.h"

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
      } else if (std::size_t n = Utf8SequenceLength(text.substr(i))) {
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
