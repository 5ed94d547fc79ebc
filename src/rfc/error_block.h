// The RFC error block: what the program prints, with exit status 1, when the
// RFC library reports an error (through its error callback, or to the
// program, which then finds the library's error record itself).
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

struct ErrorBlock {
  std::string operation;  // "RfcInstallStructure", "ItCreate TABLE_STATISTIC", or the library's text
  std::string key, status, message, internal_status;
};

// "RFC error", the five label lines, a blank line, "* Programm aborted..."
// and "* Error at EoXput-File...", each ended by a line feed.
std::string ErrorBlockText(const ErrorBlock& block);

// One line of the block: `indent` blanks, the label padded with blanks to
// `width` (a longer label is not cut), " : ", the value, a line feed.
std::string LabelLine(std::string_view label, int indent, int width, std::string_view value);

}  // namespace poolmetrics
