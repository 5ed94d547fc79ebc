#include "rfc/system_number.h"

#include "base/decimal_number.h"

namespace poolmetrics {

int SystemNumber(std::string_view text) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return 0;
  return static_cast<int>(ReadLeadingDecimal(text.substr(start), 999999).value);
}

}  // namespace poolmetrics
