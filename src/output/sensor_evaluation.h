// EvaluateSensor: one call of the summary statistic, turned into the
// sections of the sensor types named in the parameters.
#pragma once

#include <string>
#include <string_view>

#include "rfc/summary_statistic.h"
#include "run/run_state.h"

namespace poolmetrics {

// Calls the function module over state.ConnectionHandle and appends the
// sections (or the failed call's message) to the document. Sets the call
// status to OK exactly when the call succeeded; returns the call's code.
int EvaluateSensor(RunState& state);

// Whether the parameters name at least one sensor type.
bool NamesSensorType(std::string_view parameter_keys);

// Message 1032: parameters that name no sensor type, with the keywords.
std::string NoSensorTypeMessage();

// "since DD.MM.YY at HH:MM" from the system's start-up date and time.
FixedText<32> SinceText(const StatisticResult& statistic);

}  // namespace poolmetrics
