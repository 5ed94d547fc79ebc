#include "rfc/trace_hint.h"

#include "base/line_reader.h"
#include "base/text.h"

namespace poolmetrics {

FixedText<128> TraceHint(std::FILE* stream) {
  if (!stream) return FixedText<128>(" - Look for Trace-File");
  FixedText<88> message;  // at most 87 characters
  LineReader reader(stream, 99);
  std::string_view line;
  while (reader.Next(&line)) {
    if (line.substr(0, 11) == "**** ERROR ") message.clear();
    if (line.substr(0, 6) == "ERROR ") message = From(line, 12);
    if (line.size() >= 15 && line.substr(7, 8) == "======> ") message = From(line, 15);
    if (!message.empty()) {
      std::string_view text = WithoutLineEnd(message);
      message.truncate(text.size());
    }
  }
  if (message.empty()) return FixedText<128>(" - Please Check Trace-File !");
  FixedText<128> hint(" - ");
  hint += message;
  return hint;
}

}  // namespace poolmetrics
