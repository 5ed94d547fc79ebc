#include "output/document_writer.h"

#include "base/code_page.h"
#include "base/text.h"
#include "output/document_forms.h"
#include "output/xml_text.h"

namespace poolmetrics {

std::string ErrorDocument(std::string_view message) {
  std::string document = "<Prtg>\n<Error>1</Error>\n<Text>";
  // PRTG shows no more of a text; a cause that a system or a library gave
  // may be longer.
  AppendXmlText(document, CutToPrtgText(std::string(message)));
  document += "</Text>\n</Prtg>\n";
  return document;
}

void DocumentWriter::Error(std::string_view message) { document_ = ErrorDocument(message); }

std::string DocumentWriter::ChannelName(std::string_view keyword, std::string_view label) {
  std::string name(label);
  if (!names_once_) return name;
  for (const std::string& written : names_)
    if (written == name) {
      name = Concat({keyword, ": ", label});
      break;
    }
  names_.push_back(name);
  return name;
}

namespace {

// The bytes of the first `characters` characters of `text`. Each character
// of a text is one character of the document's text: a UTF-8 sequence, or a
// byte that is none (written as a reference).
std::size_t BytesOfCharacters(std::string_view text, std::size_t characters) {
  std::size_t at = 0;
  for (std::size_t counted = 0; at < text.size() && counted < characters; ++counted) {
    std::size_t length = Utf8SequenceLength(text.substr(at));
    at += length > 0 ? length : 1;
  }
  return at;
}

}  // namespace

std::string CutToPrtgText(std::string text) {
  if (BytesOfCharacters(text, kPrtgTextLimit + 1) <= BytesOfCharacters(text, kPrtgTextLimit)) return text;
  text.resize(BytesOfCharacters(text, kPrtgTextLimit - 3));
  return text + "...";
}

std::string RfcErrorMessage(const ErrorBlock& block) {
  std::string text = Concat({"Error 1036: RFC error at ", block.operation, ": ", block.key, " - ", block.message});
  text.resize(BytesOfCharacters(text, kPrtgTextLimit - 3));
  return text + "...";
}

std::string DocumentLine(CallerMode mode, std::string_view text) {
  std::string line = LineText(text);
  if (!IsXmlMode(mode)) return line;
  std::string escaped;
  AppendXmlText(escaped, line);
  return escaped;
}

namespace {

std::unique_ptr<DocumentWriter> WriterOfForm(CallerMode mode, std::optional<unsigned> selected_channel) {
  switch (mode) {
    case CallerMode::kBrennick: return MakeBrennickWriter();
    case CallerMode::kQuillon: return MakeQuillonWriter(selected_channel);
    case CallerMode::kExeXml:
    case CallerMode::kHoldrun:
    case CallerMode::kVarnock: break;
  }
  return MakeXmlWriter();
}

}  // namespace

std::unique_ptr<DocumentWriter> MakeDocumentWriter(CallerMode mode, std::optional<unsigned> selected_channel) {
  std::unique_ptr<DocumentWriter> writer = WriterOfForm(mode, selected_channel);
  if (mode == CallerMode::kExeXml) writer->NameChannelsOnce();
  return writer;
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
