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

ListingOutput::ListingOutput(const ListingTask& task, std::string_view item, unsigned names, const Progress& progress)
    : task_(task),
      document_(MakeDocumentWriter(task.mode, task.values.channel)),
      item_(item),
      progress_(progress),
      names_(names) {
  document_->Open();
  PrintLine(document_->text());
  document_->clear();
}

void ListingOutput::InProgress(std::string line) {
  OutputLock lock;
  in_progress_ = std::move(line);
}

void ListingOutput::Finished(const ListedSystem& system) {
  OutputLock lock;
  ++finished_;
  ++systems_;
  in_progress_.reset();
  if (!system.profile) return;
  const ListedProfile& profile = *system.profile;
  // The document holds what the last handled system left in it.
  document_->KeyChannelsBy(profile.label);
  document_->clear();
  const auto* answered = std::get_if<Answered>(&system.outcome);
  if (answered) WriteChannels(*document_, ListedChannels(task_, profile, *answered));
  if (const auto* failed = std::get_if<CallFailed>(&system.outcome))
    document_->Append(CallFailureMessage(failed->failure));
  bool processed = answered && profile.valid;
  ++(processed ? processed_ : failed_);
  progress_.SystemDone(*document_, profile.line, processed ? kProcessedState : kFailedState);
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
