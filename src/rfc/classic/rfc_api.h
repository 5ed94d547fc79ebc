// The binary interface of the classic (non-Unicode) RFC library, written from
// its public SDK documentation. Only src/rfc/ and the emulated library in
// emulator/ include this file; the rest of the program sees src/rfc's own
// operations.
//
// The layouts must match the vendor's library byte for byte on 32-bit
// Windows, where an administrator can drop the vendor's librfc32.dll beside
// the program; the static assertions at the end guard them.
#pragma once

#include <cstddef>
#include <type_traits>

#if defined(_WIN32)
#define RFC_STDCALL __stdcall
#else
#define RFC_STDCALL
#endif

extern "C" {

typedef unsigned int RFC_HANDLE;
constexpr RFC_HANDLE RFC_HANDLE_NULL = 0;

typedef unsigned int RFC_TYPEHANDLE;
typedef void* ITAB_H;

typedef enum {
  RFC_OK = 0,
  RFC_FAILURE = 1,
  RFC_EXCEPTION = 2,
  RFC_SYS_EXCEPTION = 3,
  RFC_CALL = 4,
  RFC_INTERNAL_COM = 5,
  RFC_CLOSED = 6,
} RFC_RC;

typedef enum { RFC_MODE_R3ONLY = 0, RFC_MODE_CPIC = 1 } RFC_MODE;

typedef enum {
  RFC_ITMODE_BYREFERENCE = 0,
  RFC_ITMODE_BYVALUE = 1,
  RFC_ITMODE_KEEPALIVE = 2,
} RFC_ITMODE;

// Type codes of parameters and structure elements.
enum : unsigned {
  TYPC = 0,
  TYPDATE = 1,
  TYPP = 2,
  TYPTIME = 3,
  TYPX = 4,
  TYPNUM = 6,
  TYPFLOAT = 7,
  TYPINT = 8,
  TYPINT2 = 9,
  TYPINT1 = 10,
};

typedef void(RFC_STDCALL* RFC_ERROR_HANDLER)(char* operation);
typedef void*(RFC_STDCALL* RFC_ALLOCATE)(void* old, unsigned long size);

typedef struct {
  RFC_ERROR_HANDLER errorhandler;
  RFC_ALLOCATE allocate;
} RFC_ENV;

typedef struct {
  char* destination;
  RFC_MODE mode;
  void* connopt;
  char* client;
  char* user;
  char* password;
  char* language;
  int trace;
} RFC_OPTIONS;

typedef struct {
  char* hostname;
  int sysnr;
  char* gateway_host;
  char* gateway_service;
} RFC_CONNOPT_R3ONLY;

typedef struct {
  char* gateway_host;
  char* gateway_service;
} RFC_CONNOPT_CPIC;

typedef struct {
  char key[33];
  char status[128];
  char message[256];
  char intstat[128];
} RFC_ERROR_INFO;

typedef struct {
  int group;
  char key[33];
  char message[513];
} RFC_ERROR_INFO_EX;

typedef struct {
  void* name;
  unsigned nlen;
  RFC_TYPEHANDLE type;
  unsigned leng;
  void* addr;
} RFC_PARAMETER;

typedef struct {
  void* name;
  unsigned nlen;
  RFC_TYPEHANDLE type;
  unsigned leng;
  ITAB_H ithandle;
  RFC_ITMODE itmode;
  int newitab;
} RFC_TABLE;

typedef struct {
  char* name;
  unsigned type;
  unsigned length;
  unsigned decimals;
  unsigned not_used;
} RFC_TYPE_ELEMENT;

// The eleven operations the program uses, as function pointer types: the
// library is loaded at run time, never linked.
typedef void(RFC_STDCALL* RfcEnvironmentFn)(RFC_ENV* env);
typedef RFC_HANDLE(RFC_STDCALL* RfcOpenFn)(RFC_OPTIONS* options);
typedef RFC_HANDLE(RFC_STDCALL* RfcOpenExFn)(char* connect_param, RFC_ERROR_INFO_EX* error_info);
typedef RFC_RC(RFC_STDCALL* RfcInstallStructureFn)(char* name, RFC_TYPE_ELEMENT* elements, unsigned entries,
                                                   RFC_TYPEHANDLE* handle);
typedef RFC_RC(RFC_STDCALL* RfcCallFn)(RFC_HANDLE handle, char* function, RFC_PARAMETER* exporting, RFC_TABLE* tables);
typedef RFC_RC(RFC_STDCALL* RfcReceiveFn)(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                                          char** exception);
typedef int(RFC_STDCALL* RfcLastErrorFn)(RFC_ERROR_INFO* error_info);
typedef void(RFC_STDCALL* RfcCloseFn)(RFC_HANDLE handle);
typedef ITAB_H(RFC_STDCALL* ItCreateFn)(char* name, unsigned leng, unsigned occu, unsigned memo);
typedef unsigned(RFC_STDCALL* ItFillFn)(ITAB_H table);
typedef int(RFC_STDCALL* ItDeleteFn)(ITAB_H table);

}  // extern "C"

// On the library's home platform every layout is pinned to the sizes of the
// vendor's SDK; a drift here would pass garbage to a real SAP connection.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(RFC_HANDLE) == 4);
static_assert(sizeof(RFC_RC) == 4 && sizeof(RFC_MODE) == 4 && sizeof(RFC_ITMODE) == 4);
static_assert(sizeof(RFC_ENV) == 8);
static_assert(sizeof(RFC_OPTIONS) == 32);
static_assert(offsetof(RFC_OPTIONS, connopt) == 8 && offsetof(RFC_OPTIONS, trace) == 28);
static_assert(sizeof(RFC_CONNOPT_R3ONLY) == 16);
static_assert(sizeof(RFC_CONNOPT_CPIC) == 8);
static_assert(sizeof(RFC_ERROR_INFO) == 545);
static_assert(sizeof(RFC_ERROR_INFO_EX) == 552);
static_assert(sizeof(RFC_PARAMETER) == 20);
static_assert(sizeof(RFC_TABLE) == 28);
static_assert(sizeof(RFC_TYPE_ELEMENT) == 20);
// Every operation and the error handler in the library's calling
// convention, spelt out: a pointer type of another convention is another
// type, and a call through it would leave the stack unbalanced.
static_assert(std::is_same_v<RfcEnvironmentFn, void(__stdcall*)(RFC_ENV*)>);
static_assert(std::is_same_v<RfcOpenFn, RFC_HANDLE(__stdcall*)(RFC_OPTIONS*)>);
static_assert(std::is_same_v<RfcOpenExFn, RFC_HANDLE(__stdcall*)(char*, RFC_ERROR_INFO_EX*)>);
static_assert(std::is_same_v<RfcInstallStructureFn,
                             RFC_RC(__stdcall*)(char*, RFC_TYPE_ELEMENT*, unsigned, RFC_TYPEHANDLE*)>);
static_assert(std::is_same_v<RfcCallFn, RFC_RC(__stdcall*)(RFC_HANDLE, char*, RFC_PARAMETER*, RFC_TABLE*)>);
static_assert(std::is_same_v<RfcReceiveFn, RFC_RC(__stdcall*)(RFC_HANDLE, RFC_PARAMETER*, RFC_TABLE*, char**)>);
static_assert(std::is_same_v<RfcLastErrorFn, int(__stdcall*)(RFC_ERROR_INFO*)>);
static_assert(std::is_same_v<RfcCloseFn, void(__stdcall*)(RFC_HANDLE)>);
static_assert(std::is_same_v<ItCreateFn, ITAB_H(__stdcall*)(char*, unsigned, unsigned, unsigned)>);
static_assert(std::is_same_v<ItFillFn, unsigned(__stdcall*)(ITAB_H)>);
static_assert(std::is_same_v<ItDeleteFn, int(__stdcall*)(ITAB_H)>);
static_assert(std::is_same_v<RFC_ERROR_HANDLER, void(__stdcall*)(char*)>);
static_assert(!std::is_same_v<RFC_ERROR_HANDLER, void(__cdecl*)(char*)>, "conventions are told apart");
#endif
static_assert(sizeof(RFC_ERROR_INFO) == 545, "character arrays only: no padding on any platform");
