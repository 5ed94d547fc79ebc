#include "rfc/error_block.h"

#include "base/console.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

ErrorBlockReporter g_reporter = nullptr;

}  // namespace

void SetErrorBlockReporter(ErrorBlockReporter reporter) { g_reporter = reporter; }

void ReportErrorBlock(const ErrorBlock& block) {
  if (g_reporter)
    g_reporter(block);
  else
    Print(ErrorBlockText(block));
}

std::string LabelLine(std::string_view label, int indent, int width, std::string_view value) {
  std::string line(static_cast<std::size_t>(indent > 0 ? indent : 0), ' ');
  line += label;
  if (static_cast<int>(label.size()) < width) line.append(static_cast<std::size_t>(width) - label.size(), ' ');
  line += " : ";
  // The library's texts may quote files: no control character of theirs
  // starts a line of its own.
  line += LineText(value);
  line += '\n';
  return line;
}

std::string ErrorBlockText(const ErrorBlock& block) {
  std::string text = "RFC error\n";
  text += LabelLine("operation/code", 0, 15, block.operation);
  text += LabelLine("key", 0, 15, block.key);
  text += LabelLine("status", 0, 15, block.status);
  text += LabelLine("message", 0, 15, block.message);
  text += LabelLine("internal status", 0, 15, block.internal_status);
  text += "\n* Programm aborted...\n* Error at EoXput-File...\n";
  return text;
}

}  // namespace poolmetrics
