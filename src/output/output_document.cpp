#include "output/output_document.h"

#include <cstdio>

#include "output/code_page.h"
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

// Appends `text` as XML character data: "&", "<" and ">" escaped; a byte
// that is not part of a UTF-8 sequence written as a reference to the
// character it stands for in the platform's legacy code page; control
// characters, which XML cannot carry at all, shown as "?". Tabs and line
// ends are XML's own and stay.
void AppendEscaped(std::string& out, std::string_view text) {
  char reference[16];
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
        std::snprintf(reference, sizeof reference, "&#x%02lX;", static_cast<unsigned long>(LegacyCodePoint(u)));
        piece = reference;
      }
    }
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
    AppendEscaped(state.OutputDocument, text);
  else
    state.OutputDocument += LineText(text);
}

std::string DocumentLine(CallerMode mode, std::string_view text) {
  std::string line = LineText(text);
  if (!IsXmlMode(mode)) return line;
  std::string escaped;
  AppendEscaped(escaped, line);
  return escaped;
}

void WriteErrorDocument(RunState& state, std::string_view message) {
  auto& doc = state.OutputDocument;
  doc = kErrorHead;
  AppendEscaped(doc, message);
  doc += kErrorTail;
}

}  // namespace poolmetrics
