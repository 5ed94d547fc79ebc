#include "rfc/classic/classic_library.h"

namespace poolmetrics {

ClassicRfc FindClassicRfc(OperationLookup& lookup) {
  // (pointer arguments, 4-byte arguments) of each, for the decorated names.
  ClassicRfc rfc;
  lookup.Find("RfcEnvironment", 1, 0, &rfc.RfcEnvironment);
  lookup.Find("RfcOpen", 1, 0, &rfc.RfcOpen);
  lookup.Find("RfcOpenEx", 2, 0, &rfc.RfcOpenEx);
  lookup.Find("RfcInstallStructure", 3, 1, &rfc.RfcInstallStructure);
  lookup.Find("RfcCall", 3, 1, &rfc.RfcCall);
  lookup.Find("RfcReceive", 3, 1, &rfc.RfcReceive);
  lookup.Find("RfcLastError", 1, 0, &rfc.RfcLastError);
  lookup.Find("RfcClose", 0, 1, &rfc.RfcClose);
  lookup.Find("ItCreate", 1, 3, &rfc.ItCreate);
  lookup.Find("ItFill", 1, 0, &rfc.ItFill);
  lookup.Find("ItDelete", 1, 0, &rfc.ItDelete);
  return rfc;
}

}  // namespace poolmetrics
