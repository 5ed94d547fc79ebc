#include "run/listed_system.h"

#include "output/sensor_evaluation.h"
#include "profile/listed_name.h"
#include "profile/system_definition.h"
#include "run/progress.h"
#include "run/query_system.h"

namespace poolmetrics {
namespace {

FixedText<44> SystemLabelOf(SystemLabelKind kind, std::string_view name, const SystemDefinition& system) {
  switch (kind) {
    case SystemLabelKind::kProfile: return name;
    case SystemLabelKind::kAlias: return name.size() >= 4 ? name.substr(0, name.size() - 4) : "";
    case SystemLabelKind::kHost: return std::string_view(system.Hostname);
    case SystemLabelKind::kSid: return std::string_view(system.Destination);
  }
  return name;
}

}  // namespace

ListedSystemOutcome QueryListedSystem(const RunState& state, std::string_view name,
                                      const std::function<RfcLibrary&()>& library, const ProfileReadHook& read) {
  ListedSystemOutcome outcome;
  // A name or path cut to its field would open another file, if any; a name
  // that leads out of the profile directory, or to a device, names no profile
  // of this listing.
  FixedText<96> path = state.ProfileDirectory;
  path += name;
  if (name.size() > state.ProfileName.kCapacity || state.ProfileDirectory.size() + name.size() > path.kCapacity ||
      !StaysInProfileDirectory(name))
    return outcome;
  File profile = File::OpenRead(path.c_str());
  if (!profile) return outcome;

  SystemDefinition system;
  bool valid = ReadSystemDefinition(std::move(profile), ReadMode::kListing, system).empty();
  outcome.read = true;
  // Each line holds 123 characters, as it always has.
  outcome.line = std::string(FixedText<124>(SystemLine(name, system)));
  outcome.label = std::string(SystemLabelOf(state.LabelKind, name, system));
  if (read) read(outcome.line, outcome.label);

  ChannelRecorder recorder(state.request.Mode);
  LogonEvents events(state.request.ShowProgress, &recorder);
  SystemResult result = QuerySystem(library(), system, valid, state.request.Values, events);
  if (result.block) {
    outcome.block = std::move(result.block);
    return outcome;
  }
  if (result.statistic)
    WriteSensorSections(recorder, *result.statistic, state.request.Sensors, system.Destination, true,
                        state.request.Values.times ? std::optional<ResponseTimes>(result.times) : std::nullopt);
  if (result.failure) outcome.failure = CallFailureMessage(*result.failure);
  outcome.channels = std::move(recorder.channels());
  outcome.processed = result.processed;
  return outcome;
}

}  // namespace poolmetrics
