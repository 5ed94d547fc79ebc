// The stand-in for SAP's classic RFC library: the eleven operations that
// PoolMetrics uses, with the vendor's names and binary interface, served by
// the emulated SAP landscape of landscape.h.
//
// The library keeps its state for the life of the process, as the vendor's
// does, and expects one thread, as the program is. The landscape file is
// read afresh by RfcEnvironment, RfcOpen and RfcOpenEx, so that every
// connection sees the file as it is when the connection opens.
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "destination.h"
#include "field_value.h"
#include "function_interface.h"
#include "journal.h"
#include "landscape.h"
#include "landscape_state.h"
#include "platform.h"
#include "rfc/classic/rfc_api.h"
#include "structure_layout.h"

#if defined(_WIN32)
#define RFCEMU_EXPORT __declspec(dllexport)
#else
#define RFCEMU_EXPORT __attribute__((visibility("default")))
#endif

namespace rfcemu {
namespace {

constexpr char kTraceFile[] = "Dev_Rfc.Trc";
// Type handles of installed structures start well above the basic type
// codes, so that a descriptor's type tells the two apart.
constexpr RFC_TYPEHANDLE kFirstTypeHandle = 1001;

struct InstalledStructure {
  std::string name;
  std::vector<LayoutElement> elements;
  unsigned row_length = 0;
};

struct Connection {
  EmulatedSystem system;
  std::optional<std::string> pending_function;  // set by RfcCall, used by RfcReceive
};

struct InternalTable {
  unsigned id = 0;
  std::string name;
  unsigned row_length = 0;
  unsigned rows = 0;
};

struct Library {
  RFC_ERROR_HANDLER handler = nullptr;
  bool has_error = false;
  ErrorReport last_error;
  std::string exception;  // what RfcReceive's exception pointer points at
  RFC_HANDLE next_handle = 1;
  std::map<RFC_HANDLE, Connection> connections;
  RFC_TYPEHANDLE next_type = kFirstTypeHandle;
  std::map<RFC_TYPEHANDLE, InstalledStructure> structures;
  unsigned next_table = 1;
  std::map<const void*, std::unique_ptr<InternalTable>> tables;
  // ItCreate, ItFill and ItDelete take no connection: they show the faults
  // of the system of the most recently opened connection.
  std::optional<EmulatedSystem> last_system;
};

// Never destroyed: the program's error handler ends the process from inside
// a library call, and nothing may be torn down under that call.
Library& State() {
  static Library* library = new Library;
  return *library;
}

void Trace(const std::string& line) { AppendLine(kTraceFile, line); }

void SetError(const ErrorReport& error) {
  State().has_error = true;
  State().last_error = error;
}

// A fault's error: the system's error_* settings where given, the fault's
// own default elsewhere.
ErrorReport FaultError(const EmulatedSystem& system, ErrorReport fallback) {
  if (!system.error.key.empty()) fallback.key = system.error.key;
  if (!system.error.status.empty()) fallback.status = system.error.status;
  if (!system.error.message.empty()) fallback.message = system.error.message;
  if (!system.error.intstat.empty()) fallback.intstat = system.error.intstat;
  return fallback;
}

void CallHandler(const std::string& operation) {
  Library& lib = State();
  JOURNAL("ErrorHandler operation=" + Quote(operation) + (lib.handler == nullptr ? " handler=NULL" : " handler=SET"));
  if (lib.handler == nullptr) return;
  std::vector<char> text(operation.begin(), operation.end());
  text.push_back('\0');
  lib.handler(text.data());
}

int ErrorGroup(const std::string& key) {
  static const std::pair<const char*, int> kGroups[] = {{"RFC_ERROR_PROGRAM", 101},
                                                        {"RFC_ERROR_COMMUNICATION", 102},
                                                        {"RFC_ERROR_LOGON_FAILURE", 103},
                                                        {"RFC_ERROR_SYSTEM_FAILURE", 104},
                                                        {"RFC_ERROR_APPLICATION_EXCEPTION", 105},
                                                        {"RFC_ERROR_RESOURCE", 106},
                                                        {"RFC_ERROR_PROTOCOL", 107},
                                                        {"RFC_ERROR_INTERNAL", 108},
                                                        {"RFC_ERROR_CANCELLED", 109},
                                                        {"RFC_ERROR_BUSY", 110}};
  for (const auto& group : kGroups) {
    if (key == group.first) return group.second;
  }
  return 101;
}

void CopyField(char* field, std::size_t size, const std::string& text) {
  const std::size_t n = std::min(size - 1, text.size());
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, size - n);
}

// A failed logon as a real system reports it: no handle, the error for
// RfcLastError and RFC_ERROR_INFO_EX, and an error block in the trace file.
RFC_HANDLE RefuseOpen(const std::string& operation, const ErrorReport& error, RFC_ERROR_INFO_EX* info) {
  SetError(error);
  Trace("**** ERROR file opened by the emulated SAP landscape, " + operation);
  Trace("ERROR       " + error.message);
  if (info != nullptr) {
    info->group = ErrorGroup(error.key);
    CopyField(info->key, sizeof info->key, error.key);
    CopyField(info->message, sizeof info->message, error.message);
  }
  JOURNAL(operation + " result handle=0 key=" + Quote(error.key) + " message=" + Quote(error.message));
  return RFC_HANDLE_NULL;
}

ErrorReport ProgramError(const std::string& message) { return {"RFC_ERROR_PROGRAM", "", message, ""}; }

// A text of the caller's records; a null pointer reads as empty.
std::string Text(const char* text) { return text == nullptr ? std::string() : std::string(text); }

// The part of a logon that RfcOpen and RfcOpenEx share, once the address
// and the logon data are known.
RFC_HANDLE OpenSystem(const std::string& operation, const Address& address, const std::string& client,
                      const std::string& user, const std::string& password, RFC_ERROR_INFO_EX* info) {
  Library& lib = State();
  const EmulatedSystem* found = FindSystem(address);
  if (found == nullptr) {
    return RefuseOpen(
        operation, {"RFC_ERROR_COMMUNICATION", "", "partner '" + DescribeAddress(address) + "' not reached", ""}, info);
  }
  const EmulatedSystem system = *found;
  for (const std::string& line : system.trace_at_open) Trace(line);
  PrintThroughRuntime(system.print_at_open);
  if (system.logon_delay_ms > 0) SleepMilliseconds(system.logon_delay_ms);
  if (system.process_ends == EmulatedSystem::HandlerPoint::kOpen) EndProcessAbruptly(kEndedStatus);
  if (system.error_handler == EmulatedSystem::HandlerPoint::kOpen) {
    SetError(FaultError(
        system, {"RFC_ERROR_SYSTEM_FAILURE", "", "connection closed by the emulated system " + system.name, ""}));
    CallHandler(system.error_operation.empty() ? operation : system.error_operation);
    JOURNAL(operation + " result handle=0 key=" + Quote(lib.last_error.key) +
            " message=" + Quote(lib.last_error.message));
    return RFC_HANDLE_NULL;
  }
  const LogonVerdict verdict = CheckLogon(system, client, user, password);
  if (!verdict.accepted) {
    const ErrorReport error{"RFC_ERROR_LOGON_FAILURE", "", verdict.message, ""};
    return RefuseOpen(operation, verdict.by_fault ? FaultError(system, error) : error, info);
  }
  const RFC_HANDLE handle = lib.next_handle++;
  lib.connections[handle] = Connection{system, std::nullopt};
  lib.last_system = system;
  if (info != nullptr) std::memset(info, 0, sizeof *info);
  JOURNAL(operation + " result handle=" + std::to_string(handle) + " system=" + system.name);
  return handle;
}

// saprfc.ini in the working directory, or where RFC_INI points, as the
// vendor library looks for it. File names are case-sensitive off Windows,
// where the program writes it as SapRfc.ini.
bool ReadSapRfcIni(std::string* path, std::string* text) {
  const char* variable = std::getenv("RFC_INI");
  if (variable != nullptr && *variable != '\0') {
    *path = variable;
    return ReadWholeFile(*path, text);
  }
  for (const char* name : {"saprfc.ini", "SapRfc.ini"}) {
    *path = name;
    if (ReadWholeFile(*path, text)) return true;
  }
  *path = "saprfc.ini";
  return false;
}

bool ResolveDestination(const std::string& operation, const std::string& dest, ParameterMap* block, std::string* err) {
  std::string path;
  std::string text;
  if (!ReadSapRfcIni(&path, &text)) {
    *err = "cannot read " + path + " for destination " + dest;
    return false;
  }
  if (!FindDestination(text, dest, block)) {
    *err = "destination " + dest + " is not in " + path;
    return false;
  }
  std::string line = operation + " saprfc file=" + Quote(path);
  for (const auto& [id, value] : *block) line += " " + id + "=" + Quote(value);
  JOURNAL(line);
  return true;
}

// Enumerations read from caller memory as plain integers: a caller may pass
// a value outside the enumeration, and the journal is to show it.
template <typename Enum>
int EnumValue(const Enum& field) {
  static_assert(sizeof(Enum) == sizeof(int));
  int value;
  std::memcpy(&value, &field, sizeof value);
  return value;
}

std::string DescriptorName(const void* name, unsigned nlen) {
  if (name == nullptr) return {};
  const char* text = static_cast<const char*>(name);
  return nlen == 0 ? std::string(text) : std::string(text, nlen);
}

std::string TableId(const void* table) {
  if (table == nullptr) return "NULL";
  auto it = State().tables.find(table);
  return it == State().tables.end() ? "UNKNOWN" : std::to_string(it->second->id);
}

void Put(unsigned char* target, unsigned available, unsigned offset, const std::string& bytes) {
  if (offset >= available) return;
  const std::size_t n = std::min<std::size_t>(bytes.size(), available - offset);
  std::memcpy(target + offset, bytes.data(), n);
}

// Fills one importing parameter through the caller's descriptor: the
// caller's own layout for an installed structure, its declared type
// otherwise; never a byte beyond `leng`. Returns what the journal says.
std::string FillImporting(const EmulatedSystem& system, const RFC_PARAMETER& descriptor, const std::string& name) {
  if (descriptor.addr == nullptr) return "no-address";
  const ImportingParameter* parameter = FindImportingParameter(name);
  if (parameter == nullptr) return "not-a-parameter";
  auto* target = static_cast<unsigned char*>(descriptor.addr);
  const unsigned leng = descriptor.leng;
  auto installed = State().structures.find(descriptor.type);
  if (installed != State().structures.end()) {
    std::memset(target, 0, leng);
    for (const LayoutElement& element : installed->second.elements) {
      const DictionaryField* field = FindField(*parameter, element.name);
      if (field == nullptr) continue;  // the system sends no such field: it stays zero
      const std::string key = name + "." + element.name;
      Put(target, leng, element.offset, EncodeField(ValueOf(system, key, *field), element.type, element.length));
    }
    return "structure";
  }
  if (TypeName(descriptor.type).empty()) return "unknown-type";
  if (parameter->structure.empty()) {
    Put(target, leng, 0, EncodeField(ValueOf(system, name, parameter->fields[0]), descriptor.type, leng));
    return "basic";
  }
  // A structure received as a flat field: the row as the system lays it out.
  std::vector<LayoutElement> row;
  for (unsigned i = 0; i < parameter->field_count; ++i) {
    LayoutElement element;
    element.name = std::string(parameter->fields[i].name);
    element.type = parameter->fields[i].type;
    element.length = parameter->fields[i].length;
    row.push_back(element);
  }
  unsigned row_length = 0;
  std::string unused;
  ComputeLayout(&row, &row_length, &unused);
  std::memset(target, 0, leng);
  for (unsigned i = 0; i < parameter->field_count; ++i) {
    const DictionaryField& field = parameter->fields[i];
    Put(target, leng, row[i].offset,
        EncodeField(ValueOf(system, name + "." + std::string(field.name), field), field.type, field.length));
  }
  return "flat-row";
}

Connection* FindConnection(RFC_HANDLE handle) {
  auto it = State().connections.find(handle);
  return it == State().connections.end() ? nullptr : &it->second;
}

RFC_RC Result(const std::string& operation, RFC_RC rc, const std::string& detail = "") {
  JOURNAL(operation + " result rc=" + std::to_string(static_cast<int>(rc)) + detail);
  return rc;
}

ErrorReport ReturnCodeError(const EmulatedSystem& system, int rc, const std::string& exception) {
  switch (rc) {
    case RFC_FAILURE: return FaultError(system, {"RFC_ERROR_COMMUNICATION", "", "connection to partner broken", ""});
    case RFC_EXCEPTION: return FaultError(system, {"RFC_ERROR_APPLICATION_EXCEPTION", "", exception, ""});
    case RFC_SYS_EXCEPTION: return FaultError(system, {"RFC_ERROR_SYSTEM_FAILURE", "", exception, ""});
    default:
      return FaultError(system, {"RFC_ERROR_INTERNAL", "", "internal error, return code " + std::to_string(rc), ""});
  }
}

}  // namespace
}  // namespace rfcemu

using namespace rfcemu;

extern "C" {

RFCEMU_EXPORT void RFC_STDCALL RfcEnvironment(RFC_ENV* env) {
  LoadLandscape();
  if (env == nullptr) {
    JOURNAL("RfcEnvironment env=NULL");
    return;
  }
  State().handler = env->errorhandler;
  JOURNAL(std::string("RfcEnvironment errorhandler=") + (env->errorhandler ? "SET" : "NULL") +
          " allocate=" + (env->allocate ? "SET" : "NULL"));
}

RFCEMU_EXPORT RFC_HANDLE RFC_STDCALL RfcOpen(RFC_OPTIONS* options) {
  LoadLandscape();
  if (options == nullptr) {
    JOURNAL("RfcOpen options=NULL");
    return RefuseOpen("RfcOpen", ProgramError("RfcOpen without options"), nullptr);
  }
  JOURNAL("RfcOpen options bytes=" + Hex(options, sizeof *options));
  JOURNAL("RfcOpen options destination=" + QuoteOrNull(options->destination) +
          " mode=" + std::to_string(EnumValue(options->mode)) + " connopt=" + (options->connopt ? "SET" : "NULL") +
          " client=" + QuoteOrNull(options->client) + " user=" + QuoteOrNull(options->user) +
          " password=" + QuoteOrNull(options->password) + " language=" + QuoteOrNull(options->language) +
          " trace=" + std::to_string(options->trace));
  if (!LandscapeError().empty()) return RefuseOpen("RfcOpen", ProgramError(LandscapeError()), nullptr);

  Address address;
  std::string err;
  if (options->connopt == nullptr) {
    // No connection record: the destination names a saprfc.ini block.
    ParameterMap block;
    const std::string dest = options->destination ? options->destination : "";
    if (!ResolveDestination("RfcOpen", dest, &block, &err) || !AddressFromParameters(block, &address, &err)) {
      return RefuseOpen("RfcOpen", ProgramError(err), nullptr);
    }
  } else if (EnumValue(options->mode) == RFC_MODE_R3ONLY) {
    const auto* r3 = static_cast<const RFC_CONNOPT_R3ONLY*>(options->connopt);
    JOURNAL("RfcOpen connopt R3ONLY bytes=" + Hex(r3, sizeof *r3) + " hostname=" + QuoteOrNull(r3->hostname) +
            " sysnr=" + std::to_string(r3->sysnr) + " gateway_host=" + QuoteOrNull(r3->gateway_host) +
            " gateway_service=" + QuoteOrNull(r3->gateway_service));
    if (r3->hostname == nullptr || *r3->hostname == '\0') {
      return RefuseOpen("RfcOpen", ProgramError("no application server host given"), nullptr);
    }
    if (r3->sysnr < 0 || r3->sysnr > 99) {
      return RefuseOpen("RfcOpen", ProgramError("system number " + std::to_string(r3->sysnr) + " is not 00 to 99"),
                        nullptr);
    }
    address.kind = Address::Kind::kApplicationServer;
    address.host = r3->hostname;
    address.sysnr = r3->sysnr;
  } else if (EnumValue(options->mode) == RFC_MODE_CPIC) {
    const auto* cpic = static_cast<const RFC_CONNOPT_CPIC*>(options->connopt);
    JOURNAL("RfcOpen connopt CPIC bytes=" + Hex(cpic, sizeof *cpic) + " gateway_host=" +
            QuoteOrNull(cpic->gateway_host) + " gateway_service=" + QuoteOrNull(cpic->gateway_service));
    if (cpic->gateway_host == nullptr || cpic->gateway_service == nullptr) {
      return RefuseOpen("RfcOpen", ProgramError("no gateway host and service given"), nullptr);
    }
    address.kind = Address::Kind::kGateway;
    address.host = cpic->gateway_host;
    address.service = NormalizeGatewayService(cpic->gateway_service);
  } else {
    return RefuseOpen("RfcOpen", ProgramError("invalid mode " + std::to_string(EnumValue(options->mode))), nullptr);
  }
  return OpenSystem("RfcOpen", address, Text(options->client), Text(options->user), Text(options->password), nullptr);
}

RFCEMU_EXPORT RFC_HANDLE RFC_STDCALL RfcOpenEx(char* connect_param, RFC_ERROR_INFO_EX* error_info) {
  LoadLandscape();
  JOURNAL("RfcOpenEx connect=" + QuoteOrNull(connect_param));
  if (!LandscapeError().empty()) {
    return RefuseOpen("RfcOpenEx", ProgramError(LandscapeError()), error_info);
  }
  ParameterMap pairs;
  std::string err;
  if (!ParseConnectString(connect_param ? connect_param : "", &pairs, &err)) {
    return RefuseOpen("RfcOpenEx", ProgramError(err), error_info);
  }
  ParameterMap where = pairs;
  auto dest = pairs.find("DEST");
  if (dest != pairs.end()) {
    if (!ResolveDestination("RfcOpenEx", dest->second, &where, &err)) {
      return RefuseOpen("RfcOpenEx", ProgramError(err), error_info);
    }
    // What the connect string itself gives wins over the destination's block.
    for (const auto& [id, value] : pairs) where[id] = value;
  }
  Address address;
  if (!AddressFromParameters(where, &address, &err)) {
    return RefuseOpen("RfcOpenEx", ProgramError(err), error_info);
  }
  auto get = [&](const char* id) {
    auto it = pairs.find(id);
    return it == pairs.end() ? std::string() : it->second;
  };
  return OpenSystem("RfcOpenEx", address, get("CLIENT"), get("USER"), get("PASSWD"), error_info);
}

RFCEMU_EXPORT RFC_RC RFC_STDCALL RfcInstallStructure(char* name, RFC_TYPE_ELEMENT* elements, unsigned entries,
                                                     RFC_TYPEHANDLE* handle) {
  Library& lib = State();
  auto prefix = [&] { return "RfcInstallStructure name=" + QuoteOrNull(name) + " entries=" + std::to_string(entries); };
  auto fail = [&](const std::string& message) {
    SetError(ProgramError("RfcInstallStructure " + (name ? std::string(name) : "") + ": " + message));
    JOURNAL(prefix() + " rc=1 error=" + Quote(message));
    return RFC_FAILURE;
  };
  if (name == nullptr || handle == nullptr || (elements == nullptr && entries > 0)) {
    return fail("null argument");
  }
  InstalledStructure structure;
  structure.name = name;
  structure.elements.reserve(entries);
  for (unsigned i = 0; i < entries; ++i) {
    if (elements[i].name == nullptr) return fail("element " + std::to_string(i + 1) + " has no name");
    LayoutElement element;
    element.name = elements[i].name;
    element.type = elements[i].type;
    element.length = elements[i].length;
    element.decimals = elements[i].decimals;
    structure.elements.push_back(element);
  }
  std::string err;
  if (!ComputeLayout(&structure.elements, &structure.row_length, &err)) return fail(err);

  const RFC_TYPEHANDLE type = lib.next_type++;
  if (JournalKept()) {
    std::string list;
    for (const LayoutElement& element : structure.elements) {
      if (!list.empty()) list += ",";
      const std::string_view type_name = TypeName(element.type);
      list += element.name + ":" + std::string(type_name) + ":" + std::to_string(element.length) + ":" +
              std::to_string(element.decimals) + "@" + std::to_string(element.offset);
    }
    Journal(prefix() + " rc=0 handle=" + std::to_string(type) + " rowlength=" + std::to_string(structure.row_length) +
            " elements=" + list);
  }
  lib.structures[type] = std::move(structure);
  *handle = type;
  return RFC_OK;
}

RFCEMU_EXPORT RFC_RC RFC_STDCALL RfcCall(RFC_HANDLE handle, char* function, RFC_PARAMETER* exporting,
                                         RFC_TABLE* tables) {
  JOURNAL("RfcCall handle=" + std::to_string(handle) + " function=" + QuoteOrNull(function));
  for (RFC_PARAMETER* p = exporting; p != nullptr && p->name != nullptr; ++p) {
    JOURNAL("RfcCall exporting name=" + Quote(DescriptorName(p->name, p->nlen)) + " nlen=" + std::to_string(p->nlen) +
            " type=" + std::to_string(p->type) + " leng=" + std::to_string(p->leng) +
            " value=" + (p->addr ? Quote(std::string(static_cast<const char*>(p->addr), p->leng)) : "NULL"));
  }
  for (RFC_TABLE* t = tables; t != nullptr && t->name != nullptr; ++t) {
    JOURNAL("RfcCall table name=" + Quote(DescriptorName(t->name, t->nlen)) + " nlen=" + std::to_string(t->nlen) +
            " type=" + std::to_string(t->type) + " leng=" + std::to_string(t->leng) +
            " itmode=" + std::to_string(EnumValue(t->itmode)) + " table=" + TableId(t->ithandle));
  }
  Connection* connection = FindConnection(handle);
  if (connection == nullptr || function == nullptr) {
    SetError(ProgramError(connection == nullptr ? "invalid RFC handle " + std::to_string(handle)
                                                : "RfcCall without a function name"));
    return Result("RfcCall", RFC_FAILURE);
  }
  const EmulatedSystem& system = connection->system;
  for (const std::string& line : system.trace_at_call) Trace(line);
  PrintThroughRuntime(system.print_at_call);
  if (system.call_rc != RFC_OK) {
    SetError(ReturnCodeError(system, system.call_rc, ""));
    return Result("RfcCall", static_cast<RFC_RC>(system.call_rc));
  }
  connection->pending_function = function;
  return Result("RfcCall", RFC_OK);
}

RFCEMU_EXPORT RFC_RC RFC_STDCALL RfcReceive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                                            char** exception) {
  Library& lib = State();
  JOURNAL("RfcReceive handle=" + std::to_string(handle));
  Connection* connection = FindConnection(handle);
  if (connection == nullptr || !connection->pending_function) {
    SetError(ProgramError(connection == nullptr ? "invalid RFC handle " + std::to_string(handle)
                                                : "RfcReceive without RfcCall"));
    return Result("RfcReceive", RFC_FAILURE);
  }
  const EmulatedSystem system = connection->system;
  const std::string function = *connection->pending_function;
  connection->pending_function.reset();

  if (system.delay_ms > 0) SleepMilliseconds(system.delay_ms);
  if (system.process_ends == EmulatedSystem::HandlerPoint::kCall) EndProcessAbruptly(kEndedStatus);
  if (system.error_handler == EmulatedSystem::HandlerPoint::kCall) {
    SetError(FaultError(
        system, {"RFC_ERROR_SYSTEM_FAILURE", "", "connection closed by the emulated system " + system.name, ""}));
    CallHandler(system.error_operation.empty() ? "RfcReceive" : system.error_operation);
    return Result("RfcReceive", RFC_FAILURE);
  }
  int rc = system.receive_rc;
  std::string exception_text = system.exception;
  // A system without the function module answers as a real one does (the
  // classic library looks functions up only when it calls them).
  if (function != kFunctionName || system.function_not_found) {
    rc = RFC_SYS_EXCEPTION;
    exception_text = "CALL_FUNCTION_NOT_FOUND";
    SetError({"RFC_ERROR_SYSTEM_FAILURE", "", "Function module \"" + function + "\" not found", ""});
  } else if (rc != RFC_OK) {
    if (!system.has_exception) exception_text = rc == RFC_EXCEPTION ? "NOT_FOUND" : "SYSTEM_FAILURE";
    SetError(ReturnCodeError(system, rc, exception_text));
  }
  if (rc != RFC_OK) {
    std::string detail = " exception=NULL";
    if (rc == RFC_EXCEPTION || rc == RFC_SYS_EXCEPTION) {
      lib.exception = exception_text;
      if (exception != nullptr) *exception = lib.exception.data();
      detail = " exception=" + Quote(lib.exception);
    }
    return Result("RfcReceive", static_cast<RFC_RC>(rc), detail);
  }

  for (RFC_PARAMETER* p = importing; p != nullptr && p->name != nullptr; ++p) {
    const std::string name = DescriptorName(p->name, p->nlen);
    const std::string filled = FillImporting(system, *p, name);
    auto installed = lib.structures.find(p->type);
    JOURNAL("RfcReceive importing name=" + Quote(name) + " nlen=" + std::to_string(p->nlen) +
            " type=" + std::to_string(p->type) +
            (installed != lib.structures.end() ? " structure=" + Quote(installed->second.name) : "") +
            " leng=" + std::to_string(p->leng) + " filled=" + filled);
  }
  for (RFC_TABLE* t = tables; t != nullptr && t->name != nullptr; ++t) {
    const std::string name = DescriptorName(t->name, t->nlen);
    auto it = lib.tables.find(t->ithandle);
    std::string rows = "-";
    if (it != lib.tables.end() && IsTableName(name)) {
      auto configured = system.rows.find(name);
      it->second->rows = configured != system.rows.end() ? configured->second : DefaultRowCount(system.name, name);
      rows = std::to_string(it->second->rows);
    }
    JOURNAL("RfcReceive table name=" + Quote(name) + " nlen=" + std::to_string(t->nlen) +
            " type=" + std::to_string(t->type) + " leng=" + std::to_string(t->leng) + " table=" + TableId(t->ithandle) +
            " rows=" + rows);
  }
  return Result("RfcReceive", RFC_OK, " exception=NULL");
}

RFCEMU_EXPORT int RFC_STDCALL RfcLastError(RFC_ERROR_INFO* error_info) {
  Library& lib = State();
  const ErrorReport& error = lib.last_error;
  JOURNAL("RfcLastError key=" + Quote(error.key) + " status=" + Quote(error.status) +
          " message=" + Quote(error.message) + " intstat=" + Quote(error.intstat));
  if (error_info == nullptr) return 1;
  CopyField(error_info->key, sizeof error_info->key, error.key);
  CopyField(error_info->status, sizeof error_info->status, error.status);
  CopyField(error_info->message, sizeof error_info->message, error.message);
  CopyField(error_info->intstat, sizeof error_info->intstat, error.intstat);
  return lib.has_error ? 0 : 1;
}

RFCEMU_EXPORT void RFC_STDCALL RfcClose(RFC_HANDLE handle) {
  Library& lib = State();
  auto it = lib.connections.find(handle);
  if (it == lib.connections.end()) {
    JOURNAL("RfcClose handle=" + std::to_string(handle) + " unknown");
    return;
  }
  JOURNAL("RfcClose handle=" + std::to_string(handle) + " system=" + it->second.system.name);
  lib.connections.erase(it);
}

RFCEMU_EXPORT ITAB_H RFC_STDCALL ItCreate(char* name, unsigned leng, unsigned occu, unsigned memo) {
  Library& lib = State();
  const std::string table_name = name ? name : "";
  const std::string prefix = "ItCreate name=" + QuoteOrNull(name) + " leng=" + std::to_string(leng) +
                             " occu=" + std::to_string(occu) + " memo=" + std::to_string(memo);
  if (lib.last_system && lib.last_system->itcreate_fails.Contains(table_name)) {
    SetError(
        FaultError(*lib.last_system, {"RFC_ERROR_RESOURCE", "", "no memory for internal table " + table_name, ""}));
    JOURNAL(prefix + " result=NULL");
    return nullptr;
  }
  auto table = std::make_unique<InternalTable>();
  table->id = lib.next_table++;
  table->name = table_name;
  table->row_length = leng;
  ITAB_H handle = table.get();
  JOURNAL(prefix + " result=" + std::to_string(table->id));
  lib.tables[handle] = std::move(table);
  return handle;
}

RFCEMU_EXPORT unsigned RFC_STDCALL ItFill(ITAB_H table) {
  Library& lib = State();
  auto it = lib.tables.find(table);
  const unsigned rows = it == lib.tables.end() ? 0 : it->second->rows;
  JOURNAL("ItFill table=" + TableId(table) + " rows=" + std::to_string(rows));
  return rows;
}

RFCEMU_EXPORT int RFC_STDCALL ItDelete(ITAB_H table) {
  Library& lib = State();
  auto it = lib.tables.find(table);
  int rc = 0;
  if (it == lib.tables.end()) {
    rc = 1;
  } else if (lib.last_system && lib.last_system->itdelete_fails.Contains(it->second->name)) {
    SetError(FaultError(*lib.last_system,
                        {"RFC_ERROR_RESOURCE", "", "internal table " + it->second->name + " cannot be freed", ""}));
    rc = 1;
  }
  JOURNAL("ItDelete table=" + TableId(table) + " rc=" + std::to_string(rc));
  if (rc == 0) lib.tables.erase(it);
  return rc;
}

}  // extern "C"

// The exported operations keep exactly the forms the program loads them by.
static_assert(std::is_same_v<decltype(&RfcEnvironment), RfcEnvironmentFn>);
static_assert(std::is_same_v<decltype(&RfcOpen), RfcOpenFn>);
static_assert(std::is_same_v<decltype(&RfcOpenEx), RfcOpenExFn>);
static_assert(std::is_same_v<decltype(&RfcInstallStructure), RfcInstallStructureFn>);
static_assert(std::is_same_v<decltype(&RfcCall), RfcCallFn>);
static_assert(std::is_same_v<decltype(&RfcReceive), RfcReceiveFn>);
static_assert(std::is_same_v<decltype(&RfcLastError), RfcLastErrorFn>);
static_assert(std::is_same_v<decltype(&RfcClose), RfcCloseFn>);
static_assert(std::is_same_v<decltype(&ItCreate), ItCreateFn>);
static_assert(std::is_same_v<decltype(&ItFill), ItFillFn>);
static_assert(std::is_same_v<decltype(&ItDelete), ItDeleteFn>);
