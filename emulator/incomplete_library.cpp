// A library under the RFC library's file name that lacks one operation,
// RfcOpenEx, for the end-to-end scenario of a broken installation: the
// program must refuse it with message 1031 before it calls anything. The
// other ten operations are exported as the emulated library exports them
// and do nothing.
#include "rfc/classic/rfc_api.h"

#if defined(_WIN32)
#define RFCINCOMPLETE_EXPORT __declspec(dllexport)
#else
#define RFCINCOMPLETE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

RFCINCOMPLETE_EXPORT void RFC_STDCALL RfcEnvironment(RFC_ENV*) {}
RFCINCOMPLETE_EXPORT RFC_HANDLE RFC_STDCALL RfcOpen(RFC_OPTIONS*) { return RFC_HANDLE_NULL; }
RFCINCOMPLETE_EXPORT RFC_RC RFC_STDCALL RfcInstallStructure(char*, RFC_TYPE_ELEMENT*, unsigned, RFC_TYPEHANDLE*) {
  return RFC_FAILURE;
}
RFCINCOMPLETE_EXPORT RFC_RC RFC_STDCALL RfcCall(RFC_HANDLE, char*, RFC_PARAMETER*, RFC_TABLE*) { return RFC_FAILURE; }
RFCINCOMPLETE_EXPORT RFC_RC RFC_STDCALL RfcReceive(RFC_HANDLE, RFC_PARAMETER*, RFC_TABLE*, char**) {
  return RFC_FAILURE;
}
RFCINCOMPLETE_EXPORT int RFC_STDCALL RfcLastError(RFC_ERROR_INFO*) { return 1; }
RFCINCOMPLETE_EXPORT void RFC_STDCALL RfcClose(RFC_HANDLE) {}
RFCINCOMPLETE_EXPORT ITAB_H RFC_STDCALL ItCreate(char*, unsigned, unsigned, unsigned) { return nullptr; }
RFCINCOMPLETE_EXPORT unsigned RFC_STDCALL ItFill(ITAB_H) { return 0; }
RFCINCOMPLETE_EXPORT int RFC_STDCALL ItDelete(ITAB_H) { return 1; }

}  // extern "C"
