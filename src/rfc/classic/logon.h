// The RFC connection to the system of the current SystemDefinition.
#pragma once

#include <cstdint>

#include "run/run_state.h"

namespace poolmetrics {

// Logs on to the system that state.System describes: through a destination
// ini file ("SapRfc." + Destination, copied over "SapRfc.ini") and
// RfcOpenEx when there is one, otherwise with RfcOpen. Returns the
// connection handle, 0 when no connection was opened.
std::uint32_t OpenConnection(const RunState& state);

// Closes the connection, if any, and sets the handle back to 0.
void CloseConnection(RunState& state);

}  // namespace poolmetrics
