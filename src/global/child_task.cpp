#include "global/child_task.h"

#include "base/decimal_number.h"
#include "base/wire_fields.h"
#include "run/command_line.h"

namespace poolmetrics {
namespace {

// An optional value: "-" for none, "+" and the value.
void AppendOptional(std::string& out, const std::optional<std::string>& value) {
  AppendField(out, value ? "+" + *value : "-");
}

bool ReadOptional(const std::optional<std::string>& field, std::optional<std::string>& value) {
  if (!field || field->empty() || ((*field)[0] != '-' && (*field)[0] != '+')) return false;
  if ((*field)[0] == '+') value = field->substr(1);
  return true;
}

std::optional<std::string> NumberText(std::optional<unsigned> number) {
  return number ? std::optional<std::string>(std::to_string(*number)) : std::nullopt;
}

bool ReadNumber(const std::optional<std::string>& field, std::optional<unsigned>& number) {
  std::optional<std::string> text;
  if (!ReadOptional(field, text)) return false;
  if (!text) return true;
  std::optional<std::uint64_t> value = ParseDecimal(*text, 0xffffffffu);
  if (!value) return false;
  number = static_cast<unsigned>(*value);
  return true;
}

bool ReadFlag(const std::optional<std::string>& field, bool& flag) {
  if (field != "0" && field != "1") return false;
  flag = field == "1";
  return true;
}

}  // namespace

std::vector<std::string> ChildArguments(const ChildTask& task) {
  const ListingTask& l = task.listing;
  std::string wire;
  AppendField(wire, CallerModeName(l.mode));
  AppendField(wire, std::string(1, static_cast<char>(l.label_kind)));
  AppendField(wire, l.sensors.to_string());
  AppendOptional(wire, l.values.host);
  AppendOptional(wire, l.values.sysnr);
  AppendOptional(wire, NumberText(l.values.channel));
  AppendField(wire, l.values.run.times ? "1" : "0");
  AppendOptional(wire, NumberText(l.values.run.cache));
  AppendField(wire, l.show_progress ? "1" : "0");
  AppendOptional(wire, NumberText(task.milliseconds_left));
  AppendField(wire, l.profile_directory);
  return {std::string(kChildMark), wire};
}

std::optional<ChildTask> ReadChildTask(std::string_view wire) {
  FieldReader fields(wire);
  std::optional<std::string> mode = fields.Next(), kind = fields.Next(), sensors = fields.Next(),
                             host = fields.Next(), sysnr = fields.Next(), channel = fields.Next(),
                             times = fields.Next(), cache = fields.Next(), progress = fields.Next(),
                             left = fields.Next(),
                             directory = fields.Next();
  if (!directory || !fields.done()) return std::nullopt;
  ChildTask task;
  ListingTask& l = task.listing;
  std::optional<CallerMode> named = CallerModeNamed(*mode);
  if (!named || kind->size() != 1 || (*kind)[0] < '1' || (*kind)[0] > '4') return std::nullopt;
  if (sensors->size() != kSensorTypeCount || sensors->find_first_not_of("01") != std::string::npos)
    return std::nullopt;
  l.mode = *named;
  l.label_kind = static_cast<SystemLabelKind>((*kind)[0]);
  l.sensors = SensorSet(*sensors);
  if (!ReadOptional(host, l.values.host) || !ReadOptional(sysnr, l.values.sysnr) ||
      !ReadNumber(channel, l.values.channel) || !ReadFlag(times, l.values.run.times) ||
      !ReadNumber(cache, l.values.run.cache) ||
      !ReadFlag(progress, l.show_progress) || !ReadNumber(left, task.milliseconds_left))
    return std::nullopt;
  l.profile_directory = std::move(*directory);
  return task;
}

}  // namespace poolmetrics
