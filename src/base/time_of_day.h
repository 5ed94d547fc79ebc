#pragma once

#include <ctime>

#include "base/fixed_text.h"

namespace poolmetrics {

// The local time of day as "hh:mm:ss": now, or at `when`.
FixedText<9> TimeOfDay();
FixedText<9> TimeOfDay(std::time_t when);

}  // namespace poolmetrics
