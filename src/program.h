// The run of one sensor request, from the command line to the exit status.
#pragma once

namespace poolmetrics {

// Reads the request and runs it: a single system, a global run, or one
// child's part of a parallel global run. Returns the process's exit status:
// 0 success, 2 an error document, 1 the error block of an RFC error that the
// program found itself. (The RFC library's error handler and the deadline's
// watchdog end the process themselves.)
int RunProgram(int argc, const char* const* argv);

// The exit status when standard output could not be written: the status of
// a failed run, as with an error document.
constexpr int kUndeliveredStatus = 2;

}  // namespace poolmetrics
