#include "global/child_run.h"

#include <string>

#include "base/child_process.h"
#include "base/console.h"
#include "global/child_report.h"
#include "global/listed_system.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

// A child's last words at its own deadline: none. By then its parent has
// ended it, unless the parent itself was ended.
class ChildDeadline final : public DeadlineHandler {
 public:
  int WriteLastWords() override { return 2; }
};

// What ends a child's system in an RFC error goes to its parent as a
// record: the parent decides what the run prints of it.
void ReportToParent(const ErrorBlock& block) {
  Print(ChildErrorRecord(block));
  OutputDelivered();
}

}  // namespace

int RunListedSystemChild(const ListingTask& task, RfcLibrary& library, const Deadline& deadline) {
  SetErrorBlockReporter(&ReportToParent);
  ChildDeadline last_words;
  std::optional<ErrorBlock> block;
  {
    DeadlineWatch watch(deadline, last_words);
    std::string name;
    while (ReadParentLine(name)) {
      ListedSystemOutcome outcome =
          QueryListedSystem(task, name, library, [](const std::string& line, const std::string& label) {
            // Out at once: should the deadline come during the logon, the
            // parent names the system.
            Print(ChildHeader(line, label));
            OutputDelivered();
          });
      if (outcome.block) {
        block = std::move(outcome.block);
        break;
      }
      Print(ChildRecord(outcome));
      OutputDelivered();  // the parent waits for it
    }
  }
  if (block) throw RunFailure(std::move(*block));
  return 0;
}

}  // namespace poolmetrics
