#include "output/document_writer.h"

#include "output/document_forms.h"
#include "output/xml_text.h"
#include "base/text.h"

namespace poolmetrics {

std::string ErrorDocument(std::string_view message) {
  std::string document = "<Prtg>\n<Error>1</Error>\n<Text>";
  AppendXmlText(document, message);
  document += "</Text>\n</Prtg>\n";
  return document;
}

void DocumentWriter::Error(std::string_view message) { document_ = ErrorDocument(message); }

std::string DocumentLine(CallerMode mode, std::string_view text) {
  std::string line = LineText(text);
  if (!IsXmlMode(mode)) return line;
  std::string escaped;
  AppendXmlText(escaped, line);
  return escaped;
}

std::unique_ptr<DocumentWriter> MakeDocumentWriter(CallerMode mode, std::optional<unsigned> selected_channel) {
  switch (mode) {
    case CallerMode::kBrennick: return MakeBrennickWriter();
    case CallerMode::kQuillon: return MakeQuillonWriter(selected_channel);
    case CallerMode::kExeXml:
    case CallerMode::kHoldrun:
    case CallerMode::kVarnock: break;
  }
  return MakeXmlWriter();
}

std::string ChannelKey(std::string_view name) {
  std::string key = LineText(name, '_');
  for (char& c : key)
    if (Contains(" /\\[]*():-", std::string_view(&c, 1))) c = '_';
  std::size_t stop = key.find('.');
  if (stop != std::string::npos) key[stop] = '_';
  return key;
}

std::string_view DisplayedUnit(std::string_view unit) {
  if (unit.empty()) return "#";
  if (unit == "PerCent") return "%";
  if (unit == kResponseTimeUnit) return "mSec";
  return unit;
}

}  // namespace poolmetrics
