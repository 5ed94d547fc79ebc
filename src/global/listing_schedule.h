// The schedule of a parallel global run.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace poolmetrics {

// Which listed systems run when, and which may be printed: up to `width`
// at once, started in listing order, printed strictly in listing order as
// soon as every system before them was.
class ListingSchedule {
 public:
  ListingSchedule(std::size_t names, unsigned width);

  // The next system to start, when a place is free and one is left.
  std::optional<std::size_t> NextToStart();
  // The system just given by NextToStart could not be started: it is handed
  // out again once another has finished (at once when none runs).
  void StartFailed(std::size_t index);
  void Finished(std::size_t index);
  // The run ends at this system: none after it is started or printed.
  void StopAfter(std::size_t index);
  // The next system to print, once it and every one before it finished.
  std::optional<std::size_t> NextToPrint();

  // Systems running now.
  unsigned running() const { return running_; }
  // The systems printed so far are those before this one, which is the
  // first not printed (the one a deadline finds in progress).
  std::size_t printed() const { return printed_; }
  bool done() const { return printed_ == finished_.size(); }

 private:
  std::vector<bool> finished_;
  unsigned width_;
  unsigned running_ = 0;
  bool waiting_ = false;  // for a system to finish before the next start
  std::size_t started_ = 0;
  std::size_t printed_ = 0;
};

}  // namespace poolmetrics
