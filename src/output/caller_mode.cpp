#include "output/caller_mode.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

struct NamedMode {
  std::string_view name;
  CallerMode mode;
};
// Every mode and its name, once: the front-end modes after EXEXML.
constexpr NamedMode kModes[] = {
    {"EXEXML", CallerMode::kExeXml},
    {"Holdrun", CallerMode::kHoldrun},
    {"Varnock", CallerMode::kVarnock},
    {"Brennick", CallerMode::kBrennick},
    {"Quillon", CallerMode::kQuillon},
};

}  // namespace

std::string_view CallerModeName(CallerMode mode) {
  for (const NamedMode& m : kModes)
    if (m.mode == mode) return m.name;
  return kModes[0].name;
}

std::optional<CallerMode> CallerModeNamed(std::string_view name) {
  for (const NamedMode& m : kModes)
    if (m.name == name) return m.mode;
  return std::nullopt;
}

CallerMode CallerModeFromProgramName(std::string_view program_path) {
  std::string_view name = program_path;
  std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (name.size() > 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".exe")) name.remove_suffix(4);
  for (const NamedMode& m : kModes) {
    if (m.mode == CallerMode::kExeXml) continue;  // the default, not a name that selects it
    if (EqualsIgnoringCase(name, m.name)) return m.mode;
    if (name.size() > m.name.size()) {
      char separator = name[name.size() - m.name.size() - 1];
      if ((separator == '-' || separator == '_') &&
          EqualsIgnoringCase(name.substr(name.size() - m.name.size()), m.name))
        return m.mode;
    }
  }
  return CallerMode::kExeXml;
}

}  // namespace poolmetrics
