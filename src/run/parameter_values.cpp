#include "run/parameter_values.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

// The value after `keyword` as typed, up to the next comma or blank; none
// when the keyword is not in the parameters.
std::optional<std::string_view> ValueAfter(std::string_view text, std::string_view keys, std::string_view keyword) {
  std::size_t at = keys.find(keyword);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view value = From(text, at + keyword.size());
  return value.substr(0, value.find_first_of(", "));
}

// The value of an override such as ",HOST=".
std::optional<std::string> OverrideValue(std::string_view text, std::string_view keys, std::string_view keyword) {
  std::optional<std::string_view> value = ValueAfter(text, keys, keyword);
  if (!value) return std::nullopt;
  return std::string(*value);
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

// A run-control number such as "TIMEOUT=": nothing but decimal digits, from
// 1 to `max`. A value that is not sets `fault` (the first one only).
std::optional<unsigned> RangedNumber(std::string_view text, std::string_view keys, std::string_view keyword,
                                     unsigned max, std::optional<std::string>& fault) {
  std::optional<std::string_view> value = ValueAfter(text, keys, keyword);
  if (!value) return std::nullopt;
  unsigned number = 0;
  bool digits = !value->empty();
  for (char c : *value) {
    if (c < '0' || c > '9' || number > max) {
      digits = false;
      break;
    }
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  if (digits && number >= 1 && number <= max) return number;
  if (!fault)
    fault = Concat({"Error 1035: Invalid Value ", keyword, *value, ", use 1 to ", std::to_string(max), "..."});
  return std::nullopt;
}

// "TIMES" as a word of its own, between blanks and commas: a value such as
// "ITEM=Downtimes" does not switch the response-time channels on.
bool NamesWord(std::string_view keys, std::string_view word) {
  for (std::size_t at = keys.find(word); at != std::string_view::npos; at = keys.find(word, at + 1)) {
    bool starts = at == 0 || keys[at - 1] == ' ' || keys[at - 1] == ',';
    std::size_t end = at + word.size();
    bool ends = end == keys.size() || keys[end] == ' ' || keys[end] == ',';
    if (starts && ends) return true;
  }
  return false;
}

}  // namespace

ParameterValues ReadParameterValues(std::string_view text, std::string_view keys) {
  ParameterValues values;
  values.host = OverrideValue(text, keys, ",HOST=");
  values.sysnr = OverrideValue(text, keys, ",NO=");
  values.channel = SelectedChannel(text, keys);
  values.timeout = RangedNumber(text, keys, "TIMEOUT=", kMaxTimeoutSeconds, values.fault);
  values.parallel = RangedNumber(text, keys, "PARALLEL=", kMaxParallel, values.fault);
  values.times = NamesWord(keys, "TIMES");
  return values;
}

ParameterValues WithCommandLineRunControl(ParameterValues allocated, const ParameterValues& command_line) {
  if (command_line.timeout) allocated.timeout = command_line.timeout;
  if (command_line.parallel) allocated.parallel = command_line.parallel;
  allocated.times = allocated.times || command_line.times;
  return allocated;
}

}  // namespace poolmetrics
