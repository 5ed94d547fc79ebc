#pragma once

#include "base/fixed_text.h"

namespace poolmetrics {

// The local time of day as "hh:mm:ss".
FixedText<9> TimeOfDay();

}  // namespace poolmetrics
