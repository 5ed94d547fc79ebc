// The classic RFC library behind the session interface.
#pragma once

#include <memory>
#include <string>

#include "rfc/session.h"

namespace poolmetrics {

// The classic library as the run's RfcLibrary, or null with the reason in
// `failure` when it cannot be loaded or lacks an operation.
RfcLibrary* ClassicRfcLibrary(std::string* failure);

}  // namespace poolmetrics
