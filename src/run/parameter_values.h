// The values that keywords carry in the parameters (",HOST=", ",NO=",
// "CH=", "TIMEOUT=", "PARALLEL=", "TIMES"): read from the parameter words as
// typed, whole, before a progress line shortens them for display, so that
// neither a progress mark nor the length of the words ever changes which
// system is asked, which channel is printed or how long the run may take.
// A "NAME=" word that names no keyword is refused, so that a mistyped one
// ("TIMOUT=30") never runs as if it were not there.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

// The ranges of the run-control numbers: TIMEOUT= the range of PRTG's own
// timeout setting, PARALLEL= the systems one global run handles at once.
constexpr unsigned kMaxTimeoutSeconds = 900;
constexpr unsigned kMaxParallel = 64;
// CACHE=: how old, in seconds, a cached answer may be to serve a run.
constexpr unsigned kMaxCacheSeconds = 3600;

// "CREDENTIALS=": the section of the PRTG device's settings whose user and
// password the logon takes from the environment in place of the profile's
// ("Credentials for Windows Systems" or "for Linux"; not the probe's
// platform).
enum class CredentialSection { kWindows, kLinux };

// Which "NAME=" words a parameter text may hold besides the keywords. Words
// are the pieces between blanks and commas; one holding "=" must contain a
// keyword somewhere (keywords are found inside longer words, as their values
// are: "NOCACHE=1" is "CACHE=1").
enum class KeywordCheck {
  kParameterWords,  // the command line's: the keywords only
  kAllocationText,  // a global sensor file's allocation: also its own "Sensor="
  kNone,            // words already checked as typed, read again with ":" as blanks
};

// The keywords that say how the run itself goes. Unlike the others they are
// also taken from the arguments after the two parameter words, and on the
// command line they win over a global file's allocation.
struct RunControl {
  std::optional<unsigned> timeout;   // "TIMEOUT=": the run's deadline in seconds, 1 to 900
  std::optional<unsigned> parallel;  // "PARALLEL=": systems of a global run handled at once, 1 to 64
  bool times = false;                // "TIMES" as a word of its own: the response-time channels
  bool limits = false;               // "LIMITS" as a word of its own: PRTG's channel limits (XML forms)
  std::optional<unsigned> cache;     // "CACHE=": the age in seconds up to which a cached answer serves, 1 to 3,600
  std::optional<CredentialSection> credentials;  // "CREDENTIALS=WINDOWS" or "=LINUX", any case
  // Message 1035 when a value of "TIMEOUT=", "PARALLEL=" or "CACHE=" is no
  // whole number within its range, or "CREDENTIALS=" names no section (the
  // first such keyword's), else when a "NAME=" word names no keyword (the
  // first such word's name, never its value); the run ends with it before
  // anything is looked up or connected.
  std::optional<std::string> fault;
};

struct ParameterValues {
  std::optional<std::string> host;   // ",HOST=": up to the next comma or blank
  std::optional<std::string> sysnr;  // ",NO=": up to the next comma or blank
  std::optional<unsigned> channel;   // "CH=": mode Quillon's channel selection
  RunControl run;
};

// `keys` is the upper-case copy of `text`, position for position: keywords
// are found there, values are taken from `text` in the case they were typed.
ParameterValues ReadParameterValues(std::string_view text, std::string_view keys,
                                    KeywordCheck check = KeywordCheck::kParameterWords);
RunControl ReadRunControl(std::string_view text, std::string_view keys,
                          KeywordCheck check = KeywordCheck::kParameterWords);

// Message 1035 for the first "NAME=" word of `text` that names no keyword
// (`check` says which names count), or none.
std::optional<std::string> UnknownKeyword(std::string_view text, std::string_view keys, KeywordCheck check);

// Run control from two places: each value from `first` where it gives one,
// else from `second`; the response times when either asks for them; the
// fault of `first`, else of `second`.
RunControl FirstGiven(const RunControl& first, const RunControl& second);

}  // namespace poolmetrics
