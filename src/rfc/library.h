// The RFC library that serves the run: the one loader of both vendor
// libraries and the choice between them.
#pragma once

#include <string>

#include "rfc/session.h"

namespace poolmetrics {

// The library that serves this run, loaded at its first need (not at
// start-up, so that every error before a logon works without one) and kept
// for the rest of the process: the classic library when it loads and has
// all its operations, else the NetWeaver library, each from the program's
// own folder first, then through the system's search. Null when neither
// serves, with `failure` then holding message 1031, which names both and
// why: "Error 1031: " + the classic library's reason + ", " + the NetWeaver
// library's + "...".
//
// No library file is ever unloaded, whether it serves or not: the library's
// error handler, connections, handles and cached function descriptions are
// in use until the process ends, and unloading it at exit would only pull
// its code away under whatever it still holds.
RfcLibrary* LoadRfcLibrary(std::string* failure);

}  // namespace poolmetrics
