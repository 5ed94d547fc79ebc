// The output document: the one text a run prints, built by the frame
// operations below, the channel writer and the sensor sections.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "run/run_state.h"

namespace poolmetrics {

// What the document reserves at start-up: enough for any single-system
// document (fourteen channels in the XML form take about 2,000 characters).
// A global run that names many sensor types grows it further; it is never cut.
constexpr std::size_t kDocumentReserve = 4096;

// Frame operations; each acts according to the run's caller mode.
void OpenDocument(RunState& state);
void OpenText(RunState& state);
void CloseText(RunState& state);
void CloseDocument(RunState& state);

// Appends free text (a section header, the listing summary, a failed call's
// message in a global run) to the document. In the PRTG XML modes "&", "<"
// and ">" are escaped, so that a profile or item named "R&D" still gives a
// document that the monitoring host can read; bytes that are not UTF-8 are
// written as references to the characters of the platform's legacy code
// page, control characters as "?". The line forms are not XML: they take the
// text as it is, but with every control character as "?" (LineText), so
// that no text from a file can start a line of its own.
void AppendText(RunState& state, std::string_view text);

// A line printed inside the document (the state lines of a global run): as
// AppendText would put it there, and without any control character, tabs
// and line ends included, in every mode.
std::string DocumentLine(CallerMode mode, std::string_view text);

// Replaces the document by the PRTG error document carrying `message`, in
// every caller mode. The message is escaped as AppendText does in the XML
// modes, and kept whole, so the document is always complete and well-formed.
void WriteErrorDocument(RunState& state, std::string_view message);

}  // namespace poolmetrics
