#include "output/caller_mode.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

struct NamedMode {
  std::string_view name;
  CallerMode mode;
};
constexpr NamedMode kFrontEndModes[] = {
    {"Holdrun", CallerMode::kHoldrun},
    {"Varnock", CallerMode::kVarnock},
    {"Brennick", CallerMode::kBrennick},
    {"Quillon", CallerMode::kQuillon},
};

}  // namespace

std::string_view CallerModeName(CallerMode mode) {
  switch (mode) {
    case CallerMode::kHoldrun: return "Holdrun";
    case CallerMode::kVarnock: return "Varnock";
    case CallerMode::kBrennick: return "Brennick";
    case CallerMode::kQuillon: return "Quillon";
    case CallerMode::kExeXml: break;
  }
  return "EXEXML";
}

CallerMode CallerModeFromProgramName(std::string_view program_path) {
  std::string_view name = program_path;
  std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (name.size() > 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".exe")) name.remove_suffix(4);
  for (const NamedMode& m : kFrontEndModes) {
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
