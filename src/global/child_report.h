// What a parallel run's child reports for each listed name that its parent
// sends it (one at a time on its standard input, a line each), on its
// standard output.
//
// For each name a child writes, in this order: a header with the system's
// line and label, as soon as its profile is read (so the parent can name the
// system should the deadline come during its logon or call); whatever is
// printed while the system is queried (the destination-file line, the RFC
// library's own output), exactly as a sequential run prints it; and at its
// end a record of the outcome, followed by a footer that gives the record's
// length. Then it waits for the next name. The header comes before anything
// else can be printed, and the footer is the last thing written, so the
// library's output between them can be anything. A child whose system ended
// in an RFC error (the library's error handler, or one the program found)
// writes the error block as a record of its own in place of the outcome's,
// and ends; only the parent decides what becomes of it. A child that ended
// without either record ended for some other reason (it was killed, say):
// its system failed, whatever its exit code.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "global/listed_system.h"
#include "rfc/error_block.h"

namespace poolmetrics {

// The header: the system's line and label.
std::string ChildHeader(std::string_view line, std::string_view label);

// The record and its footer: the listed system, its outcome included.
std::string ChildRecord(const ListedSystem& system);

// The record of an RFC error block and its footer.
std::string ChildErrorRecord(const ErrorBlock& block);

// What a child wrote, read back; also from output that is not complete yet.
struct ChildReport {
  std::optional<std::string> line, label;      // from the header: its profile was read
  std::string printed;                         // what the child printed between header and record
  std::optional<ListedSystem> system;  // from the record: the child finished
  std::optional<ErrorBlock> block;     // from an error record: the run ends at this system
  bool finished() const { return system || block; }
  // The run ends at this system: an RFC error, from an error record or as
  // the record's outcome.
  bool EndsRun() const { return block || (system && std::holds_alternative<ErrorBlock>(system->outcome)); }
};
ChildReport ReadChildReport(std::string_view output);

}  // namespace poolmetrics
