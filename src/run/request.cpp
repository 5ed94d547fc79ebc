#include "run/request.h"

#include <utility>

#include "base/text.h"

namespace poolmetrics {

void SetParameters(Request& request, std::string_view text) {
  request.ParameterText = text;
  request.ParameterKeys = request.ParameterText;
  UpperCaseInPlace(request.ParameterKeys);
  request.Sensors = SensorTypesNamedIn(request.ParameterKeys);
  request.Values = ReadParameterValues(request.ParameterText, request.ParameterKeys);
}

void SetGlobalRunParameters(Request& request, std::string_view text) {
  ParameterValues command_line = request.Values;
  SetParameters(request, text);
  request.Values = WithCommandLineRunControl(std::move(request.Values), command_line);
}

}  // namespace poolmetrics
