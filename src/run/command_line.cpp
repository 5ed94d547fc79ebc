#include "run/command_line.h"

#include <string>

#include "run/global_sensor_file.h"
#include "run/run_failure.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

// A name without a three-character extension gets ".P00": the fourth-last
// character must be the point.
void AppendDefaultExtension(std::string& name) {
  if (name.size() < 4 || name[name.size() - 4] != '.') name += ".P00";
}

bool NamesGlobalFile(std::string_view name) { return EqualsIgnoringCase(name, "GLOBAL.P00"); }

void SetGlobalFile(RunState& state) {
  state.request.GlobalMode = true;
  state.ProfileName = "SAP Overseer.Gbl";
  state.ProfileNameCut = false;
}

}  // namespace

void ReadCommandLine(RunState& state, int argc, const char* const* argv) {
  if (argc < 2) Fail("Error 1001: Parameter for Profile-Name is missing !");

  // The profile argument is normalised in full before it is split into its
  // fields, so a long directory never cuts the file name.
  std::string profile = argv[1];

  std::string parameters = argc > 2 ? argv[2] : "";
  if (argc > 3) parameters = Concat({parameters, " ", argv[3]});
  SetParameters(state.request, parameters);
  // A deadline or a width that cannot be kept is refused before anything is
  // looked up or connected.
  if (state.request.Values.fault) Fail(*state.request.Values.fault);

  std::size_t item = state.request.ParameterKeys.view().find("ITEM=");
  if (item != std::string_view::npos) {
    state.request.GlobalMode = true;
    // Case as typed: the keys are the text upper-cased, position for position.
    state.request.ItemName = ItemNameOf(From(state.request.ParameterText, item + 5));
    profile = "Overseer.Prf";
  }

  AppendDefaultExtension(profile);
  bool global_file = NamesGlobalFile(profile);

  constexpr std::string_view kProgressMarks = "#@$%";
  state.request.ShowProgress = state.request.ParameterKeys.view().find_first_of(kProgressMarks) != std::string_view::npos;

  // Directory split: a name whose only backslash is its first character
  // stays a path from the drive root. Natively "/" separates as well.
  std::size_t split = profile.find_last_of("\\/");
  state.ProfileDirectory.clear();
  if (split != std::string::npos && split != 0) {
    state.ProfileDirectory = std::string_view(profile).substr(0, split + 1);
    profile.erase(0, split + 1);
  }
  state.ProfileName = profile;
  state.ProfileNameCut = profile.size() > state.ProfileName.kCapacity;
  if (global_file || NamesGlobalFile(profile)) SetGlobalFile(state);
}

}  // namespace poolmetrics
