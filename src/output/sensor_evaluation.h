// The sections of a sensor request: for every sensor type that the
// parameters name, a header and its channels, from one call's result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "output/document_writer.h"
#include "output/sensor_types.h"
#include "rfc/statistic_result.h"
#include "base/fixed_text.h"

namespace poolmetrics {

// How long a system took to answer, in milliseconds: the channels "Logon
// time" and "Call time" of the keyword TIMES.
struct ResponseTimes {
  std::uint32_t logon_ms = 0;
  std::uint32_t call_ms = 0;
};

// Writes the section of every sensor type in `sensors`, in
// their fixed order. Outside a global run each section opens the document
// anew with its header (so a request naming several types shows the last),
// and the document is closed, also when no type is named; in a global run
// only the channels are written, into the document the run keeps open.
// With `times` the two response-time channels follow the system's own.
// With `limits` (LIMITS, in the XML forms) the channels carry PRTG's limits
// where SAP gives a guideline, and "EM in use" follows EXTENDED-MEMORY's.
void WriteSensorSections(DocumentWriter& document, const StatisticResult& result, SensorSet sensors,
                         std::string_view destination, bool global_run,
                         const std::optional<ResponseTimes>& times = std::nullopt, bool limits = false);

// Message 1032: parameters that name no sensor type, with the keywords.
std::string NoSensorTypeMessage();

// "since DD.MM.YY at HH:MM" from the system's start-up date and time.
FixedText<32> SinceText(const StatisticResult& statistic);

}  // namespace poolmetrics
