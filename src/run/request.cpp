#include "run/request.h"

#include "base/text.h"

namespace poolmetrics {

void SetParameters(Request& request, std::string_view text) {
  request.ParameterText = text;
  request.ParameterKeys = request.ParameterText;
  UpperCaseInPlace(request.ParameterKeys);
  request.Sensors = SensorTypesNamedIn(request.ParameterKeys);
  request.Values = ReadParameterValues(request.ParameterText, request.ParameterKeys);
}

}  // namespace poolmetrics
