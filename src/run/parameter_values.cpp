#include "run/parameter_values.h"

#include <algorithm>

#include "base/decimal_number.h"
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
// read as a decimal whole number after blanks and a sign (0 when there are
// no digits, and for a negative number: no channel has one).
std::optional<unsigned> SelectedChannel(std::string_view text, std::string_view keys) {
  std::size_t at = keys.find("CH=");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view digits = From(text, at + 3).substr(0, 3);
  digits = digits.substr(0, digits.find(','));
  digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
  bool negative = !digits.empty() && digits[0] == '-';
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  return negative ? 0 : static_cast<unsigned>(ReadLeadingDecimal(digits, 999).value);
}

// A run-control number such as "TIMEOUT=": nothing but decimal digits, from
// 1 to `max`. A value that is not sets `fault` (the first one only).
std::optional<unsigned> RangedNumber(std::string_view text, std::string_view keys, std::string_view keyword,
                                     unsigned max, std::optional<std::string>& fault) {
  std::optional<std::string_view> value = ValueAfter(text, keys, keyword);
  if (!value) return std::nullopt;
  std::optional<std::uint64_t> number = ParseDecimal(*value, max);
  if (number && *number >= 1) return static_cast<unsigned>(*number);
  if (!fault)
    fault = Concat({"Error 1035: Invalid Value ", keyword, *value, ", use 1 to ", std::to_string(max), "..."});
  return std::nullopt;
}

// The section after "CREDENTIALS=", in any case. A value that names none
// sets `fault` (when no other keyword's came first).
std::optional<CredentialSection> CredentialSectionOf(std::string_view text, std::string_view keys,
                                                     std::optional<std::string>& fault) {
  constexpr std::string_view kKeyword = "CREDENTIALS=";
  std::optional<std::string_view> value = ValueAfter(text, keys, kKeyword);
  if (!value) return std::nullopt;
  std::string_view key = keys.substr(keys.find(kKeyword) + kKeyword.size(), value->size());
  if (key == "WINDOWS") return CredentialSection::kWindows;
  if (key == "LINUX") return CredentialSection::kLinux;
  if (!fault) fault = Concat({"Error 1035: Invalid Value ", kKeyword, *value, ", use WINDOWS or LINUX..."});
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

// The keywords that take a value, as a word holds them: ",HOST=" and ",NO="
// lose their comma, which ends the word before them. The message lists
// them, and "TIMES", as the parameters take them.
constexpr std::string_view kValueKeywords[] = {
    "HOST=", "NO=", "CH=", "ITEM=", "TIMEOUT=", "PARALLEL=", "CACHE=", "CREDENTIALS="};
constexpr std::string_view kKnownKeywords = ",HOST= ,NO= CH= ITEM= TIMEOUT= PARALLEL= CACHE= CREDENTIALS= TIMES LIMITS";
// An allocation text's own syntax: Sensor="SAP PoolMetrics" (its "Item=" is
// the keyword ITEM=).
constexpr std::string_view kAllocationSensor = "SENSOR=";

bool NamesKeyword(std::string_view word, KeywordCheck check) {
  for (std::string_view keyword : kValueKeywords)
    if (Contains(word, keyword)) return true;
  return check == KeywordCheck::kAllocationText && Contains(word, kAllocationSensor);
}

}  // namespace

std::optional<std::string> UnknownKeyword(std::string_view text, std::string_view keys, KeywordCheck check) {
  if (check == KeywordCheck::kNone) return std::nullopt;
  for (std::size_t start = 0; start < keys.size();) {
    std::size_t end = std::min(keys.find_first_of(", ", start), keys.size());
    std::string_view word = keys.substr(start, end - start);
    std::size_t equals = word.find('=');
    if (equals != std::string_view::npos && !NamesKeyword(word, check))
      return Concat({"Error 1035: Unknown Keyword ", text.substr(start, equals + 1), ", use ", kKnownKeywords, "..."});
    start = end + 1;
  }
  return std::nullopt;
}

RunControl ReadRunControl(std::string_view text, std::string_view keys, KeywordCheck check) {
  RunControl run;
  run.timeout = RangedNumber(text, keys, "TIMEOUT=", kMaxTimeoutSeconds, run.fault);
  run.parallel = RangedNumber(text, keys, "PARALLEL=", kMaxParallel, run.fault);
  run.times = NamesWord(keys, "TIMES");
  run.limits = NamesWord(keys, "LIMITS");
  run.cache = RangedNumber(text, keys, "CACHE=", kMaxCacheSeconds, run.fault);
  run.credentials = CredentialSectionOf(text, keys, run.fault);
  // A faulty value comes first: its keyword was meant, and its message
  // says what to give it.
  if (!run.fault) run.fault = UnknownKeyword(text, keys, check);
  return run;
}

ParameterValues ReadParameterValues(std::string_view text, std::string_view keys, KeywordCheck check) {
  ParameterValues values;
  values.host = OverrideValue(text, keys, ",HOST=");
  values.sysnr = OverrideValue(text, keys, ",NO=");
  values.channel = SelectedChannel(text, keys);
  values.run = ReadRunControl(text, keys, check);
  return values;
}

RunControl FirstGiven(const RunControl& first, const RunControl& second) {
  RunControl run;
  run.timeout = first.timeout ? first.timeout : second.timeout;
  run.parallel = first.parallel ? first.parallel : second.parallel;
  run.times = first.times || second.times;
  run.limits = first.limits || second.limits;
  run.cache = first.cache ? first.cache : second.cache;
  run.credentials = first.credentials ? first.credentials : second.credentials;
  run.fault = first.fault ? first.fault : second.fault;
  return run;
}

}  // namespace poolmetrics
