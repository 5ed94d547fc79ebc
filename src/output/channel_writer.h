// WriteChannel: appends one named value with its unit to the document, in
// the flavor of the caller mode.
#pragma once

#include <string_view>

#include "run/fixed_text.h"
#include "run/run_state.h"

namespace poolmetrics {

// Channels a "Brennick" front-end takes in one run.
constexpr unsigned kBrennickChannelLimit = 10;

void WriteChannel(RunState& state, std::string_view label, std::string_view value, std::string_view unit);

// The name of a channel in the "Brennick" lines: blanks, slashes,
// backslashes, brackets, stars, parentheses, colons and hyphens become "_",
// and so does the first full stop. So do control characters: a carriage
// return in a host name (the key of a global run's channels) would otherwise
// start a forged line for the front-end.
FixedText<124> ChannelKey(std::string_view name);

}  // namespace poolmetrics
