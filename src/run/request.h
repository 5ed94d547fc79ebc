// Request: what a sensor request asks for, read once from the command line
// (run/command_line.h) and read-only from then on. A global run reads what
// its file gives it into a value of its own (global/global_run.h); the
// steps of a run take the parts they need.
#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "output/caller_mode.h"
#include "output/sensor_types.h"
#include "run/parameter_values.h"
#include "run/usage.h"

namespace poolmetrics {

// The width of the parameter field of the run state: 127 characters (128
// bytes with the terminating zero). What a progress line shows of the
// parameters, and where the sensor types, "ITEM=" and the progress marks are
// searched: a word past it names no sensor type.
constexpr std::size_t kParameterFieldLength = 127;

// Parameter words and everything read from them.
struct Parameters {
  // The words as typed, whole: the values of the keywords (",HOST=", "CH=",
  // "TIMEOUT=", ...) are read here, whatever their length.
  std::string Text;
  // Text upper-cased, position for position (ASCII letters only): keywords
  // are found here, their values taken from Text at the same place.
  std::string Keys;
  SensorSet Sensors;
  ParameterValues Values;

  // The parameter field: the first 127 bytes of Text and of Keys, cut
  // where the byte count ends (even inside a word or a multi-byte
  // character). Views into this object: valid while it lives unchanged.
  std::string_view ParameterText() const { return FieldOf(Text); }
  std::string_view ParameterKeys() const { return FieldOf(Keys); }

 private:
  static std::string_view FieldOf(const std::string& text) {
    return std::string_view(text).substr(0, kParameterFieldLength);
  }
};

// Reads parameter words: the command line's two words joined by a blank, or
// a global file's allocation text (":" already standing for a blank there);
// `check` says which "NAME=" words they may hold (parameter_values.h).
Parameters ReadParameters(std::string_view text, KeywordCheck check = KeywordCheck::kParameterWords);

struct Request {
  CallerMode Mode = CallerMode::kExeXml;  // the output form, from the program's file name
  // When the run started. Shown as hh:mm:ss only by progress lines: the
  // local time zone is looked up only for them.
  std::time_t StartTime = 0;

  // "--help" or "--version" from a person at a console: no run at all.
  ConsoleRequest Console = ConsoleRequest::kNone;

  // A child of a parallel global run: the wire form of its task, which its
  // parent wrote on the child's command line. None for every other run.
  std::optional<std::string> ChildTask;

  // The profile argument, normalised and split: the file name (".P00"
  // added) and the directory given with it; and the two whole, as the path
  // to open in the front-end modes, for the message that they are too long
  // for their fields.
  std::string ProfileGiven;
  FixedText<64> ProfileName;
  bool ProfileNameCut = false;  // the name did not fit its field: never opened cut short
  FixedText<96> ProfileDirectory;

  // The first parameter word as typed: a global-file run's sensor key, which
  // message 1030 names.
  std::string FirstWord;
  Parameters Params;
  bool ShowProgress = false;  // the parameters carry a progress mark

  // Global runs: an item run ("ITEM=") or a global-file run (profile GLOBAL).
  bool GlobalMode = false;
  // An item run's item: what follows "ITEM=" in the parameter field (see
  // ItemNameOf). Empty in every other run; a global-file run's item comes
  // from its allocation text.
  FixedText<91> ItemName;
};

// The item name at the start of `value` (what follows "ITEM=" or "Item="):
// up to a blank or a comma or 90 characters, ":" standing for a blank.
FixedText<91> ItemNameOf(std::string_view value);

}  // namespace poolmetrics
