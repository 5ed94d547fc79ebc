#include "output/sensor_evaluation.h"

#include "output/sensor_types.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

void WriteSection(DocumentWriter& document, const SensorType& type, const StatisticResult& statistic,
                  std::string_view destination, std::string_view since, bool global_run) {
  if (!global_run) {
    document.Open();
    document.Text(Concat({"(", destination, type.header, since}));
  }
  for (std::size_t i = 0; i < type.channel_count; ++i) {
    const ChannelDefinition& c = type.channels[i];
    ValueText value = c.format == ValueFormat::kCount ? FormatInteger(statistic.row_counts[c.source])
                                                      : FormatField(statistic.Field(type.parameter, c.source), c.format);
    document.Channel(document.ChannelName(type.keyword, c.label), value, c.unit);
  }
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
                         std::string_view destination, bool global_run, const std::optional<ResponseTimes>& times) {
  FixedText<32> since = SinceText(result);
  for (std::size_t i = 0; i < kSensorTypeCount; ++i)
    if (sensors[i]) WriteSection(document, kSensorTypes[i], result, destination, since, global_run);
  if (times) {
    document.Channel("Logon time", FormatInteger(times->logon_ms), kResponseTimeUnit);
    document.Channel("Call time", FormatInteger(times->call_ms), kResponseTimeUnit);
  }
  if (!global_run) document.Close();
}

}  // namespace poolmetrics
