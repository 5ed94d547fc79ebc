// A library under the NetWeaver RFC library's file name that lacks one
// operation, RfcInvoke, for the end-to-end scenarios of a broken
// installation: the program must refuse it with message 1031 before it
// calls anything. The other fifteen operations are exported as the emulated
// library exports them and fail.
#include "rfc/nwrfc/nwrfc_api.h"

#if defined(_WIN32)
#define NWINCOMPLETE_EXPORT __declspec(dllexport)
#else
#define NWINCOMPLETE_EXPORT __attribute__((visibility("default")))
#endif

using namespace nwrfc;

extern "C" {

NWINCOMPLETE_EXPORT RFC_CONNECTION_HANDLE NWRFC_API RfcOpenConnection(const RFC_CONNECTION_PARAMETER*, unsigned,
                                                                      RFC_ERROR_INFO*) {
  return nullptr;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcCloseConnection(RFC_CONNECTION_HANDLE, RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_FUNCTION_DESC_HANDLE NWRFC_API RfcGetFunctionDesc(RFC_CONNECTION_HANDLE, const SAP_UC*,
                                                                          RFC_ERROR_INFO*) {
  return nullptr;
}
NWINCOMPLETE_EXPORT RFC_FUNCTION_HANDLE NWRFC_API RfcCreateFunction(RFC_FUNCTION_DESC_HANDLE, RFC_ERROR_INFO*) {
  return nullptr;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcDestroyFunction(RFC_FUNCTION_HANDLE, RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcSetChars(DATA_CONTAINER_HANDLE, const SAP_UC*, const RFC_CHAR*, unsigned,
                                                 RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetStructure(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_STRUCTURE_HANDLE*,
                                                     RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetTable(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_TABLE_HANDLE*,
                                                 RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetRowCount(RFC_TABLE_HANDLE, unsigned*, RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetInt(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT*, RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetChars(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_CHAR*, unsigned,
                                                 RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetDate(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_DATE, RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetTime(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_TIME, RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT RFC_RC NWRFC_API RfcGetString(DATA_CONTAINER_HANDLE, const SAP_UC*, SAP_UC*, unsigned, unsigned*,
                                                  RFC_ERROR_INFO*) {
  return RFC_INVALID_HANDLE;
}
NWINCOMPLETE_EXPORT const SAP_UC* NWRFC_API RfcGetVersion(unsigned*, unsigned*, unsigned*) { return nullptr; }

}  // extern "C"
