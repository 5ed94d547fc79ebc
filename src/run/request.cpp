#include "run/request.h"

#include "base/text.h"

namespace poolmetrics {

Parameters ReadParameters(std::string_view text, KeywordCheck check) {
  Parameters parameters;
  parameters.Text = text;
  parameters.Keys = text;
  UpperCaseInPlace(parameters.Keys);
  parameters.Sensors = SensorTypesNamedIn(parameters.ParameterKeys());
  parameters.Values = ReadParameterValues(parameters.Text, parameters.Keys, check);
  return parameters;
}

FixedText<91> ItemNameOf(std::string_view value) {
  constexpr std::size_t kItemNameLength = 90;
  FixedText<91> name;
  for (char c : value.substr(0, kItemNameLength)) {
    if (c == ' ' || c == ',') break;
    name += c == ':' ? ' ' : c;
  }
  return name;
}

}  // namespace poolmetrics
