// The output document: the one text a run prints, built by the frame
// operations below, the channel writer and the sensor sections.
#pragma once

#include <string>
#include <string_view>

#include "run/run_state.h"

namespace poolmetrics {

// Frame operations; each acts according to the run's caller mode.
void OpenDocument(RunState& state);
void OpenText(RunState& state);
void CloseText(RunState& state);
void CloseDocument(RunState& state);

// Appends free text (a section header, the listing summary) to the document.
// In the PRTG XML modes "&", "<" and ">" are escaped, so that a profile or
// item named "R&D" still gives a document that the monitoring host can read;
// the line forms are not XML and take the text as it is.
void AppendText(RunState& state, std::string_view text);

// A line printed inside the document (the state lines of a global run), as
// AppendText would put it there.
std::string DocumentLine(CallerMode mode, std::string_view text);

// Replaces the document by the PRTG error document carrying `message`, in
// every caller mode. The message is escaped and, if need be, shortened so
// that the document always stays complete and well-formed.
void WriteErrorDocument(RunState& state, std::string_view message);

}  // namespace poolmetrics
