#include "global/listed_system.h"

#include "output/sensor_evaluation.h"
#include "profile/listed_name.h"
#include "profile/system_definition.h"
#include "run/progress.h"
#include "run/answer_store.h"
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

// The system's answer: with "CACHE=n" one kept by a run on this machine
// less than n seconds ago, else what the query gives, which is kept in turn.
// Only a valid definition shares answers: a global run still tries an
// invalid one, but what it gets must never serve a valid profile.
SystemOutcome QueryThroughStore(const ListingTask& task, const SystemDefinition& system, bool valid,
                                RfcLibrary& library, LogonEvents& events) {
  std::optional<unsigned> seconds = task.values.run.cache;
  if (!seconds || !valid || !UsableForLogon(system)) return QuerySystem(library, system, task.values, events);
  std::string unused;
  std::optional<AnswerStore> store = AnswerStore::Open(&unused);
  if (!store) {
    events.AnswerStoreUnused(unused);
    return QuerySystem(library, system, task.values, events);
  }
  // Waiting for the key's turn counts as the logon.
  MarkQueryStep(QueryStep::kLogon, system.Destination);
  std::optional<AnswerStore::Turn> turn;
  if (std::optional<KeptAnswer> kept =
          store->Consult(AnswerKey(LogonOf(system, task.values)), *seconds, turn, &unused)) {
    events.AnswerKept(kept->fetched_time);
    return std::move(kept->outcome);
  }
  if (!turn) events.AnswerStoreUnused(unused);
  SystemOutcome queried = QuerySystem(library, system, task.values, events);
  if (turn) turn->Keep(queried, library.TraceFile());
  return queried;
}

}  // namespace

ListedSystemOutcome QueryListedSystem(const ListingTask& task, std::string_view name, RfcLibrary& library,
                                      const ProfileReadHook& read) {
  ListedSystemOutcome outcome;
  // A name or path cut to its field would open another file, if any; a name
  // that leads out of the profile directory, or to a device, names no profile
  // of this listing.
  constexpr std::size_t kNameCapacity = 63;
  FixedText<96> path(task.profile_directory);
  path += name;
  if (name.size() > kNameCapacity || task.profile_directory.size() + name.size() > path.kCapacity ||
      !StaysInProfileDirectory(name))
    return outcome;
  File profile = File::OpenRead(path.c_str());
  if (!profile) return outcome;

  SystemDefinition system;
  // An invalid definition is still tried, but never counts as processed.
  UserAndPassword logon = task.credentials ? UserAndPassword::kFromElsewhere : UserAndPassword::kFromProfile;
  bool valid = ReadSystemDefinition(std::move(profile), ReadMode::kListing, system, logon).empty();
  if (task.credentials) TakeUserAndPassword(system, task.credentials->user, task.credentials->password);
  outcome.read = true;
  // Each line holds 123 characters, as it always has.
  outcome.line = std::string(FixedText<124>(SystemLine(name, system)));
  outcome.label = std::string(SystemLabelOf(task.label_kind, name, system));
  if (read) read(outcome.line, outcome.label);

  ChannelRecorder recorder(task.mode);
  LogonEvents events(task.show_progress, &recorder);
  SystemOutcome queried = QueryThroughStore(task, system, valid, library, events);
  std::visit(Overloaded{
                 [&](Answered& answered) {
                   WriteSensorSections(recorder, *answered.statistic, task.sensors, system.Destination, true,
                                       task.values.run.times ? std::optional<ResponseTimes>(answered.times)
                                                             : std::nullopt,
                                       task.values.run.limits && IsXmlMode(task.mode));
                   outcome.processed = valid;
                 },
                 [&](CallFailed& failed) { outcome.failure = CallFailureMessage(failed.failure); },
                 [](LogonRefused&) {},
                 [](NotTried&) {},
                 [&](ErrorBlock& block) { outcome.block = std::move(block); },
             },
             queried);
  outcome.channels = std::move(recorder.channels());
  return outcome;
}

}  // namespace poolmetrics
