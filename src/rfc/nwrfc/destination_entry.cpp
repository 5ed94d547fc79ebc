#include "rfc/nwrfc/destination_entry.h"

#include "base/line_reader.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

bool HasDestinationEntry(std::FILE* ini, std::string_view destination) {
  if (!ini || destination.empty()) return false;
  LineReader reader(ini, 0);
  std::string_view piece;
  while (reader.Next(&piece)) {
    std::string_view line = Trimmed(WithoutLineEnd(piece));
    if (line.substr(0, 1) == "#" || line.substr(0, 2) == "/*" || line.substr(0, 2) == "//") continue;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (EqualsIgnoringCase(Trimmed(line.substr(0, equals)), "DEST") &&
        EqualsIgnoringCase(Trimmed(line.substr(equals + 1)), destination))
      return true;
  }
  return false;
}

}  // namespace poolmetrics
