// CallerMode: the flavor of the output document, one per monitoring front-end.
#pragma once

#include <optional>
#include <string_view>

namespace poolmetrics {

enum class CallerMode {
  kExeXml,    // PRTG EXE/XML custom sensor: the default
  kHoldrun,   // PRTG XML form
  kVarnock,   // PRTG XML form
  kBrennick,  // message and statistic lines, at most ten channels
  kQuillon,   // plain lines, or one selected channel's bare value ("CH=")
};

std::string_view CallerModeName(CallerMode mode);
// The mode of a name that CallerModeName gives (exactly); none for others.
std::optional<CallerMode> CallerModeNamed(std::string_view name);

// True for the three modes that write the PRTG XML form.
constexpr bool IsXmlMode(CallerMode mode) {
  return mode == CallerMode::kExeXml || mode == CallerMode::kHoldrun || mode == CallerMode::kVarnock;
}

// An installation selects a front-end mode by the file name of the program:
// a copy or link whose name (without directory and ".exe") is a mode's name,
// or ends in "-" or "_" and a mode's name, in any case ("Brennick.exe",
// "PoolMetrics-Quillon"). Every other name gives "EXEXML", so the command
// line that the monitoring hosts send never changes.
CallerMode CallerModeFromProgramName(std::string_view program_path);

}  // namespace poolmetrics
