// Keyword values: parameter words of any length and content, as the command
// line or a global file's allocation gives them. The values are read as
// typed from the whole words, the run-control numbers stay within their
// ranges or give message 1035, and so does a "NAME=" word that names no
// keyword, by its name alone.
#include <string>
#include <string_view>

#include "base/text.h"
#include "run/parameter_values.h"
#include "run/request.h"

using namespace poolmetrics;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// A value read after `keyword` is the text typed there, whole, as long as
// it holds no comma or blank.
void CheckTyped(const std::optional<std::string>& value, std::string_view text, std::string_view keys,
                std::string_view keyword) {
  std::size_t at = keys.find(keyword);
  Check(value.has_value() == (at != std::string_view::npos));
  if (!value) return;
  Check(value->find_first_of(", ") == std::string::npos);
  std::string_view typed = text.substr(at + keyword.size());
  Check(typed.substr(0, value->size()) == *value);
  Check(typed.size() == value->size() || typed[value->size()] == ',' || typed[value->size()] == ' ');
}

// A run-control number is within 1 to `max`; a keyword without one is the
// fault (when no other keyword's came first).
void CheckRanged(const std::optional<unsigned>& number, const RunControl& run, std::string_view keys,
                 std::string_view keyword, unsigned max) {
  bool named = keys.find(keyword) != std::string_view::npos;
  if (number) Check(named && *number >= 1 && *number <= max);
  if (named && !number) Check(run.fault.has_value());
}

// The first word between blanks and commas that holds "=" but none of the
// keywords that take a value, or none.
std::optional<std::string_view> FirstUnknownWord(std::string_view keys) {
  static const char* const kKeywords[] = {
      "HOST=", "NO=", "CH=", "ITEM=", "TIMEOUT=", "PARALLEL=", "CACHE=", "CREDENTIALS="};
  std::size_t start = 0;
  while (start <= keys.size()) {
    std::size_t end = keys.find_first_of(", ", start);
    if (end == std::string_view::npos) end = keys.size();
    std::string_view word = keys.substr(start, end - start);
    bool known = false;
    for (const char* keyword : kKeywords) known = known || word.find(keyword) != std::string_view::npos;
    if (word.find('=') != std::string_view::npos && !known) return keys.substr(start, word.find('=') + 1);
    start = end + 1;
  }
  return std::nullopt;
}

bool SameRunControl(const RunControl& a, const RunControl& b) {
  return a.timeout == b.timeout && a.parallel == b.parallel && a.times == b.times && a.cache == b.cache &&
         a.credentials == b.credentials && a.fault == b.fault;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string keys = text;
  UpperCaseInPlace(keys);

  Parameters parameters = ReadParameters(text);
  const ParameterValues& values = parameters.Values;
  ParameterValues direct = ReadParameterValues(text, keys);
  Check(values.host == direct.host && values.sysnr == direct.sysnr && values.channel == direct.channel);
  Check(SameRunControl(values.run, direct.run));
  Check(SameRunControl(values.run, ReadRunControl(text, keys)));

  CheckTyped(values.host, text, keys, ",HOST=");
  CheckTyped(values.sysnr, text, keys, ",NO=");
  Check(!values.channel || *values.channel <= 999);
  CheckRanged(values.run.timeout, values.run, keys, "TIMEOUT=", kMaxTimeoutSeconds);
  CheckRanged(values.run.parallel, values.run, keys, "PARALLEL=", kMaxParallel);
  CheckRanged(values.run.cache, values.run, keys, "CACHE=", kMaxCacheSeconds);
  // A section is the whole value after "CREDENTIALS=", in any case; any
  // other value is the fault.
  std::size_t section = keys.find("CREDENTIALS=");
  if (values.run.credentials) {
    Check(section != std::string::npos);
    std::string_view value = std::string_view(keys).substr(section + 12);
    value = value.substr(0, value.find_first_of(", "));
    Check(value == (*values.run.credentials == CredentialSection::kWindows ? "WINDOWS" : "LINUX"));
  } else if (section != std::string::npos) {
    Check(values.run.fault.has_value());
  }
  // A faulty value first; else the first unknown word, named as typed, its
  // value never shown.
  std::optional<std::string_view> unknown = FirstUnknownWord(keys);
  if (values.run.fault && values.run.fault->rfind("Error 1035: Invalid Value ", 0) == 0) {
    Check(keys.find("TIMEOUT=") != std::string::npos || keys.find("PARALLEL=") != std::string::npos ||
          keys.find("CACHE=") != std::string::npos || section != std::string::npos);
  } else if (unknown) {
    std::size_t at = static_cast<std::size_t>(unknown->data() - keys.data());
    Check(values.run.fault == "Error 1035: Unknown Keyword " + text.substr(at, unknown->size()) +
                                  ", use ,HOST= ,NO= CH= ITEM= TIMEOUT= PARALLEL= CACHE= CREDENTIALS= TIMES LIMITS...");
  } else {
    Check(!values.run.fault);
  }
  // The field of 127 characters shows the words; the values never depend on it.
  Check(parameters.ParameterText() == std::string_view(text).substr(0, parameters.ParameterText().size()));

  // The command line's run control wins, value by value, over the allocation's.
  RunControl other = ReadRunControl("TIMEOUT=7 PARALLEL=3 TIMES CACHE=60 CREDENTIALS=linux",
                                    "TIMEOUT=7 PARALLEL=3 TIMES CACHE=60 CREDENTIALS=LINUX");
  RunControl first = FirstGiven(values.run, other);
  Check(first.timeout == (values.run.timeout ? values.run.timeout : other.timeout));
  Check(first.parallel == (values.run.parallel ? values.run.parallel : other.parallel));
  Check(first.cache == (values.run.cache ? values.run.cache : other.cache));
  Check(first.credentials == (values.run.credentials ? values.run.credentials : other.credentials));
  Check(first.times && first.fault == values.run.fault);
  return 0;
}
