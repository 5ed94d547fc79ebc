#include "destination.h"

#include <cctype>

namespace rfcemu {
namespace {

// Where a line of an ini file ends: at a line feed (a CR before it is a
// blank at the line's end), or also at a CR alone.
enum class LineEnds { kLineFeed, kAny };

// Hands each line of an ini file to `on_line`, without blanks and line ends
// at either end; `on_line` returns false to stop.
template <typename OnLine>
void ForEachIniLine(std::string_view ini_text, LineEnds ends, OnLine on_line) {
  const bool lone_cr = ends == LineEnds::kAny;
  std::size_t pos = 0;
  while (pos <= ini_text.size()) {
    std::size_t end = ini_text.find_first_of(lone_cr ? "\r\n" : "\n", pos);
    if (end == std::string_view::npos) end = ini_text.size();
    const std::string_view line = Trim(ini_text.substr(pos, end - pos), " \t\r\n");
    pos = end + 1;
    if (lone_cr && ini_text.substr(end, 2) == "\r\n") ++pos;
    if (!on_line(line)) return;
  }
}

}  // namespace

std::string_view Trim(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  // Host names and IDs are ASCII; a global run compares every logon's host
  // with every system of the landscape, so no locale call per character.
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

std::string ToUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool ParseConnectString(std::string_view text, ParameterMap* pairs, std::string* err) {
  pairs->clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ' || text[pos] == '\t') {
      ++pos;
      continue;
    }
    std::size_t end = text.find_first_of(" \t", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(pos, end - pos);
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos || equals == 0) {
      *err = "connect string: '" + std::string(word) + "' is not of the form ID=value";
      return false;
    }
    (*pairs)[ToUpper(word.substr(0, equals))] = std::string(word.substr(equals + 1));
    pos = end;
  }
  return true;
}

bool FindDestination(std::string_view ini_text, std::string_view dest, ParameterMap* block) {
  block->clear();
  bool inside = false;
  bool found = false;
  ForEachIniLine(ini_text, LineEnds::kLineFeed, [&](std::string_view line) {
    if (line.empty() || line[0] == '*' || line[0] == '#') return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return true;
    const std::string id = ToUpper(Trim(line.substr(0, equals), " \t\r\n"));
    const std::string_view value = Trim(line.substr(equals + 1), " \t\r\n");
    if (id == "DEST") {
      if (found) return false;  // the block ends where the next begins
      inside = EqualsIgnoreCase(value, dest);
      found = inside;
    }
    if (inside) (*block)[id] = std::string(value);
    return true;
  });
  return found;
}

bool FindSapnwrfcDestination(std::string_view ini_text, std::string_view dest, ParameterMap* entry) {
  entry->clear();
  // Notepad saves UTF-8 with a byte-order mark: the file's text starts
  // after it. Some editors end lines with a CR alone.
  constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
  if (ini_text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
    ini_text.remove_prefix(kUtf8ByteOrderMark.size());
  bool inside = false;
  ForEachIniLine(ini_text, LineEnds::kAny, [&](std::string_view line) {
    // An entry ends at a blank line or where the next begins.
    if (line.empty()) return !inside;
    if (line[0] == '#' || line.substr(0, 2) == "/*" || line.substr(0, 2) == "//") return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return true;
    const std::string id = ToUpper(Trim(line.substr(0, equals), " \t\r\n"));
    const std::string_view value = Trim(line.substr(equals + 1), " \t\r\n");
    if (id == "DEST") {
      if (inside) return false;
      inside = EqualsIgnoreCase(value, dest);
    }
    if (inside) (*entry)[id] = std::string(value);
    return true;
  });
  return inside;
}

int ParseSystemNumber(std::string_view text) {
  if (text.empty() || text.size() > 2) return -1;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::string NormalizeGatewayService(std::string_view service) {
  if (service.size() == 4 && service.substr(0, 2) == "33" && ParseSystemNumber(service.substr(2)) >= 0) {
    return "sapgw" + std::string(service.substr(2));
  }
  std::string lower(service);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool AddressFromParameters(const ParameterMap& parameters, Address* address, std::string* err) {
  auto get = [&](const char* id) -> std::string {
    auto it = parameters.find(id);
    return it == parameters.end() ? std::string() : it->second;
  };
  const std::string type = get("TYPE");
  if (!type.empty() && !EqualsIgnoreCase(type, "A")) {
    *err = "connection type TYPE=" + type + " is not offered (only TYPE=A)";
    return false;
  }
  if (!get("ASHOST").empty()) {
    address->kind = Address::Kind::kApplicationServer;
    address->host = get("ASHOST");
    address->sysnr = ParseSystemNumber(get("SYSNR"));
    if (address->sysnr < 0) {
      *err = "SYSNR=" + get("SYSNR") + " is not a system number 00 to 99";
      return false;
    }
    return true;
  }
  if (!get("GWHOST").empty()) {
    address->kind = Address::Kind::kGateway;
    address->host = get("GWHOST");
    address->service = NormalizeGatewayService(get("GWSERV"));
    if (address->service.empty()) {
      *err = "GWHOST=" + address->host + " is given without GWSERV=";
      return false;
    }
    return true;
  }
  *err = "neither ASHOST= nor GWHOST= is given";
  return false;
}

}  // namespace rfcemu
