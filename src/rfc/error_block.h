// The RFC error block: what the program reports, with exit status 1, when
// the RFC library reports an error (through the library's error callback,
// or to the program, which then finds the library's error record itself).
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

struct ErrorBlock {
  // The library operation that failed (with the table it concerned, where
  // there is one), as the program names it, or the text the library's own
  // error report gave.
  std::string operation;
  std::string key, status, message, internal_status;
};

// "RFC error", the five label lines, a blank line, "* Programm aborted..."
// and "* Error at EoXput-File...", each ended by a line feed.
std::string ErrorBlockText(const ErrorBlock& block);

// How the run reports a block that ends it: the error block on standard
// output, or, where the document must stand alone, an error document on
// standard output and the block on standard error, or, in a parallel run's
// child, a record for its parent. Set once by the run before the library is
// loaded; the library's error callback calls it too, on whatever thread the
// library calls from, so it must print without returning into the library
// state (it takes the output lock).
using ErrorBlockReporter = void (*)(const ErrorBlock& block);
void SetErrorBlockReporter(ErrorBlockReporter reporter);
// Reports `block` through the reporter that was set (without one: the
// block's text printed on standard output).
void ReportErrorBlock(const ErrorBlock& block);

// One line of the block: `indent` blanks, the label padded with blanks to
// `width` (a longer label is not cut), " : ", the value, a line feed.
std::string LabelLine(std::string_view label, int indent, int width, std::string_view value);

}  // namespace poolmetrics
