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
// library's output between them can be anything. A child that the RFC error
// handler ended wrote no record: what it printed ends with the error block.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "global/listed_system.h"

namespace poolmetrics {

// The header: the system's line and label.
std::string ChildHeader(std::string_view line, std::string_view label);

// The record and its footer.
std::string ChildRecord(const ListedSystemOutcome& outcome);

// What a child wrote, read back; also from output that is not complete yet.
struct ChildReport {
  std::optional<std::string> line, label;      // from the header: its profile was read
  std::string printed;                         // what the child printed between header and record
  std::optional<ListedSystemOutcome> outcome;  // from the record: the child finished
};
ChildReport ReadChildReport(std::string_view output);

}  // namespace poolmetrics
