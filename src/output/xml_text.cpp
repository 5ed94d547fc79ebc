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
  while (!text.empty()) {
    TextCharacter c = FirstCharacter(text);
    std::string_view piece = XmlEntity(text[0]);
    bool line_character = c.code_point == '\t' || c.code_point == '\n' || c.code_point == '\r';
    if (!piece.empty()) {
      // "&", "<" or ">"
    } else if (IsControlCharacter(c.code_point) && !line_character) {
      piece = "?";
    } else if (c.code_point < 0x80 || Utf8SequenceLength(text) > 0) {
      piece = text.substr(0, c.length);
    } else {
      std::snprintf(reference, sizeof reference, "&#x%02lX;", static_cast<unsigned long>(c.code_point));
      piece = reference;
    }
    out += piece;
    text.remove_prefix(c.length);
  }
}

}  // namespace poolmetrics
