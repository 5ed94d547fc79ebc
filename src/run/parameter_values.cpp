#include "run/parameter_values.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

// The value of an override such as ",HOST=": the text as typed after the
// keyword, up to the next comma or blank.
std::optional<std::string> OverrideValue(std::string_view text, std::string_view keys, std::string_view keyword) {
  std::size_t at = keys.find(keyword);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view value = From(text, at + keyword.size());
  return std::string(value.substr(0, value.find_first_of(", ")));
}

// The channel number after "CH=": at most three characters, up to a comma,
// read as a decimal whole number (0 when there are no digits).
std::optional<unsigned> SelectedChannel(std::string_view text, std::string_view keys) {
  std::size_t at = keys.find("CH=");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view digits = From(text, at + 3).substr(0, 3);
  digits = digits.substr(0, digits.find(','));
  std::size_t i = 0;
  while (i < digits.size() && digits[i] == ' ') ++i;
  bool negative = false;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) negative = digits[i++] == '-';
  unsigned number = 0;
  for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) number = number * 10 + (digits[i] - '0');
  return negative ? 0 : number;  // no channel has a negative number
}

}  // namespace

ParameterValues ReadParameterValues(std::string_view text, std::string_view keys) {
  return {OverrideValue(text, keys, ",HOST="), OverrideValue(text, keys, ",NO="), SelectedChannel(text, keys)};
}

}  // namespace poolmetrics
