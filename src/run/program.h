// The run of one sensor request, from the command line to the exit status.
#pragma once

namespace poolmetrics {

// Runs the request and returns the process's exit status: 0 success, 2 an
// error document. (Status 1, an RFC error, ends the process in the error
// handler itself.)
int RunProgram(int argc, const char* const* argv);

// The exit status when standard output could not be written: the status of
// a failed run, as with an error document.
constexpr int kUndeliveredStatus = 2;

}  // namespace poolmetrics
