#include "global/child_run.h"

#include <string>

#include "base/child_process.h"
#include "base/console.h"
#include "global/child_report.h"
#include "global/listed_system.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

// What ends a child's system in an RFC error goes to its parent as a
// record: the parent decides what the run prints of it.
void ReportToParent(const ErrorBlock& block) {
  Print(ChildErrorRecord(block));
  OutputDelivered();
}

}  // namespace

int RunListedSystemChild(const ListingTask& task, RfcLibrary& library, Deadline& deadline) {
  SetErrorBlockReporter(&ReportToParent);
  std::string name;
  while (ReadParentLine(name)) {
    ListedSystem system = QueryListedSystem(
        task, name, library,
        [](const std::string& line, const std::string& label) {
          // Out at once: should the deadline come during the logon, the
          // parent names the system.
          Print(ChildHeader(line, label));
          OutputDelivered();
        },
        deadline);
    if (auto* block = std::get_if<ErrorBlock>(&system.outcome)) throw RunFailure(std::move(*block));
    Print(ChildRecord(system));
    OutputDelivered();  // the parent waits for it
  }
  return 0;
}

}  // namespace poolmetrics
