#include "output/output_document.h"

#include "run/text.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kErrorHead = "<Prtg>\n<Error>1</Error>\n<Text>";
constexpr std::string_view kErrorTail = "</Text>\n</Prtg>\n";

std::string_view XmlEntity(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return {};
  }
}

// Appends `text` escaped, stopping before the first piece that would not fit
// into `room` characters: an entity is never cut in half.
template <typename Text>
void AppendEscaped(Text& out, std::string_view text, std::size_t room) {
  std::size_t limit = out.size() + room;
  for (char c : text) {
    std::string_view entity = XmlEntity(c);
    std::string_view piece = entity.empty() ? std::string_view(&c, 1) : entity;
    if (out.size() + piece.size() > limit) break;
    out += piece;
  }
}

}  // namespace

void OpenDocument(RunState& state) {
  if (IsXmlMode(state.Mode))
    state.OutputDocument = "\n<Prtg>\n";
  else
    state.OutputDocument.clear();
}

void OpenText(RunState& state) { state.OutputDocument += IsXmlMode(state.Mode) ? "\n<Text>" : "\n# "; }

void CloseText(RunState& state) {
  if (IsXmlMode(state.Mode))
    state.OutputDocument += "</Text>\n";
  else if (state.Mode == CallerMode::kQuillon && Contains(state.ParameterKeys, "CH="))
    state.OutputDocument.clear();  // only the selected channel's value is printed
}

void CloseDocument(RunState& state) { state.OutputDocument += IsXmlMode(state.Mode) ? "\n</Prtg>\n" : "\n"; }

void AppendText(RunState& state, std::string_view text) {
  if (IsXmlMode(state.Mode))
    AppendEscaped(state.OutputDocument, text, state.OutputDocument.kCapacity);
  else
    state.OutputDocument += text;
}

std::string DocumentLine(CallerMode mode, std::string_view text) {
  if (!IsXmlMode(mode)) return std::string(text);
  std::string line;
  AppendEscaped(line, text, 6 * text.size());
  return line;
}

void WriteErrorDocument(RunState& state, std::string_view message) {
  auto& doc = state.OutputDocument;
  doc = kErrorHead;
  AppendEscaped(doc, message, doc.kCapacity - kErrorHead.size() - kErrorTail.size());
  doc += kErrorTail;
}

}  // namespace poolmetrics
