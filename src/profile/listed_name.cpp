#include "profile/listed_name.h"

#include "base/device_name.h"

namespace poolmetrics {
namespace {

// "..", and what Windows makes of "...", ". ." and the like: it drops
// trailing dots and blanks from a component, so such a component can climb.
bool ClimbsUp(std::string_view component) {
  std::size_t dots = 0;
  for (char c : component) {
    if (c != '.' && c != ' ') return false;
    dots += c == '.';
  }
  return dots >= 2;
}

}  // namespace

bool StaysInProfileDirectory(std::string_view name) {
  if (name.empty() || name.front() == '\\' || name.front() == '/') return false;
  if (name.find(':') != std::string_view::npos) return false;
  if (NamesDevice(name)) return false;
  while (!name.empty()) {
    std::size_t end = name.find_first_of("\\/");
    if (ClimbsUp(name.substr(0, end))) return false;
    name = end == std::string_view::npos ? std::string_view() : name.substr(end + 1);
  }
  return true;
}

}  // namespace poolmetrics
