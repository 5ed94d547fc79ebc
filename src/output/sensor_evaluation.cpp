#include "output/sensor_evaluation.h"

#include "output/channel_writer.h"
#include "output/output_document.h"
#include "output/sensor_types.h"
#include "run/run_failure.h"
#include "run/text.h"

namespace poolmetrics {
namespace {

std::string CallFailureMessage(int code, std::string_view exception) {
  switch (code) {
    case 1: return "Error 1014: RFC-Failure raised !";
    case 2: return Concat({"Error 1012: Exception.: ", exception});
    case 3: return "Error 1013: Sys-Exception raised !";
    default: return "Error 1015: Other Failure raised !";
  }
}

void AppendCallFailure(RunState& state, int code, std::string_view exception) {
  std::string message = CallFailureMessage(code, exception);
  // In a global run the message stands in the document, in place of the
  // system's channels, and is written as any text there. A single run turns
  // it into the error document, which escapes it then: escaped here, it
  // would be escaped twice.
  if (state.GlobalMode)
    AppendText(state, message);
  else
    state.OutputDocument += message;
}

void WriteSection(RunState& state, const SensorType& type, const StatisticResult& statistic,
                  std::string_view since) {
  if (!state.GlobalMode) {
    OpenDocument(state);
    OpenText(state);
    AppendText(state, "(");
    AppendText(state, state.System.Destination);
    AppendText(state, type.header);
    AppendText(state, since);
    CloseText(state);
  }
  for (std::size_t i = 0; i < type.channel_count; ++i) {
    const ChannelDefinition& c = type.channels[i];
    ValueText value = c.format == ValueFormat::kCount ? FormatInteger(statistic.row_counts[c.source])
                                                      : FormatField(statistic.Field(type.parameter, c.source), c.format);
    WriteChannel(state, c.label, value, c.unit);
  }
}

}  // namespace

bool NamesSensorType(std::string_view parameter_keys) {
  for (const SensorType& type : kSensorTypes)
    if (Contains(parameter_keys, type.keyword)) return true;
  return false;
}

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

int EvaluateSensor(RunState& state) {
  StatisticResult statistic;
  FixedText<256> exception;
  int code = CallSummaryStatistic(state.ConnectionHandle, statistic, exception);
  if (code == 0) {
    state.Status = CallStatus::kOk;
    FixedText<32> since = SinceText(statistic);
    for (const SensorType& type : kSensorTypes)
      if (Contains(state.ParameterKeys, type.keyword)) WriteSection(state, type, statistic, since);
    if (!state.GlobalMode) CloseDocument(state);
  } else {
    AppendCallFailure(state, code, exception);
  }
  return code;
}

}  // namespace poolmetrics
