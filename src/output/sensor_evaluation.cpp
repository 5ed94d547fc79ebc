#include "output/sensor_evaluation.h"

#include "output/sensor_types.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

// The field of `type` that the channel `label` shows.
const FieldValue* FieldOf(const SensorType& type, const StatisticResult& statistic, std::string_view label) {
  for (std::size_t i = 0; i < type.channel_count; ++i)
    if (type.channels[i].label == label) return &statistic.Field(type.parameter, type.channels[i].source);
  return nullptr;
}

// LIMITS: extended memory in use now ("EM state allocated", not the maximum
// since start) of "Available extended mem", in percent; none without an
// available size.
void WriteMemoryInUse(DocumentWriter& document, const SensorType& type, const StatisticResult& statistic) {
  const FieldValue* allocated = FieldOf(type, statistic, "EM state allocated");
  const FieldValue* available = FieldOf(type, statistic, "Available extended mem");
  if (!allocated || !available || available->integer <= 0) return;
  document.Channel(document.ChannelName(type.keyword, kMemoryInUseLabel),
                   FormatShare(allocated->integer, available->integer), "%", ChannelLimit::kMemoryInUse);
}

void WriteSection(DocumentWriter& document, const SensorType& type, const StatisticResult& statistic,
                  std::string_view destination, std::string_view since, bool global_run, bool limits) {
  if (!global_run) {
    document.Open();
    document.Text(Concat({"(", destination, type.header, since}));
  }
  for (std::size_t i = 0; i < type.channel_count; ++i) {
    const ChannelDefinition& c = type.channels[i];
    ValueText value = c.format == ValueFormat::kCount ? FormatInteger(statistic.row_counts[c.source])
                                                      : FormatField(statistic.Field(type.parameter, c.source), c.format);
    document.Channel(document.ChannelName(type.keyword, c.label), value, c.unit,
                     limits ? c.limit : ChannelLimit::kNone);
  }
  if (limits && type.keyword == "EXTENDED-MEMORY") WriteMemoryInUse(document, type, statistic);
}

}  // namespace

std::string NoSensorTypeMessage() {
  std::string message = "Error 1032: Sensor-Type missing in Parameters, use one of ";
  for (const SensorType& type : kSensorTypes) {
    if (&type != kSensorTypes) message += ", ";
    message += type.keyword;
  }
  return message + "...";
}

FixedText<32> SinceText(const StatisticResult& s) {
  std::string_view date = s.startup_date;  // YYYYMMDD
  std::string_view time = s.startup_time;  // HHMMSS
  FixedText<32> since("since ");
  since += From(date, 6).substr(0, 2);
  since += '.';
  since += From(date, 4).substr(0, 2);
  since += '.';
  since += From(date, 2).substr(0, 2);
  since += " at ";
  since += Head(time, 2);
  since += ':';
  since += From(time, 2).substr(0, 2);
  return since;
}

void WriteSensorSections(DocumentWriter& document, const StatisticResult& result, SensorSet sensors,
                         std::string_view destination, bool global_run, const std::optional<ResponseTimes>& times,
                         bool limits) {
  FixedText<32> since = SinceText(result);
  for (std::size_t i = 0; i < kSensorTypeCount; ++i)
    if (sensors[i]) WriteSection(document, kSensorTypes[i], result, destination, since, global_run, limits);
  if (times) {
    document.Channel("Logon time", FormatInteger(times->logon_ms), kResponseTimeUnit, ChannelLimit::kNone);
    document.Channel("Call time", FormatInteger(times->call_ms), kResponseTimeUnit, ChannelLimit::kNone);
  }
  if (!global_run) document.Close();
}

}  // namespace poolmetrics
