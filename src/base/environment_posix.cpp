#include <cstdlib>

#include "base/environment.h"

namespace poolmetrics {

std::optional<std::string> EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

}  // namespace poolmetrics
