#include "run/listing_output.h"

#include "base/console.h"
#include "base/text.h"

namespace poolmetrics {

unsigned CountListedNames(std::string_view listing) {
  unsigned names = 0;
  while (!listing.empty()) {
    TakeNextName(listing);
    ++names;
  }
  return names;
}

std::string_view TakeNextName(std::string_view& listing) {
  std::size_t end = listing.find('#');
  std::string_view name = listing.substr(0, end);
  listing = end == std::string_view::npos ? std::string_view() : listing.substr(end + 1);
  return name;
}

std::string SummaryText(std::string_view item, unsigned systems, unsigned processed, unsigned failed,
                        unsigned timeouts) {
  std::string text = Concat({"(***) ", item, ": NoSystems=", std::to_string(systems),
                             ", Processed=", std::to_string(processed), ", Failed=", std::to_string(failed)});
  if (timeouts > 0) text += Concat({", Timeout=", std::to_string(timeouts)});
  return text;
}

ListingOutput::ListingOutput(RunState& state, const Progress& progress)
    : state_(state), progress_(progress), names_(CountListedNames(state.ServerListing)) {
  state_.Document = MakeDocumentWriter(state_.request.Mode, state_.request.Values.channel);
  state_.Document->Open();
  PrintLine(state_.Document->text());
  state_.Document->clear();
}

void ListingOutput::InProgress(std::string line) {
  OutputLock lock;
  in_progress_ = std::move(line);
}

void ListingOutput::Finished(const ListedSystemOutcome& outcome) {
  OutputLock lock;
  ++finished_;
  ++state_.SystemCount;
  in_progress_.reset();
  if (!outcome.read) return;
  // The document holds what the last handled system left in it.
  DocumentWriter& document = *state_.Document;
  document.KeyChannelsBy(outcome.label);
  document.clear();
  WriteChannels(document, outcome.channels);
  if (!outcome.failure.empty()) document.Append(outcome.failure);
  ++(outcome.processed ? state_.ProcessedCount : state_.FailedCount);
  progress_.SystemDone(document, outcome.line, outcome.processed ? kProcessedState : kFailedState);
}

void ListingOutput::End() {
  OutputLock lock;
  WriteSummary(0);
}

void ListingOutput::EndAtDeadline() {
  OutputLock lock;
  if (in_progress_) progress_.SystemDone(*state_.Document, *in_progress_, kTimeoutState);
  unsigned timeouts = names_ - finished_;
  state_.SystemCount = names_;
  state_.FailedCount += timeouts;
  WriteSummary(timeouts);
}

int ListingOutput::WriteLastWords() {
  EndAtDeadline();
  return 0;
}

void ListingOutput::WriteSummary(unsigned timeouts) {
  state_.Document->Text(
      SummaryText(state_.request.ItemName, state_.SystemCount, state_.ProcessedCount, state_.FailedCount, timeouts));
  state_.Document->Close();
  PrintLine(state_.Document->text());
  progress_.RunDone();
}

}  // namespace poolmetrics
