// The binary interface of SAP's NetWeaver RFC library (sapnwrfc.dll,
// libsapnwrfc.so), written from its public SDK documentation: the types and
// the operations that the program and the emulated landscape use. Only
// src/rfc/nwrfc/ and the emulated library in emulator/ include this file.
//
// Everything lives in namespace nwrfc: the classic library (rfc_api.h) uses
// several of the same names (RFC_RC, RFC_OK, RFC_ERROR_INFO) for different
// things, and code that knows both must be able to tell them apart.
//
// Texts cross the boundary as UTF-16 code units (SAP_UC); the fixed-length
// getters fill exactly the given length without a terminator, RfcGetString
// terminates. The library is loaded at run time, never linked, so the
// operations are declared as function pointer types.
#pragma once

#include <cstddef>

#if defined(_WIN32)
#define NWRFC_API __stdcall
#else
#define NWRFC_API
#endif

namespace nwrfc {

#if defined(_WIN32)
typedef wchar_t SAP_UC;
#else
typedef char16_t SAP_UC;
#endif
typedef SAP_UC RFC_CHAR;
typedef int RFC_INT;
typedef SAP_UC RFC_DATE[8];  // YYYYMMDD
typedef SAP_UC RFC_TIME[6];  // HHMMSS

typedef enum {
  RFC_OK = 0,
  RFC_COMMUNICATION_FAILURE = 1,
  RFC_LOGON_FAILURE = 2,
  RFC_ABAP_RUNTIME_FAILURE = 3,
  RFC_ABAP_MESSAGE = 4,
  RFC_ABAP_EXCEPTION = 5,
  RFC_CLOSED = 6,
  RFC_CANCELED = 7,
  RFC_TIMEOUT = 8,
  RFC_MEMORY_INSUFFICIENT = 9,
  RFC_VERSION_MISMATCH = 10,
  RFC_INVALID_PROTOCOL = 11,
  RFC_SERIALIZATION_FAILURE = 12,
  RFC_INVALID_HANDLE = 13,
  RFC_RETRY = 14,
  RFC_EXTERNAL_FAILURE = 15,
  RFC_EXECUTED = 16,
  RFC_NOT_FOUND = 17,
  RFC_NOT_SUPPORTED = 18,
  RFC_ILLEGAL_STATE = 19,
  RFC_INVALID_PARAMETER = 20,
  RFC_CODEPAGE_CONVERSION_FAILURE = 21,
  RFC_CONVERSION_FAILURE = 22,
  RFC_BUFFER_TOO_SMALL = 23,
  RFC_TABLE_MOVE_BOF = 24,
  RFC_TABLE_MOVE_EOF = 25,
  RFC_START_SAPGUI_FAILURE = 26,
  RFC_ABAP_CLASS_EXCEPTION = 27,
  RFC_UNKNOWN_ERROR = 28,
  RFC_AUTHORIZATION_FAILURE = 29,
  RFC_AUTHENTICATION_FAILURE = 30,
} RFC_RC;

typedef enum {
  OK = 0,
  ABAP_APPLICATION_FAILURE = 1,
  ABAP_RUNTIME_FAILURE = 2,
  LOGON_FAILURE = 3,
  COMMUNICATION_FAILURE = 4,
  EXTERNAL_RUNTIME_FAILURE = 5,
  EXTERNAL_APPLICATION_FAILURE = 6,
  EXTERNAL_AUTHORIZATION_FAILURE = 7,
  EXTERNAL_AUTHENTICATION_FAILURE = 8,
} RFC_ERROR_GROUP;

// Filled by every operation that takes it: code and group always, key and
// message on failure (on RFC_ABAP_EXCEPTION the key is the exception's
// name), the ABAP message fields after RFC_ABAP_MESSAGE. Texts are
// terminated.
typedef struct {
  RFC_RC code;
  RFC_ERROR_GROUP group;
  SAP_UC key[128];
  SAP_UC message[512];
  SAP_UC abapMsgClass[21];
  SAP_UC abapMsgType[2];
  SAP_UC abapMsgNumber[4];
  SAP_UC abapMsgV1[51];
  SAP_UC abapMsgV2[51];
  SAP_UC abapMsgV3[51];
  SAP_UC abapMsgV4[51];
} RFC_ERROR_INFO;

// One logon parameter (USER, PASSWD, CLIENT, LANG, ASHOST, SYSNR, DEST, ...);
// names are case-insensitive.
typedef struct {
  const SAP_UC* name;
  const SAP_UC* value;
} RFC_CONNECTION_PARAMETER;

// Opaque handles. Functions, structures and tables are all data containers:
// the field getters take any of them.
struct RfcOpaqueConnection;
struct RfcOpaqueFunctionDesc;
struct RfcOpaqueDataContainer;
typedef RfcOpaqueConnection* RFC_CONNECTION_HANDLE;
typedef RfcOpaqueFunctionDesc* RFC_FUNCTION_DESC_HANDLE;
typedef RfcOpaqueDataContainer* DATA_CONTAINER_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_FUNCTION_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_STRUCTURE_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_TABLE_HANDLE;

extern "C" {

// The operations the program uses. The last argument of each (but
// RfcGetVersion) receives the error record.
typedef RFC_CONNECTION_HANDLE(NWRFC_API* RfcOpenConnectionFn)(const RFC_CONNECTION_PARAMETER* parameters,
                                                              unsigned count, RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcCloseConnectionFn)(RFC_CONNECTION_HANDLE connection, RFC_ERROR_INFO* error);
typedef RFC_FUNCTION_DESC_HANDLE(NWRFC_API* RfcGetFunctionDescFn)(RFC_CONNECTION_HANDLE connection,
                                                                  const SAP_UC* function_name, RFC_ERROR_INFO* error);
typedef RFC_FUNCTION_HANDLE(NWRFC_API* RfcCreateFunctionFn)(RFC_FUNCTION_DESC_HANDLE description,
                                                            RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcDestroyFunctionFn)(RFC_FUNCTION_HANDLE function, RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcSetCharsFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, const RFC_CHAR* value,
                                         unsigned length, RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcInvokeFn)(RFC_CONNECTION_HANDLE connection, RFC_FUNCTION_HANDLE function,
                                       RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetStructureFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name,
                                             RFC_STRUCTURE_HANDLE* structure, RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetTableFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, RFC_TABLE_HANDLE* table,
                                         RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetRowCountFn)(RFC_TABLE_HANDLE table, unsigned* rows, RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetIntFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, RFC_INT* value,
                                       RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetCharsFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, RFC_CHAR* buffer,
                                         unsigned length, RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetDateFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, RFC_DATE date,
                                        RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetTimeFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, RFC_TIME time,
                                        RFC_ERROR_INFO* error);
typedef RFC_RC(NWRFC_API* RfcGetStringFn)(DATA_CONTAINER_HANDLE container, const SAP_UC* name, SAP_UC* buffer,
                                          unsigned buffer_length, unsigned* string_length, RFC_ERROR_INFO* error);
typedef const SAP_UC*(NWRFC_API* RfcGetVersionFn)(unsigned* major, unsigned* minor, unsigned* patch);
// Where the library looks for sapnwrfc.ini from now on: the directory
// `path_name` (null: the working directory again).
typedef RFC_RC(NWRFC_API* RfcSetIniPathFn)(const SAP_UC* path_name, RFC_ERROR_INFO* error);

}  // extern "C"

// The layouts that the library's documentation fixes, on every platform:
// UTF-16 code units, 4-byte enumerations, records of character arrays.
static_assert(sizeof(SAP_UC) == 2);
static_assert(sizeof(RFC_RC) == 4 && sizeof(RFC_ERROR_GROUP) == 4);
static_assert(sizeof(RFC_INT) == 4);
static_assert(sizeof(RFC_DATE) == 16 && sizeof(RFC_TIME) == 12);
static_assert(offsetof(RFC_ERROR_INFO, key) == 8);
static_assert(offsetof(RFC_ERROR_INFO, message) == 8 + 2 * 128);
static_assert(offsetof(RFC_ERROR_INFO, abapMsgClass) == 8 + 2 * (128 + 512));
static_assert(offsetof(RFC_ERROR_INFO, abapMsgV1) == 8 + 2 * (128 + 512 + 21 + 2 + 4));
static_assert(sizeof(RFC_ERROR_INFO) == 1752, "1750 bytes of fields, rounded up to the enumerations' alignment");
static_assert(sizeof(RFC_CONNECTION_PARAMETER) == 2 * sizeof(void*));

}  // namespace nwrfc
