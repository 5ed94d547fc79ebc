// ListingOutput: what a global run prints, fed one system at a time in
// listing order: the document's opening, each system's state line and
// channels, and the summary. The run's deadline can end it at any moment
// with the summary of what had finished; it keeps its state under the output
// lock, so the watchdog sees it whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "run/deadline.h"
#include "run/listed_system.h"
#include "run/progress.h"
#include "run/run_state.h"

namespace poolmetrics {

// The number of names in a listing: every "#" ends one, and so does the end
// of the listing ("A##B" holds three, the empty one included).
unsigned CountListedNames(std::string_view listing);

// Takes the next name off the front of the listing; the end of the listing
// also ends the last name.
std::string_view TakeNextName(std::string_view& listing);

// "(***) ITEM: NoSystems=n, Processed=p, Failed=f", and ", Timeout=k" when
// k > 0 systems ran out of time.
std::string SummaryText(std::string_view item, unsigned systems, unsigned processed, unsigned failed,
                        unsigned timeouts);

class ListingOutput final : public DeadlineHandler {
 public:
  // Makes the run's document in state.Document and prints its opening.
  ListingOutput(RunState& state, const Progress& progress);

  // The system in progress, once its profile is read: its line gets
  // "State=Timeout" should the deadline end the run now.
  void InProgress(std::string line);

  // The next listed system finished.
  void Finished(const ListedSystemOutcome& outcome);

  // The run's end after the last name: the summary, the document's end.
  void End();

  // The run's end at its deadline: the system in progress gets its state
  // line "State=Timeout", the names not reached none; all of them count as
  // failed, and the summary gains ", Timeout=k". NoSystems counts every
  // name of the listing.
  void EndAtDeadline();

  // The deadline's handler of a sequential run: EndAtDeadline, status 0.
  int WriteLastWords() override;

 private:
  void WriteSummary(unsigned timeouts);

  RunState& state_;
  const Progress& progress_;
  unsigned names_;         // in the listing
  unsigned finished_ = 0;  // names finished, in listing order
  std::optional<std::string> in_progress_;
};

}  // namespace poolmetrics
