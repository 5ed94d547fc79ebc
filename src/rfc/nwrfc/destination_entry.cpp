#include "rfc/nwrfc/destination_entry.h"

#include "base/line_reader.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

// What Windows Notepad puts before the text of a file it saves as UTF-8.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool NamesDestination(std::string_view line, std::string_view destination) {
  line = Trimmed(line);
  if (line.substr(0, 1) == "#" || line.substr(0, 2) == "/*" || line.substr(0, 2) == "//") return false;
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  return EqualsIgnoringCase(Trimmed(line.substr(0, equals)), "DEST") &&
         EqualsIgnoringCase(Trimmed(line.substr(equals + 1)), destination);
}

}  // namespace

bool HasDestinationEntry(std::FILE* ini, std::string_view destination) {
  if (!ini || destination.empty()) return false;
  // The reader ends a piece at a line feed and drops a CR before it; a CR
  // alone (the line end of old Macintosh editors) stays inside the piece and
  // ends a line here. The raw piece keeps a zero byte as a byte of its line,
  // where the piece's text would end at it.
  LineReader reader(ini, 0);
  std::string_view piece;
  bool first = true;
  while (reader.Next(&piece)) {
    std::string_view text = WithoutLineFeed(reader.Raw());
    if (first && text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
      text.remove_prefix(kUtf8ByteOrderMark.size());
    first = false;
    std::size_t cr;
    while ((cr = text.find('\r')) != std::string_view::npos) {
      if (NamesDestination(text.substr(0, cr), destination)) return true;
      text.remove_prefix(cr + 1);
    }
    if (NamesDestination(text, destination)) return true;
  }
  return false;
}

}  // namespace poolmetrics
