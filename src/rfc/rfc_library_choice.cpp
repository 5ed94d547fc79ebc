// Which RFC library serves the run: the classic one, the program's first,
// when it loads and has all its operations; else the NetWeaver RFC library,
// the one SAP supports today. A classic library of the wrong width (the
// 32-bit DLL beside the 64-bit program) simply does not load.
#include "rfc/classic/classic_session.h"
#include "rfc/nwrfc/nwrfc_session.h"
#include "rfc/session.h"

namespace poolmetrics {

RfcLibrary* LoadRfcLibrary(std::string* failure) {
  static RfcLibrary* chosen = nullptr;
  if (chosen) return chosen;
  std::string classic_reason, nwrfc_reason;
  chosen = ClassicRfcLibrary(&classic_reason);
  if (!chosen) chosen = NetWeaverRfcLibrary(&nwrfc_reason);
  if (!chosen) *failure = "Error 1031: " + classic_reason + ", " + nwrfc_reason + "...";
  return chosen;
}

}  // namespace poolmetrics
