// The task of a parallel run's child and its wire form. The parent starts
// each child with the command line kChildMark + the task in one argument
// (run/command_line.h reads it into Request::ChildTask); the child then
// takes listed names one at a time (global/child_run.h). The argument is
// printable ASCII without blanks or quotes, whatever the task holds, so it
// reaches the child byte for byte through any code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "global/listing_task.h"

namespace poolmetrics {

struct ChildTask {
  ListingTask listing;
  // Until the child ends itself, should its parent be gone: the run's time
  // left and a grace; none when the run has no deadline.
  std::optional<unsigned> milliseconds_left;
};

// The arguments (after the program's name) that start a child for `task`.
std::vector<std::string> ChildArguments(const ChildTask& task);

// The task of its wire form (the argument after kChildMark); none for any
// text that is not one.
std::optional<ChildTask> ReadChildTask(std::string_view argument);

}  // namespace poolmetrics
