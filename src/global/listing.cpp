#include "global/listing.h"

namespace poolmetrics {

std::vector<std::string_view> Listing::Names() const {
  std::vector<std::string_view> names;
  for (std::string_view rest = text_; !rest.empty();) {
    std::size_t end = rest.find('#');
    names.push_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  return names;
}

}  // namespace poolmetrics
