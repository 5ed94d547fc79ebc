#include "run/global_run.h"

#include <string>

#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "run/query_system.h"
#include "profile/listed_name.h"
#include "profile/system_definition.h"
#include "rfc/session.h"
#include "base/console.h"
#include "run/progress.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

// Takes the next name off the front of the listing; the end of the listing
// also ends the last name.
std::string_view TakeNextName(std::string_view& listing) {
  std::size_t end = listing.find('#');
  std::string_view name = listing.substr(0, end);
  listing = end == std::string_view::npos ? std::string_view() : listing.substr(end + 1);
  return name;
}

void SetSystemLabel(RunState& state) {
  std::string_view name = state.ProfileName;
  switch (state.LabelKind) {
    case SystemLabelKind::kProfile: state.SystemLabel = name; break;
    case SystemLabelKind::kAlias: state.SystemLabel = name.size() >= 4 ? name.substr(0, name.size() - 4) : ""; break;
    case SystemLabelKind::kHost: state.SystemLabel = state.System.Hostname; break;
    case SystemLabelKind::kSid: state.SystemLabel = state.System.Destination; break;
  }
  state.Document->KeyChannelsBy(state.SystemLabel);
}

// Handles one listed system. A profile that cannot be opened is skipped
// without a word: it counts only among the listed systems.
void RunListedSystem(RunState& state, RfcLibrary& library, Progress& progress, std::string_view name) {
  state.ProfileName = name;
  state.ProfilePath = state.ProfileDirectory;
  state.ProfilePath += name;
  // A name or path cut to its field would open another file, if any; a name
  // that leads out of the profile directory, or to a device, names no profile
  // of this listing.
  if (name.size() > state.ProfileName.kCapacity ||
      state.ProfileDirectory.size() + name.size() > state.ProfilePath.kCapacity || !StaysInProfileDirectory(name))
    return;
  File profile = File::OpenRead(state.ProfilePath.c_str());
  if (!profile) return;

  state.System = SystemDefinition();
  bool valid = ReadSystemDefinition(std::move(profile), ReadMode::kListing, state.System).empty();
  SetSystemLabel(state);
  progress.SystemRead(name, state.System);

  state.Document->clear();
  LogonEvents events(progress, state.Document.get());
  SystemResult result = QuerySystem(library, state.System, valid, state.request.Values, events);
  if (result.block) throw RunFailure(std::move(*result.block));
  if (result.statistic)
    WriteSensorSections(*state.Document, *result.statistic, state.request.Sensors, state.System.Destination, true);
  if (result.failure) state.Document->Append(CallFailureMessage(*result.failure));

  ++(result.processed ? state.ProcessedCount : state.FailedCount);
  progress.SystemDone(*state.Document, result.processed);
}

}  // namespace

int RunSystemListing(RunState& state, RfcLibrary& library, Progress& progress) {
  progress.LibraryUsed(library);
  state.Document = MakeDocumentWriter(state.request.Mode, state.request.Values.channel);
  state.Document->Open();
  PrintLine(state.Document->text());
  state.Document->clear();

  std::string_view listing = state.ServerListing;
  while (!listing.empty()) {
    ++state.SystemCount;
    RunListedSystem(state, library, progress, TakeNextName(listing));
  }

  state.Document->Text(Concat({"(***) ", state.request.ItemName, ": NoSystems=", std::to_string(state.SystemCount), ", Processed=",
                            std::to_string(state.ProcessedCount), ", Failed=", std::to_string(state.FailedCount)}));
  state.Document->Close();
  PrintLine(state.Document->text());
  progress.RunDone();
  return 0;
}

}  // namespace poolmetrics
