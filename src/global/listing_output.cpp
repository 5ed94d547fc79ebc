#include "global/listing_output.h"

#include "base/console.h"
#include "base/text.h"
#include "output/value_formats.h"

namespace poolmetrics {

std::string SummaryText(std::string_view item, unsigned systems, unsigned processed, unsigned failed,
                        unsigned timeouts) {
  std::string text = Concat({"(***) ", item, ": NoSystems=", std::to_string(systems),
                             ", Processed=", std::to_string(processed), ", Failed=", std::to_string(failed)});
  if (timeouts > 0) text += Concat({", Timeout=", std::to_string(timeouts)});
  return text;
}

ListingOutput::ListingOutput(CallerMode mode, std::optional<unsigned> selected_channel, std::string_view item,
                             unsigned names, const Progress& progress)
    : document_(MakeDocumentWriter(mode, selected_channel)), item_(item), progress_(progress), names_(names) {
  document_->Open();
  PrintLine(document_->text());
  document_->clear();
}

void ListingOutput::InProgress(std::string line) {
  OutputLock lock;
  in_progress_ = std::move(line);
}

void ListingOutput::Finished(const ListedSystemOutcome& outcome) {
  OutputLock lock;
  ++finished_;
  ++systems_;
  in_progress_.reset();
  if (!outcome.read) return;
  // The document holds what the last handled system left in it.
  document_->KeyChannelsBy(outcome.label);
  document_->clear();
  WriteChannels(*document_, outcome.channels);
  if (!outcome.failure.empty()) document_->Append(outcome.failure);
  ++(outcome.processed ? processed_ : failed_);
  progress_.SystemDone(*document_, outcome.line, outcome.processed ? kProcessedState : kFailedState);
}

void ListingOutput::End() {
  OutputLock lock;
  WriteSummary(0);
}

void ListingOutput::EndAtDeadline() {
  OutputLock lock;
  if (in_progress_) progress_.SystemDone(*document_, *in_progress_, kTimeoutState);
  unsigned timeouts = names_ - finished_;
  systems_ = names_;
  failed_ += timeouts;
  WriteSummary(timeouts);
}

int ListingOutput::WriteLastWords() {
  EndAtDeadline();
  return 0;
}

void ListingOutput::WriteSummary(unsigned timeouts) {
  if (failures_as_channel_)
    document_->Channel(document_->ChannelName("SUMMARY", kFailedSystemsLabel), FormatInteger(failed_), kCountUnit,
                       ChannelLimit::kFailedSystems);
  document_->Text(SummaryText(item_, systems_, processed_, failed_, timeouts));
  document_->Close();
  PrintLine(document_->text());
  progress_.RunDone();
}

}  // namespace poolmetrics
