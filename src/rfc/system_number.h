// The system number of an application server, read from a profile's Sysnr
// (or the ",NO=" override) the one way both RFC libraries are given it, so
// that a profile reaches the same system through either library.
#pragma once

#include <string_view>

namespace poolmetrics {

// The decimal number at the start of `text` after any blanks and tabs, up
// to the first other character; 0 when there is none ("00" is 0, " 1x" is
// 1). Reading stops at the first digit that takes the number past 999999:
// no system number comes near, and the result always fits an int.
int SystemNumber(std::string_view text);

}  // namespace poolmetrics
