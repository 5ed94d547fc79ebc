#include "global/listing_schedule.h"

namespace poolmetrics {

ListingSchedule::ListingSchedule(std::size_t names, unsigned width)
    : finished_(names, false), width_(width > 0 ? width : 1) {}

std::optional<std::size_t> ListingSchedule::NextToStart() {
  if (waiting_ || running_ >= width_ || started_ >= finished_.size()) return std::nullopt;
  ++running_;
  return started_++;
}

void ListingSchedule::StartFailed(std::size_t index) {
  if (index + 1 != started_ || running_ == 0) return;
  --started_;
  --running_;
  waiting_ = running_ > 0;
}

void ListingSchedule::Finished(std::size_t index) {
  if (index >= finished_.size() || finished_[index]) return;
  finished_[index] = true;
  if (running_ > 0) --running_;
  waiting_ = false;
}

void ListingSchedule::StopAfter(std::size_t index) {
  if (index + 1 < finished_.size()) finished_.resize(index + 1);
  if (started_ > finished_.size()) started_ = finished_.size();
}

std::optional<std::size_t> ListingSchedule::NextToPrint() {
  if (printed_ >= finished_.size() || !finished_[printed_]) return std::nullopt;
  return printed_++;
}

}  // namespace poolmetrics
