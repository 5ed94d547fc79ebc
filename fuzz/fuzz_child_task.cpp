// A child's task as it reads it from its command line: any bytes. A task
// read back is written again as printable ASCII without blanks or quotes,
// which reads back to the same task.
#include <string>
#include <string_view>

#include "global/child_task.h"

using namespace poolmetrics;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<ChildTask> task = ReadChildTask(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!task) return 0;
  std::vector<std::string> arguments = ChildArguments(*task);
  Check(arguments.size() == 2);
  const std::string& wire = arguments[1];
  for (char c : wire) Check(c > ' ' && c < 0x7f && c != '"' && c != '\\' && c != '*' && c != '?');
  std::optional<ChildTask> again = ReadChildTask(wire);
  Check(again.has_value());
  Check(ChildArguments(*again) == arguments);
  const ListingTask &a = task->listing, &b = again->listing;
  Check(a.mode == b.mode && a.label_kind == b.label_kind && a.sensors == b.sensors && a.values.host == b.values.host &&
        a.values.sysnr == b.values.sysnr && a.values.channel == b.values.channel &&
        a.values.run.times == b.values.run.times && a.values.run.cache == b.values.run.cache &&
        a.values.run.credentials == b.values.run.credentials && !b.credentials && a.show_progress == b.show_progress &&
        a.profile_directory == b.profile_directory && task->milliseconds_left == again->milliseconds_left);
  return 0;
}
