#include "sap_text.h"

namespace rfcemu {
namespace {

using nwrfc::SAP_UC;

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | code >> 6));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | code >> 12));
    out->push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | code >> 18));
    out->push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

void AppendUtf16(char32_t code, SapText* out) {
  if (code < 0x10000) {
    out->push_back(static_cast<SAP_UC>(code));
  } else {
    code -= 0x10000;
    out->push_back(static_cast<SAP_UC>(0xD800 + (code >> 10)));
    out->push_back(static_cast<SAP_UC>(0xDC00 + (code & 0x3FF)));
  }
}

// Decodes the UTF-8 sequence at `pos`; returns its length, 0 when it is
// malformed.
std::size_t DecodeUtf8(std::string_view bytes, std::size_t pos, char32_t* code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(pos);
  std::size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1Fu, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0Fu, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07u, minimum = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(pos + i) & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code = value;
  return length;
}

}  // namespace

std::string Utf8FromSapUc(const SAP_UC* text, std::size_t length) {
  std::string out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    const char32_t unit = static_cast<char16_t>(text[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length) {
      const char32_t low = static_cast<char16_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), &out);
        ++i;
        continue;
      }
    }
    AppendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit, &out);
  }
  return out;
}

std::string Utf8FromSapUc(const SAP_UC* text) {
  if (text == nullptr) return {};
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return Utf8FromSapUc(text, length);
}

bool IsUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    char32_t code;
    const std::size_t length = DecodeUtf8(bytes, pos, &code);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string Utf8FromBytes(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  std::string out;
  for (char c : bytes) AppendUtf8(static_cast<unsigned char>(c), &out);
  return out;
}

SapText SapUcFromBytes(std::string_view bytes) {
  SapText out;
  out.reserve(bytes.size());
  if (!IsUtf8(bytes)) {
    for (char c : bytes) out.push_back(static_cast<SAP_UC>(static_cast<unsigned char>(c)));
    return out;
  }
  for (std::size_t pos = 0; pos < bytes.size();) {
    char32_t code = 0;
    pos += DecodeUtf8(bytes, pos, &code);
    AppendUtf16(code, &out);
  }
  return out;
}

}  // namespace rfcemu
