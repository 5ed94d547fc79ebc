#include "base/console.h"

#include <string>

namespace poolmetrics {
namespace {

// Changed under the output lock only; plain data, so nothing is done at
// start-up.
bool g_alone = false;
std::FILE* g_document = nullptr;  // with the document alone: where it goes

// The document, held while it stands alone.
std::string& Held() {
  static std::string held;
  return held;
}

// Lines for standard error that a holder of the output lock printed.
std::string& Deferred() {
  static std::string deferred;
  return deferred;
}

std::FILE* DocumentStream() { return g_document ? g_document : stdout; }

void Write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), DocumentStream()); }

// Writes what was deferred, outside the output lock.
void WriteDeferred() {
  std::string lines;
  {
    OutputLock lock;
    if (lock.nested()) return;  // the caller holds it: later
    lines.swap(Deferred());
  }
  if (!lines.empty()) WriteAsideWithoutWaiting(lines);
}

}  // namespace

void SetDocumentAlone() {
  OutputLock lock;
  g_alone = true;
  g_document = MoveStandardOutputAside();
}

void Print(std::string_view text) {
  OutputLock lock;
  if (g_alone)
    Held() += text;
  else
    Write(text);
}

void PrintLine(std::string_view text) {
  OutputLock lock;
  Print(text);
  Print("\n");
}

void PrintInstead(std::string_view text) {
  OutputLock lock;
  if (g_alone) Held().clear();
  Print(text);
}

void PrintAside(std::string_view text) {
  {
    OutputLock lock;
    if (!g_alone) {
      Print(text);
      return;
    }
    Deferred() += text;
  }
  WriteDeferred();
}

void PrintAsideLine(std::string_view text) {
  std::string line(text);
  line += '\n';
  PrintAside(line);
}

namespace {

bool DeliverDocument() {
  OutputLock lock;
  if (g_alone) {
    Write(Held());
    Held().clear();
  }
  bool delivered = std::fflush(DocumentStream()) == 0 && !std::ferror(DocumentStream());
  // Whatever else went to stdout (what an RFC library printed itself) goes
  // to standard error with the document alone: after the document, which a
  // standard error that nobody reads must not hold up.
  std::fflush(stdout);
  return delivered;
}

}  // namespace

bool OutputDelivered() {
  bool delivered = DeliverDocument();
  WriteDeferred();
  if (g_alone) LetAsideLinesOut();
  return delivered;
}

bool DeliverLastWords() {
  bool delivered = DeliverDocument();
  OutputLock lock;
  std::string lines;
  lines.swap(Deferred());
  if (!lines.empty()) WriteAsideWithoutWaiting(lines);
  if (g_alone) LetAsideLinesOut();
  return delivered;
}

}  // namespace poolmetrics
