#include "global/listed_system.h"

#include "output/sensor_evaluation.h"
#include "profile/listed_name.h"
#include "profile/system_definition.h"
#include "run/progress.h"
#include "run/answer_cache.h"
#include "run/deadline.h"
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

// A listed system's part in a query through the cache: the library is the
// run's, loaded before the listing; what the logon says stands inside the
// run's document.
class ListedSystemCaller final : public CacheCaller {
 public:
  ListedSystemCaller(RfcLibrary& library, LogonEvents& events) : library_(library), events_(events) {}
  void Served(std::string_view fetched_time) override { events_.CachedAnswerServed(fetched_time); }
  RfcLibrary& Querying(std::string_view unused) override {
    if (!unused.empty()) events_.CacheUnused(unused);
    return library_;
  }
  SessionEvents& events() override { return events_; }

 private:
  RfcLibrary& library_;
  LogonEvents& events_;
};

}  // namespace

ListedSystem QueryListedSystem(const ListingTask& task, std::string_view name, RfcLibrary& library,
                                const ProfileReadHook& read, Deadline& deadline) {
  Deadline::Step step(deadline, QueryStep::kBeforeLogon, name);
  // A name or path cut to its field would open another file, if any; a name
  // that leads out of the profile directory, or to a device, names no profile
  // of this listing.
  constexpr std::size_t kNameCapacity = 63;
  FixedText<96> path(task.profile_directory);
  path += name;
  if (name.size() > kNameCapacity || task.profile_directory.size() + name.size() > path.kCapacity ||
      !StaysInProfileDirectory(name))
    return {};
  File file = File::OpenRead(path.c_str());
  if (!file) return {};

  SystemDefinition system;
  // An invalid definition is still tried, but never counts as processed.
  UserAndPassword logon = task.credentials ? UserAndPassword::kFromElsewhere : UserAndPassword::kFromProfile;
  ListedProfile profile;
  profile.valid = ReadSystemDefinition(std::move(file), ReadMode::kListing, system, logon).empty();
  if (task.credentials) TakeUserAndPassword(system, task.credentials->user, task.credentials->password);
  // A system's line holds up to 123 characters.
  profile.line = std::string(FixedText<124>(SystemLine(name, system)));
  profile.label = std::string(SystemLabelOf(task.label_kind, name, system));
  profile.destination = std::string(system.Destination);
  if (read) read(profile.line, profile.label);

  ChannelRecorder lines(task.mode);  // forms the logon's lines as the run's document needs them
  LogonEvents events(task.show_progress, &lines);
  ListedSystemCaller caller(library, events);
  SystemOutcome outcome = QueryThroughCache(system, task.values, profile.valid, caller, deadline);
  return {std::move(profile), std::move(outcome)};
}

std::vector<ChannelValue> ListedChannels(const ListingTask& task, const ListedProfile& profile,
                                         const Answered& answered) {
  ChannelRecorder recorder(task.mode);
  WriteSensorSections(recorder, *answered.statistic, task.sensors, profile.destination, true,
                      task.values.run.times ? std::optional<ResponseTimes>(answered.times) : std::nullopt,
                      task.values.run.limits && IsXmlMode(task.mode));
  return std::move(recorder.channels());
}

}  // namespace poolmetrics
