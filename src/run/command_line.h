// The command line of a sensor request, the one place that reads it: the
// program's file name (the caller mode), the profile name, two parameter
// words, and the run-control keywords of any arguments after them.
#pragma once

#include <string_view>

#include "run/request.h"

namespace poolmetrics {

// Stands in place of a profile name on the command line of a parallel
// global run's child, followed by the child's task in one argument. A colon
// cannot stand in a Windows file name, and no monitoring host sends it.
constexpr std::string_view kChildMark = "::listed-systems";

// Reads the arguments (argv[0] is the program) into a Request. The
// arguments after the two parameter words are otherwise ignored, but a
// run-control keyword there ("TIMEOUT=30", "TIMES") counts as one in the
// parameters (those win where both give one). No argument: RunFailure with
// message 1001; a run-control value out of its range, or a "NAME=" word
// that names no keyword: message 1035.
Request ReadCommandLine(int argc, const char* const* argv);

}  // namespace poolmetrics
