// The values that keywords carry in the parameters (",HOST=", ",NO=",
// "CH="): read once from the parameter text as typed, before a progress line
// shortens that text for display, so that a progress mark never changes
// which system is asked or which channel is printed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

struct ParameterValues {
  std::optional<std::string> host;   // ",HOST=": up to the next comma or blank
  std::optional<std::string> sysnr;  // ",NO=": up to the next comma or blank
  std::optional<unsigned> channel;   // "CH=": mode Quillon's channel selection
};

// `keys` is the upper-case copy of `text`, position for position: keywords
// are found there, values are taken from `text` in the case they were typed.
ParameterValues ReadParameterValues(std::string_view text, std::string_view keys);

}  // namespace poolmetrics
