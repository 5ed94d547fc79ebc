// ListingOutput: what a global run prints, fed one system at a time in
// listing order: the document's opening, each system's state line and
// channels, and the summary. It owns the run's document and what the run
// counts. The run's deadline can end it at any moment with the summary of
// what had finished; it keeps its state under the output lock, so the
// watchdog sees it whole.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "global/listed_system.h"
#include "global/listing_task.h"
#include "output/document_writer.h"
#include "run/deadline.h"
#include "run/progress.h"

namespace poolmetrics {

// "(***) ITEM: NoSystems=n, Processed=p, Failed=f", and ", Timeout=k" when
// k > 0 systems ran out of time.
std::string SummaryText(std::string_view item, unsigned systems, unsigned processed, unsigned failed,
                        unsigned timeouts);

class ListingOutput final : public ListingSummary {
 public:
  // Makes the run's document in the form of the task's mode, with its
  // channel selection, and prints its opening. `names`: how many names the
  // listing holds; `item`: the item name of the summary. `task` and
  // `progress` must outlive the output.
  ListingOutput(const ListingTask& task, std::string_view item, unsigned names, const Progress& progress);

  // LIMITS in an XML form: the summary text follows a channel "Failed
  // systems" with PRTG's error limit 0, so a failing system turns the
  // sensor red.
  void ShowFailuresAsChannel() { failures_as_channel_ = true; }

  // The system in progress, once its profile is read: its line gets
  // "State=Timeout" should the deadline end the run now.
  void InProgress(std::string line);

  // The next listed system finished (not in an RFC error, which ends the
  // run): its state line, and its channels or its failed call's message.
  void Finished(const ListedSystem& system);

  // The run's end after the last name: the summary, the document's end.
  void End();

  // The run's end at its deadline: the system in progress gets its state
  // line "State=Timeout", the names not reached none; all of them count as
  // failed, and the summary gains ", Timeout=k". NoSystems counts every
  // name of the listing. The run's last words at its deadline.
  void EndAtDeadline() override;

 private:
  void WriteSummary(unsigned timeouts);

  const ListingTask& task_;
  std::unique_ptr<DocumentWriter> document_;
  std::string item_;
  const Progress& progress_;
  unsigned names_;         // in the listing
  unsigned finished_ = 0;  // names finished, in listing order
  unsigned systems_ = 0, processed_ = 0, failed_ = 0;
  std::optional<std::string> in_progress_;
  bool failures_as_channel_ = false;
};

}  // namespace poolmetrics
