// Which RFC library serves the run.
#include "rfc/classic/classic_session.h"
#include "rfc/session.h"

namespace poolmetrics {

RfcLibrary* LoadRfcLibrary(std::string* failure) { return ClassicRfcLibrary(failure); }

}  // namespace poolmetrics
