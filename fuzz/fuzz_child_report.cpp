// A child's output as the parent reads it: any bytes, whole or cut short.
// What the reader takes apart (header, printed text, record or error
// record) framed again by the child's writers reads back the same.
#include <string>
#include <string_view>

#include "global/child_report.h"

using namespace poolmetrics;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool SameBlock(const ErrorBlock& a, const ErrorBlock& b) {
  return a.operation == b.operation && a.key == b.key && a.status == b.status && a.message == b.message &&
         a.internal_status == b.internal_status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view output(reinterpret_cast<const char*>(data), size);
  ChildReport report = ReadChildReport(output);
  Check(report.line.has_value() == report.label.has_value());
  Check(!(report.system && report.block));
  Check(report.finished() == (report.system || report.block));
  Check(report.printed.size() <= output.size());

  // Framed again. Without a header of its own, printed text that starts like
  // one would read as one: the child never writes that.
  if (!report.line && report.printed.rfind("\x1ePoolMetrics system ", 0) == 0) return 0;
  std::string framed = report.line ? ChildHeader(*report.line, *report.label) : std::string();
  framed += report.printed;
  if (report.system) framed += ChildRecord(*report.system);
  if (report.block) framed += ChildErrorRecord(*report.block);
  ChildReport again = ReadChildReport(framed);
  Check(again.line == report.line && again.label == report.label);
  Check(again.printed == report.printed);
  Check(again.system.has_value() == report.system.has_value());
  // The same system reads back as the same record.
  if (report.system) Check(ChildRecord(*again.system) == ChildRecord(*report.system));
  Check(again.block.has_value() == report.block.has_value());
  if (report.block) Check(SameBlock(*again.block, *report.block));
  return 0;
}
