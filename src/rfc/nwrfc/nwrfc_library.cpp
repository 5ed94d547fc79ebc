#include "rfc/nwrfc/nwrfc_library.h"

namespace poolmetrics {

NwRfc FindNwRfc(OperationLookup& lookup) {
  // (pointer arguments, 4-byte arguments) of each, for the decorated names.
  NwRfc rfc;
  lookup.Find("RfcOpenConnection", 2, 1, &rfc.RfcOpenConnection);
  lookup.Find("RfcCloseConnection", 2, 0, &rfc.RfcCloseConnection);
  lookup.Find("RfcGetFunctionDesc", 3, 0, &rfc.RfcGetFunctionDesc);
  lookup.Find("RfcCreateFunction", 2, 0, &rfc.RfcCreateFunction);
  lookup.Find("RfcDestroyFunction", 2, 0, &rfc.RfcDestroyFunction);
  lookup.Find("RfcSetChars", 4, 1, &rfc.RfcSetChars);
  lookup.Find("RfcInvoke", 3, 0, &rfc.RfcInvoke);
  lookup.Find("RfcGetStructure", 4, 0, &rfc.RfcGetStructure);
  lookup.Find("RfcGetTable", 4, 0, &rfc.RfcGetTable);
  lookup.Find("RfcGetRowCount", 3, 0, &rfc.RfcGetRowCount);
  lookup.Find("RfcGetInt", 4, 0, &rfc.RfcGetInt);
  lookup.Find("RfcGetChars", 4, 1, &rfc.RfcGetChars);
  lookup.Find("RfcGetDate", 4, 0, &rfc.RfcGetDate);
  lookup.Find("RfcGetTime", 4, 0, &rfc.RfcGetTime);
  lookup.Find("RfcGetString", 5, 1, &rfc.RfcGetString);
  lookup.Find("RfcGetVersion", 3, 0, &rfc.RfcGetVersion);
  lookup.FindOptional("RfcSetIniPath", 2, 0, &rfc.RfcSetIniPath);
  return rfc;
}

}  // namespace poolmetrics
