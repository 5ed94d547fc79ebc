// A system's outcome as fields (base/wire_fields.h): how an answer file
// keeps it (run/cached_answer.h) and how a parallel run's child hands it to
// its parent (global/child_report.h). Every kind of outcome reads back as
// it was written; a password is in none of them.
#pragma once

#include <optional>
#include <string>

#include "base/wire_fields.h"
#include "run/query_system.h"

namespace poolmetrics {

// Appends `outcome`: its kind ("answered", "call failed", "logon refused",
// "logon refused here", "not tried", "error block") and its fields.
void AppendOutcome(std::string& out, const SystemOutcome& outcome);

// The outcome that the next fields hold; none when they hold none whole.
std::optional<SystemOutcome> ReadOutcome(FieldReader& fields);

}  // namespace poolmetrics
