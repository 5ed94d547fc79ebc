// How a run reports an RFC error block that ends it (rfc/error_block.h).
#pragma once

#include "rfc/error_block.h"

namespace poolmetrics {

// Where the document must stand alone (PRTG's mode): the error document of
// message 1036 in place of whatever the run had begun of its document, and
// the block on standard error. Standard output then still holds one
// document, and the SAP system's message reaches PRTG.
void ReportBesideErrorDocument(const ErrorBlock& block);

}  // namespace poolmetrics
