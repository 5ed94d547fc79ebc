#include "base/time_of_day.h"

#include <ctime>

namespace poolmetrics {

FixedText<9> TimeOfDay() {
  std::time_t now = std::time(nullptr);
  char text[16] = "00:00:00";
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, "%H:%M:%S", local);
  return FixedText<9>(text);
}

}  // namespace poolmetrics
