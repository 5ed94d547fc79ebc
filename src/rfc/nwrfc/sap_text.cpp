#include "rfc/nwrfc/sap_text.h"

#include "base/code_page.h"

namespace poolmetrics {
namespace {

using nwrfc::SAP_UC;

void AppendUtf16(SapText& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<SAP_UC>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<SAP_UC>(0xD800 + (c >> 10));
  out += static_cast<SAP_UC>(0xDC00 + (c & 0x3FF));
}

void AppendUtf8(std::string& out, char32_t c) {
  auto unit = [&](char32_t bits) { out += static_cast<char>(bits); };
  if (c < 0x80) {
    unit(c);
  } else if (c < 0x800) {
    unit(0xC0 | c >> 6);
    unit(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    unit(0xE0 | c >> 12);
    unit(0x80 | (c >> 6 & 0x3F));
    unit(0x80 | (c & 0x3F));
  } else {
    unit(0xF0 | c >> 18);
    unit(0x80 | (c >> 12 & 0x3F));
    unit(0x80 | (c >> 6 & 0x3F));
    unit(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

SapText ToSapText(std::string_view text) {
  SapText out;
  out.reserve(text.size());
  while (!text.empty()) {
    TextCharacter c = FirstCharacter(text);
    AppendUtf16(out, c.code_point);
    text.remove_prefix(c.length);
  }
  return out;
}

std::string FromSapText(const SAP_UC* text, std::size_t capacity) {
  std::string out;
  if (!text) return out;
  for (std::size_t i = 0; i < capacity && text[i] != 0; ++i) {
    char32_t u = static_cast<char16_t>(text[i]);
    if (IsHighSurrogate(u) && i + 1 < capacity && IsLowSurrogate(static_cast<char16_t>(text[i + 1]))) {
      char32_t low = static_cast<char16_t>(text[++i]);
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

}  // namespace poolmetrics
