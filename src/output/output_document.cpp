#include "output/output_document.h"

#include <cstdio>

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

// The length of the UTF-8 sequence that starts `text`, or 0 when it is none
// or encodes no character XML can carry: overlong forms, surrogates, code
// points above U+10FFFF and U+FFFE/U+FFFF are written byte by byte instead.
std::size_t Utf8Length(std::string_view text) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  std::size_t n = lead >= 0xF0 && lead <= 0xF4   ? 4
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                                                 : 0;
  if (n == 0 || text.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  unsigned char second = byte(1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90)) return 0;  // overlong
  if (lead == 0xED && second >= 0xA0) return 0;                                      // surrogate
  if (lead == 0xF4 && second >= 0x90) return 0;                                      // above U+10FFFF
  if (lead == 0xEF && second == 0xBF && byte(2) >= 0xBE) return 0;                   // U+FFFE, U+FFFF
  return n;
}

// Appends `text` as XML character data, stopping before the first piece that
// would not fit into `room` characters (an entity is never cut in half):
// "&", "<" and ">" escaped; a byte that is not part of a UTF-8 sequence
// taken as the Windows code page's Latin-1 letter it most likely is; control
// characters, which XML cannot carry at all, shown as "?".
template <typename Text>
void AppendEscaped(Text& out, std::string_view text, std::size_t room) {
  std::size_t limit = out.size() + room;
  char reference[8];
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    unsigned char u = static_cast<unsigned char>(c);
    std::string_view piece = XmlEntity(c);
    std::size_t consumed = 1;
    if (piece.empty()) {
      if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        piece = "?";
      } else if (u < 0x80) {
        piece = text.substr(i, 1);
      } else if (std::size_t n = Utf8Length(text.substr(i))) {
        piece = text.substr(i, n);
        consumed = n;
      } else {
        std::snprintf(reference, sizeof reference, "&#x%02X;", u);
        piece = reference;
      }
    }
    if (out.size() + piece.size() > limit) break;
    out += piece;
    i += consumed;
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
