#include "journal.h"

#include "platform.h"

namespace rfcemu {

void AppendLine(const std::string& path, std::string_view line) {
  if (path.empty()) return;
  std::string record;
  record.reserve(line.size() + 1);
  record.append(line).push_back('\n');
  AppendToFile(path.c_str(), record);
}

std::string Quote(std::string_view text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      quoted += "\\x";
      quoted += kDigits[byte >> 4];
      quoted += kDigits[byte & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string QuoteOrNull(const char* text) { return text == nullptr ? "NULL" : Quote(text); }

std::string Hex(const void* data, std::size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string hex;
  hex.reserve(2 * size);
  for (std::size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

}  // namespace rfcemu
