// The values that keywords carry in the parameters (",HOST=", ",NO=",
// "CH=", "TIMEOUT=", "PARALLEL=", "TIMES"): read once from the parameter
// text as typed, before a progress line shortens that text for display, so
// that a progress mark never changes which system is asked or which channel
// is printed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

// The ranges of the run-control numbers: TIMEOUT= the range of PRTG's own
// timeout setting, PARALLEL= the systems one global run handles at once.
constexpr unsigned kMaxTimeoutSeconds = 900;
constexpr unsigned kMaxParallel = 64;

struct ParameterValues {
  std::optional<std::string> host;   // ",HOST=": up to the next comma or blank
  std::optional<std::string> sysnr;  // ",NO=": up to the next comma or blank
  std::optional<unsigned> channel;   // "CH=": mode Quillon's channel selection
  std::optional<unsigned> timeout;   // "TIMEOUT=": the run's deadline in seconds, 1 to 900
  std::optional<unsigned> parallel;  // "PARALLEL=": systems of a global run handled at once, 1 to 64
  bool times = false;                // "TIMES" as a word of its own: the response-time channels
  // Message 1035 when a value of "TIMEOUT=" or "PARALLEL=" is no whole number
  // within its range (the first such keyword's); the run ends with it before
  // anything is connected.
  std::optional<std::string> fault;
};

// `keys` is the upper-case copy of `text`, position for position: keywords
// are found there, values are taken from `text` in the case they were typed.
ParameterValues ReadParameterValues(std::string_view text, std::string_view keys);

// A global-file run's values: those of its allocation text, except that the
// run-control keywords given on the command line win over the allocation's.
ParameterValues WithCommandLineRunControl(ParameterValues allocated, const ParameterValues& command_line);

}  // namespace poolmetrics
