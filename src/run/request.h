// Request: what a sensor request asks for, read once from the command line
// (and, in a global-file run, from the allocation text of the global sensor
// file). The operations of a run take the narrow values they need from it.
#pragma once

#include "base/fixed_text.h"
#include "output/caller_mode.h"
#include "output/sensor_types.h"
#include "run/parameter_values.h"

namespace poolmetrics {

struct Request {
  FixedText<128> ParameterText;  // the parameter words as typed (only ever shortened for display)
  FixedText<128> ParameterKeys;  // upper-case copy: every keyword is searched here
  SensorSet Sensors;             // the sensor types named
  ParameterValues Values;        // what the keywords carry
  bool GlobalMode = false;
  FixedText<91> ItemName;  // at most 90 characters
  bool ShowProgress = false;
  CallerMode Mode = CallerMode::kExeXml;  // the output form
};

// Sets ParameterText and everything read from it: the keys, the sensor
// types and the keywords' values.
void SetParameters(Request& request, std::string_view text);

// The same for the parameters of a global run (a global-file run's
// allocation text): the run-control keywords of the command line
// ("TIMEOUT=", "PARALLEL=", "TIMES") win over the new text's.
void SetGlobalRunParameters(Request& request, std::string_view text);

}  // namespace poolmetrics
