#include "base/time_of_day.h"

#include <ctime>

namespace poolmetrics {

FixedText<9> TimeOfDay() { return TimeOfDay(std::time(nullptr)); }

FixedText<9> TimeOfDay(std::time_t when) {
  char text[16] = "00:00:00";
  if (const std::tm* local = std::localtime(&when)) std::strftime(text, sizeof text, "%H:%M:%S", local);
  return FixedText<9>(text);
}

}  // namespace poolmetrics
