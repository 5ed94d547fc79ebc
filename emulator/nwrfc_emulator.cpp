// The stand-in for SAP's NetWeaver RFC library (sapnwrfc.dll,
// libsapnwrfc.so): the seventeen operations PoolMetrics uses, with the
// vendor's names and binary interface (nwrfc_api.h), served by the same
// emulated landscape as the classic face (rfc_emulator.cpp) and written to
// the same journal.
//
// Handles are the addresses of the library's own records, and every
// operation looks a handle up before it touches it: a null, stale or foreign
// handle is answered with RFC_INVALID_HANDLE and a filled error record,
// never a crash. Values are computed when they are read, from the system
// that answered the function's last successful RfcInvoke, in the function
// module's own layout (the bytes the classic face would send), and then
// converted to what the getter asks for.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>

#include "destination.h"
#include "field_value.h"
#include "function_interface.h"
#include "journal.h"
#include "landscape.h"
#include "landscape_state.h"
#include "platform.h"
#include "rfc/classic/rfc_api.h"
#include "rfc/nwrfc/nwrfc_api.h"
#include "sap_text.h"

#if defined(_WIN32)
#define RFCEMU_EXPORT __declspec(dllexport)
#else
#define RFCEMU_EXPORT __attribute__((visibility("default")))
#endif

namespace rfcemu {
namespace {

using nwrfc::DATA_CONTAINER_HANDLE;
using nwrfc::RFC_CONNECTION_HANDLE;
using nwrfc::RFC_CONNECTION_PARAMETER;
using nwrfc::RFC_ERROR_GROUP;
using nwrfc::RFC_ERROR_INFO;
using nwrfc::RFC_FUNCTION_DESC_HANDLE;
using nwrfc::RFC_RC;
using nwrfc::SAP_UC;

constexpr char kTraceFile[] = "dev_rfc.log";
constexpr char kIniFile[] = "sapnwrfc.ini";

// What an operation answers: the return code and, on failure, the error
// record's group, key and message.
struct Outcome {
  RFC_RC code = nwrfc::RFC_OK;
  RFC_ERROR_GROUP group = nwrfc::OK;
  std::string key;
  std::string message;
  bool abap_message = false;  // fill the ABAP message fields too
};

const char* CodeName(RFC_RC code) {
  static const char* const kNames[] = {"RFC_OK",
                                       "RFC_COMMUNICATION_FAILURE",
                                       "RFC_LOGON_FAILURE",
                                       "RFC_ABAP_RUNTIME_FAILURE",
                                       "RFC_ABAP_MESSAGE",
                                       "RFC_ABAP_EXCEPTION",
                                       "RFC_CLOSED",
                                       "RFC_CANCELED",
                                       "RFC_TIMEOUT",
                                       "RFC_MEMORY_INSUFFICIENT",
                                       "RFC_VERSION_MISMATCH",
                                       "RFC_INVALID_PROTOCOL",
                                       "RFC_SERIALIZATION_FAILURE",
                                       "RFC_INVALID_HANDLE",
                                       "RFC_RETRY",
                                       "RFC_EXTERNAL_FAILURE",
                                       "RFC_EXECUTED",
                                       "RFC_NOT_FOUND",
                                       "RFC_NOT_SUPPORTED",
                                       "RFC_ILLEGAL_STATE",
                                       "RFC_INVALID_PARAMETER",
                                       "RFC_CODEPAGE_CONVERSION_FAILURE",
                                       "RFC_CONVERSION_FAILURE",
                                       "RFC_BUFFER_TOO_SMALL",
                                       "RFC_TABLE_MOVE_BOF",
                                       "RFC_TABLE_MOVE_EOF",
                                       "RFC_START_SAPGUI_FAILURE",
                                       "RFC_ABAP_CLASS_EXCEPTION",
                                       "RFC_UNKNOWN_ERROR",
                                       "RFC_AUTHORIZATION_FAILURE",
                                       "RFC_AUTHENTICATION_FAILURE"};
  const auto index = static_cast<unsigned>(code);
  return index < std::size(kNames) ? kNames[index] : "RFC_UNKNOWN_ERROR";
}

// A failure whose key is the code's own name, as the library reports its
// own (not the ABAP side's) errors.
Outcome Failure(RFC_RC code, RFC_ERROR_GROUP group, std::string message) {
  return {code, group, CodeName(code), std::move(message)};
}
Outcome InvalidHandle(const std::string& what) {
  return Failure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE, "invalid " + what + " handle");
}
Outcome InvalidParameter(std::string message) {
  return Failure(nwrfc::RFC_INVALID_PARAMETER, nwrfc::EXTERNAL_RUNTIME_FAILURE, std::move(message));
}
Outcome ConversionFailure(std::string message) {
  return Failure(nwrfc::RFC_CONVERSION_FAILURE, nwrfc::EXTERNAL_RUNTIME_FAILURE, std::move(message));
}
Outcome BufferTooSmall(std::string message) {
  return Failure(nwrfc::RFC_BUFFER_TOO_SMALL, nwrfc::EXTERNAL_RUNTIME_FAILURE, std::move(message));
}

struct Connection {
  unsigned id = 0;
  EmulatedSystem system;
  // After a communication failure, a runtime failure or an ABAP message the
  // library closes the connection itself; only RfcCloseConnection remains.
  bool closed_by_system = false;
};

// A function description from a system's repository, cached for the
// process as the vendor's library caches it.
struct Description {
  unsigned id = 0;
  std::string system;
};

struct Function;

// A function, or a structure or table of one: what the getters read.
struct Container {
  enum class Kind { kFunction, kStructure, kTable };
  Kind kind = Kind::kFunction;
  Function* function = nullptr;
  const ImportingParameter* parameter = nullptr;  // of a structure
  std::string name;                               // of a structure or table
  std::string label;                              // in the journal: F3, F3.DB_ACCESSES
};

struct Function {
  unsigned id = 0;
  Container self;
  std::map<std::string, std::unique_ptr<Container>> parts;  // made on first request, stable until destroyed
  std::string destination;                                  // UTF-8, as RfcSetChars set it
  std::optional<EmulatedSystem> filled;                     // who answered the last successful RfcInvoke
};

struct Library {
  // The sapnwrfc.ini that DEST= reads: the working directory's, or the one
  // in the directory that RfcSetIniPath named.
  std::string ini_file = kIniFile;
  unsigned next_connection = 1;
  std::map<const void*, std::unique_ptr<Connection>> connections;
  unsigned next_description = 1;
  std::map<std::string, std::unique_ptr<Description>> descriptions;  // by system name
  std::set<const void*> description_handles;
  unsigned next_function = 1;
  std::map<const void*, std::unique_ptr<Function>> functions;  // by the address of `self`
  std::map<const void*, Container*> containers;                // every live container
};

// Never destroyed, as the classic face's state: a caller may end the
// process from anywhere.
Library& State() {
  static Library* library = new Library;
  return *library;
}

void Trace(const std::string& line) { AppendLine(kTraceFile, line); }

// The error block a failing operation leaves in dev_rfc.log; its last line
// carries the message from its 13th character, as the classic face's does.
void TraceError(const std::string& operation, const std::string& message) {
  Trace("**** ERROR file opened by the emulated SAP landscape, " + operation);
  Trace("ERROR       " + message);
}

template <std::size_t N>
void CopyText(SAP_UC (&field)[N], std::string_view utf8) {
  const SapText text = SapUcFromBytes(utf8);
  const std::size_t n = std::min(N - 1, text.size());
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), field);
  std::fill(field + n, field + N, SAP_UC(0));
}

// Fills the caller's error record: cleared on success, as the library does,
// so that a record reused across calls never shows an old error.
RFC_RC Report(RFC_ERROR_INFO* error, const Outcome& outcome) {
  if (error != nullptr) {
    std::memset(error, 0, sizeof *error);
    error->code = outcome.code;
    error->group = outcome.group;
    CopyText(error->key, outcome.key);
    CopyText(error->message, outcome.message);
    if (outcome.abap_message) {
      CopyText(error->abapMsgClass, "00");
      CopyText(error->abapMsgType, "E");
      CopyText(error->abapMsgNumber, "001");
    }
  }
  return outcome.code;
}

// The end of a journal line: the code and, on failure, key and message.
std::string Suffix(const Outcome& outcome) {
  std::string text = " rc=" + std::to_string(static_cast<int>(outcome.code));
  if (outcome.code != nwrfc::RFC_OK) text += " key=" + Quote(outcome.key) + " message=" + Quote(outcome.message);
  return text;
}

std::string QuoteSap(const SAP_UC* text) { return text == nullptr ? "NULL" : Quote(Utf8FromSapUc(text)); }

Connection* FindConnection(RFC_CONNECTION_HANDLE handle) {
  auto it = State().connections.find(static_cast<const void*>(handle));
  return it == State().connections.end() ? nullptr : it->second.get();
}

std::string ConnectionLabel(RFC_CONNECTION_HANDLE handle) {
  if (handle == nullptr) return "NULL";
  const Connection* connection = FindConnection(handle);
  return connection == nullptr ? "UNKNOWN" : std::to_string(connection->id);
}

Container* FindContainer(DATA_CONTAINER_HANDLE handle) {
  auto it = State().containers.find(static_cast<const void*>(handle));
  return it == State().containers.end() ? nullptr : it->second;
}

std::string ContainerLabel(DATA_CONTAINER_HANDLE handle) {
  if (handle == nullptr) return "NULL";
  const Container* container = FindContainer(handle);
  return container == nullptr ? "UNKNOWN" : container->label;
}

DATA_CONTAINER_HANDLE HandleOf(Container* container) { return reinterpret_cast<DATA_CONTAINER_HANDLE>(container); }

// A structure or table of a function, made on its first request so that
// every request for it gives the same handle.
Container* Part(Function& function, Container::Kind kind, const std::string& name,
                const ImportingParameter* parameter) {
  std::unique_ptr<Container>& part = function.parts[name];
  if (!part) {
    part = std::make_unique<Container>();
    part->kind = kind;
    part->function = &function;
    part->parameter = parameter;
    part->name = name;
    part->label = function.self.label + "." + name;
    State().containers[part.get()] = part.get();
  }
  return part.get();
}

std::string_view NetWeaverTypeName(unsigned type) {
  switch (type) {
    case TYPC: return "CHAR";
    case TYPDATE: return "DATE";
    case TYPP: return "BCD";
    case TYPTIME: return "TIME";
    case TYPINT: return "INT";
    default: return "UNKNOWN";
  }
}

// A field a getter reads: where it is and what it holds.
struct FieldRef {
  DictionaryField field{};
  std::string key;  // "PARAM" or "PARAM.FIELD"
  bool destination = false;
};

// Finds a field of basic type in a container.
std::optional<Outcome> ResolveField(const Container& container, const std::string& name, FieldRef* ref) {
  if (container.kind == Container::Kind::kTable) {
    return InvalidParameter("the rows of table " + container.name + " hold no fields in the emulated landscape");
  }
  if (container.kind == Container::Kind::kStructure) {
    const DictionaryField* field = FindField(*container.parameter, name);
    if (field == nullptr) return InvalidParameter("field '" + name + "' not found");
    ref->field = *field;
    ref->key = container.name + "." + name;
    return std::nullopt;
  }
  if (name == kDestinationParameter.name) {
    ref->field = kDestinationParameter;
    ref->key = name;
    ref->destination = true;
    return std::nullopt;
  }
  const ImportingParameter* parameter = FindImportingParameter(name);
  if (parameter != nullptr && parameter->structure.empty()) {
    ref->field = parameter->fields[0];
    ref->key = name;
    return std::nullopt;
  }
  if (parameter != nullptr) return ConversionFailure(name + " is a structure: read it with RfcGetStructure");
  if (IsTableName(name)) return ConversionFailure(name + " is a table: read it with RfcGetTable");
  return InvalidParameter("field '" + name + "' not found");
}

// The field's bytes in the function module's layout: the answering
// system's value, or the type's initial value before a successful call.
std::string FieldBytes(const Function& function, const FieldRef& ref) {
  const DictionaryField& field = ref.field;
  if (ref.destination) {
    std::string value = function.destination;
    return value.empty() ? std::string(field.length, ' ') : value;
  }
  if (function.filled) return EncodeField(ValueOf(*function.filled, ref.key, field), field.type, field.length);
  switch (field.type) {
    case TYPDATE: return std::string(8, '0');
    case TYPTIME: return std::string(6, '0');
    case TYPP: return EncodePacked(0, field.length);
    case TYPINT: return std::string(4, '\0');
    default: return std::string(field.length, ' ');
  }
}

// The field as text, as RfcGetString renders it.
std::optional<Outcome> FieldText(const Function& function, const FieldRef& ref, SapText* text) {
  const std::string bytes = FieldBytes(function, ref);
  switch (ref.field.type) {
    case TYPINT: {
      std::int32_t value;
      std::memcpy(&value, bytes.data(), sizeof value);
      *text = SapUcFromBytes(std::to_string(value));
      return std::nullopt;
    }
    case TYPP: {
      std::string rendered;
      if (!RenderPacked(bytes, ref.field.decimals, &rendered)) {
        return ConversionFailure("field " + ref.key + " holds no valid packed number (" +
                                 Hex(bytes.data(), bytes.size()) + ")");
      }
      *text = SapUcFromBytes(rendered);
      return std::nullopt;
    }
    case TYPC: *text = SapUcFromBytes(TrimTrailingBlanks(bytes)); return std::nullopt;
    default: *text = SapUcFromBytes(bytes); return std::nullopt;
  }
}

// The common start of every getter: the container and the field.
std::optional<Outcome> Locate(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, Container** container, FieldRef* ref) {
  if (handle == nullptr) return InvalidHandle("data container");
  *container = FindContainer(handle);
  if (*container == nullptr) return InvalidHandle("data container");
  if (name == nullptr) return InvalidParameter("no field name given");
  return ResolveField(**container, Utf8FromSapUc(name), ref);
}

Outcome WrongType(const FieldRef& ref, std::string_view wanted) {
  return ConversionFailure("field " + ref.key + " of type " + std::string(NetWeaverTypeName(ref.field.type)) +
                           " cannot be read as " + std::string(wanted));
}

// Fixed-length reads of DATE and TIME fields: exactly their characters.
RFC_RC GetFixed(const char* operation, unsigned type, DATA_CONTAINER_HANDLE handle, const SAP_UC* name, SAP_UC* out,
                RFC_ERROR_INFO* error) {
  Container* container = nullptr;
  FieldRef ref;
  std::optional<Outcome> failure = Locate(handle, name, &container, &ref);
  if (!failure && ref.field.type != type) failure = WrongType(ref, NetWeaverTypeName(type));
  if (!failure && out == nullptr) failure = InvalidParameter("no buffer given");
  std::string bytes;
  if (!failure) {
    bytes = FieldBytes(*container->function, ref);
    for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<SAP_UC>(static_cast<unsigned char>(bytes[i]));
  }
  const Outcome outcome = failure.value_or(Outcome{});
  JOURNAL(std::string(operation) + " container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) +
          (failure ? "" : " value=" + Quote(bytes)) + Suffix(outcome));
  return Report(error, outcome);
}

// The fault a system shows at RfcInvoke, if any. invoke_rc names the code;
// without it the classic face's call_rc or receive_rc is translated, so that
// one landscape fails the same way through both libraries.
std::optional<Outcome> InvokeFault(const EmulatedSystem& system) {
  const std::string& message = system.error.message;
  auto chosen = [&](std::string fallback) { return message.empty() ? fallback : message; };
  if (system.error_handler == EmulatedSystem::HandlerPoint::kCall) {
    return Failure(nwrfc::RFC_COMMUNICATION_FAILURE, nwrfc::COMMUNICATION_FAILURE,
                   chosen("connection closed by the emulated system " + system.name));
  }
  int code = system.invoke_rc;
  int classic = system.call_rc != 0 ? system.call_rc : system.receive_rc;
  if (code == 0 && classic != 0) {
    switch (classic) {
      case RFC_FAILURE: code = nwrfc::RFC_COMMUNICATION_FAILURE; break;
      case RFC_EXCEPTION: code = nwrfc::RFC_ABAP_EXCEPTION; break;
      case RFC_SYS_EXCEPTION: code = nwrfc::RFC_ABAP_RUNTIME_FAILURE; break;
      default: code = nwrfc::RFC_UNKNOWN_ERROR; break;
    }
  } else {
    classic = code;
  }
  const auto rc = static_cast<RFC_RC>(code);
  switch (code) {
    case nwrfc::RFC_OK: return std::nullopt;
    case nwrfc::RFC_COMMUNICATION_FAILURE:
      return Failure(rc, nwrfc::COMMUNICATION_FAILURE, chosen("connection to partner broken"));
    case nwrfc::RFC_LOGON_FAILURE: return Failure(rc, nwrfc::LOGON_FAILURE, chosen(kLogonRefused));
    case nwrfc::RFC_ABAP_RUNTIME_FAILURE: {
      const std::string text = system.has_exception ? system.exception : "SYSTEM_FAILURE";
      return Outcome{rc, nwrfc::ABAP_RUNTIME_FAILURE, text, chosen(text)};
    }
    case nwrfc::RFC_ABAP_MESSAGE: {
      Outcome outcome{rc, nwrfc::ABAP_APPLICATION_FAILURE, CodeName(rc),
                      chosen("Message 001 of class 00 (type E) raised by the emulated system " + system.name)};
      outcome.abap_message = true;
      return outcome;
    }
    case nwrfc::RFC_ABAP_EXCEPTION: {
      const std::string name = system.has_exception ? system.exception : "NOT_FOUND";
      return Outcome{rc, nwrfc::ABAP_APPLICATION_FAILURE, name, chosen(name)};
    }
    default:
      return Failure(rc, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                     chosen("internal error, return code " + std::to_string(classic)));
  }
}

bool ClosesConnection(RFC_RC code) {
  return code == nwrfc::RFC_COMMUNICATION_FAILURE || code == nwrfc::RFC_ABAP_RUNTIME_FAILURE ||
         code == nwrfc::RFC_ABAP_MESSAGE;
}

// The logon of RfcOpenConnection once the parameters are read: the
// address, the system, its faults and the logon data.
std::optional<Outcome> Logon(const ParameterMap& given, const EmulatedSystem** found) {
  if (!LandscapeError().empty()) {
    return Failure(nwrfc::RFC_EXTERNAL_FAILURE, nwrfc::EXTERNAL_RUNTIME_FAILURE, LandscapeError());
  }
  ParameterMap where = given;
  auto dest = given.find("DEST");
  if (dest != given.end()) {
    const std::string& ini_file = State().ini_file;
    std::string text;
    if (!ReadWholeFile(ini_file, &text)) {
      return InvalidParameter("cannot read " + ini_file + " for destination " + dest->second);
    }
    if (!FindSapnwrfcDestination(text, dest->second, &where)) {
      return InvalidParameter("destination " + dest->second + " is not in " + ini_file);
    }
    std::string line = "RfcOpenConnection sapnwrfc file=" + Quote(ini_file);
    for (const auto& [id, value] : where) line += " " + id + "=" + Quote(value);
    JOURNAL(line);
    // What the caller gives itself wins over the destination's entry.
    for (const auto& [id, value] : given) where[id] = value;
  }
  auto get = [&](const char* id) {
    auto it = where.find(id);
    return it == where.end() ? std::string() : it->second;
  };
  if (get("ASHOST").empty()) {
    if (!get("MSHOST").empty())
      return InvalidParameter("load balancing (MSHOST) is not offered by the emulated landscape");
    if (!get("GWHOST").empty()) return InvalidParameter("GWHOST is for registered servers; give ASHOST and SYSNR");
    return InvalidParameter("parameter ASHOST is missing");
  }
  Address address;
  address.kind = Address::Kind::kApplicationServer;
  address.host = get("ASHOST");
  address.sysnr = ParseSystemNumber(get("SYSNR"));
  if (address.sysnr < 0) return InvalidParameter("SYSNR=" + get("SYSNR") + " is not a system number 00 to 99");

  const EmulatedSystem* system = FindSystem(address);
  if (system == nullptr) {
    return Failure(nwrfc::RFC_COMMUNICATION_FAILURE, nwrfc::COMMUNICATION_FAILURE,
                   "partner '" + DescribeAddress(address) + "' not reached");
  }
  for (const std::string& line : system->trace_at_open) Trace(line);
  PrintThroughRuntime(system->print_at_open);
  if (system->logon_delay_ms > 0) SleepMilliseconds(system->logon_delay_ms);
  if (system->process_ends == EmulatedSystem::HandlerPoint::kOpen) EndProcessAbruptly(kEndedStatus);
  if (system->error_handler == EmulatedSystem::HandlerPoint::kOpen) {
    return Failure(nwrfc::RFC_COMMUNICATION_FAILURE, nwrfc::COMMUNICATION_FAILURE,
                   system->error.message.empty() ? "connection closed by the emulated system " + system->name
                                                 : system->error.message);
  }
  // The caller's texts arrive as UTF-16 and are compared as UTF-8; the
  // landscape's are read the same way, whatever encoding the file has.
  EmulatedSystem compared = *system;
  compared.client = Utf8FromBytes(system->client);
  compared.user = Utf8FromBytes(system->user);
  compared.password = Utf8FromBytes(system->password);
  const LogonVerdict verdict = CheckLogon(compared, get("CLIENT"), get("USER"), get("PASSWD"));
  if (!verdict.accepted) return Failure(nwrfc::RFC_LOGON_FAILURE, nwrfc::LOGON_FAILURE, verdict.message);
  *found = system;
  return std::nullopt;
}

using nwrfc::RFC_CHAR;
using nwrfc::RFC_DATE;
using nwrfc::RFC_FUNCTION_HANDLE;
using nwrfc::RFC_INT;
using nwrfc::RFC_STRUCTURE_HANDLE;
using nwrfc::RFC_TABLE_HANDLE;
using nwrfc::RFC_TIME;

}  // namespace

// The operations have C linkage, so their names are the plain ones whatever
// the namespace; inside it the NetWeaver types need no qualification beside
// the classic library's namesakes.
extern "C" {

RFCEMU_EXPORT RFC_CONNECTION_HANDLE NWRFC_API RfcOpenConnection(const RFC_CONNECTION_PARAMETER* parameters,
                                                                unsigned count, RFC_ERROR_INFO* error) {
  LoadLandscape();
  Library& lib = State();
  JOURNAL("RfcOpenConnection count=" + std::to_string(count) + (parameters == nullptr ? " parameters=NULL" : ""));
  std::optional<Outcome> failure;
  ParameterMap given;
  if (parameters == nullptr && count > 0) failure = InvalidParameter("no connection parameters given");
  for (unsigned i = 0; !failure && i < count; ++i) {
    const RFC_CONNECTION_PARAMETER& parameter = parameters[i];
    JOURNAL("RfcOpenConnection parameter name=" + QuoteSap(parameter.name) + " value=" + QuoteSap(parameter.value));
    if (parameter.name == nullptr || parameter.value == nullptr) {
      failure = InvalidParameter("connection parameter " + std::to_string(i + 1) + " has no name or no value");
    } else {
      given[ToUpper(Utf8FromSapUc(parameter.name))] = Utf8FromSapUc(parameter.value);
    }
  }
  const EmulatedSystem* system = nullptr;
  if (!failure) failure = Logon(given, &system);
  if (failure) {
    TraceError("RfcOpenConnection", failure->message);
    JOURNAL("RfcOpenConnection result handle=NULL" + Suffix(*failure));
    Report(error, *failure);
    return nullptr;
  }
  auto connection = std::make_unique<Connection>();
  connection->id = lib.next_connection++;
  connection->system = *system;
  auto handle = reinterpret_cast<RFC_CONNECTION_HANDLE>(connection.get());
  JOURNAL("RfcOpenConnection result handle=" + std::to_string(connection->id) + " system=" + system->name);
  lib.connections[connection.get()] = std::move(connection);
  Report(error, Outcome{});
  return handle;
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcCloseConnection(RFC_CONNECTION_HANDLE handle, RFC_ERROR_INFO* error) {
  Library& lib = State();
  Connection* connection = FindConnection(handle);
  if (connection == nullptr) {
    const Outcome outcome = InvalidHandle("connection");
    JOURNAL("RfcCloseConnection handle=" + ConnectionLabel(handle) + Suffix(outcome));
    return Report(error, outcome);
  }
  JOURNAL("RfcCloseConnection handle=" + std::to_string(connection->id) + " system=" + connection->system.name +
          (connection->closed_by_system ? " closed-by-system" : "") + " rc=0");
  lib.connections.erase(connection);
  return Report(error, Outcome{});
}

RFCEMU_EXPORT RFC_FUNCTION_DESC_HANDLE NWRFC_API RfcGetFunctionDesc(RFC_CONNECTION_HANDLE handle,
                                                                    const SAP_UC* function_name,
                                                                    RFC_ERROR_INFO* error) {
  Library& lib = State();
  const std::string prefix =
      JournalKept() ? "RfcGetFunctionDesc handle=" + ConnectionLabel(handle) + " name=" + QuoteSap(function_name)
                    : std::string();
  Connection* connection = FindConnection(handle);
  std::optional<Outcome> failure;
  if (connection == nullptr || connection->closed_by_system) {
    failure = InvalidHandle("connection");
  } else if (function_name == nullptr) {
    failure = InvalidParameter("no function name given");
  } else {
    const std::string name = Utf8FromSapUc(function_name);
    if (name != kFunctionName || connection->system.function_not_found) {
      failure = Outcome{nwrfc::RFC_NOT_FOUND, nwrfc::ABAP_RUNTIME_FAILURE, "FU_NOT_FOUND",
                        "Function module \"" + name + "\" not found"};
      TraceError("RfcGetFunctionDesc", failure->message);
    }
  }
  if (failure) {
    JOURNAL(prefix + Suffix(*failure));
    Report(error, *failure);
    return nullptr;
  }
  // One lookup per system and process; later ones come from the cache.
  std::unique_ptr<Description>& description = lib.descriptions[connection->system.name];
  const bool cached = description != nullptr;
  if (!cached) {
    description = std::make_unique<Description>();
    description->id = lib.next_description++;
    description->system = connection->system.name;
    lib.description_handles.insert(description.get());
  }
  JOURNAL(prefix + " desc=" + std::to_string(description->id) + (cached ? " source=cache" : " source=system") +
          " rc=0");
  Report(error, Outcome{});
  return reinterpret_cast<RFC_FUNCTION_DESC_HANDLE>(description.get());
}

RFCEMU_EXPORT RFC_FUNCTION_HANDLE NWRFC_API RfcCreateFunction(RFC_FUNCTION_DESC_HANDLE description,
                                                              RFC_ERROR_INFO* error) {
  Library& lib = State();
  if (description == nullptr || lib.description_handles.count(static_cast<const void*>(description)) == 0) {
    const Outcome outcome = InvalidHandle("function description");
    JOURNAL(std::string("RfcCreateFunction desc=") + (description == nullptr ? "NULL" : "UNKNOWN") + Suffix(outcome));
    Report(error, outcome);
    return nullptr;
  }
  const auto* desc = reinterpret_cast<const Description*>(description);
  auto function = std::make_unique<Function>();
  function->id = lib.next_function++;
  function->self.kind = Container::Kind::kFunction;
  function->self.function = function.get();
  function->self.label = "F" + std::to_string(function->id);
  Container* self = &function->self;
  lib.containers[self] = self;
  JOURNAL("RfcCreateFunction desc=" + std::to_string(desc->id) + " result=" + self->label + " rc=0");
  lib.functions[self] = std::move(function);
  Report(error, Outcome{});
  return HandleOf(self);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcDestroyFunction(RFC_FUNCTION_HANDLE handle, RFC_ERROR_INFO* error) {
  Library& lib = State();
  auto it = lib.functions.find(static_cast<const void*>(handle));
  if (it == lib.functions.end()) {
    const Outcome outcome = InvalidHandle("function");
    JOURNAL("RfcDestroyFunction function=" + ContainerLabel(handle) + Suffix(outcome));
    return Report(error, outcome);
  }
  JOURNAL("RfcDestroyFunction function=" + it->second->self.label + " rc=0");
  for (const auto& part : it->second->parts) lib.containers.erase(part.second.get());
  lib.containers.erase(&it->second->self);
  lib.functions.erase(it);
  return Report(error, Outcome{});
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcSetChars(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, const RFC_CHAR* value,
                                           unsigned length, RFC_ERROR_INFO* error) {
  Container* container = FindContainer(handle);
  const std::string field = Utf8FromSapUc(name);
  const std::string text = value == nullptr ? std::string() : Utf8FromSapUc(value, length);
  std::optional<Outcome> failure;
  if (container == nullptr) {
    failure = InvalidHandle("data container");
  } else if (name == nullptr) {
    failure = InvalidParameter("no field name given");
  } else if (value == nullptr && length > 0) {
    failure = InvalidParameter("no value given");
  } else if (container->kind != Container::Kind::kFunction || field != kDestinationParameter.name) {
    FieldRef ref;
    failure = ResolveField(*container, field, &ref);
    if (!failure) failure = InvalidParameter("field '" + field + "' is filled by the function module, not sent");
  } else if (length > kDestinationParameter.length) {
    failure = ConversionFailure("a value of " + std::to_string(length) + " characters does not fit " + field + " (" +
                                std::to_string(kDestinationParameter.length) + ")");
  } else {
    SapText padded(value, length);
    padded.resize(kDestinationParameter.length, SAP_UC(' '));
    container->function->destination = Utf8FromSapUc(padded.data(), padded.size());
  }
  const Outcome outcome = failure.value_or(Outcome{});
  JOURNAL("RfcSetChars container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) + " length=" +
          std::to_string(length) + " value=" + (value == nullptr ? "NULL" : Quote(text)) + Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcInvoke(RFC_CONNECTION_HANDLE connection_handle, RFC_FUNCTION_HANDLE function_handle,
                                         RFC_ERROR_INFO* error) {
  Library& lib = State();
  const std::string prefix = JournalKept() ? "RfcInvoke handle=" + ConnectionLabel(connection_handle) +
                                                 " function=" + ContainerLabel(function_handle)
                                           : std::string();
  Connection* connection = FindConnection(connection_handle);
  auto it = lib.functions.find(static_cast<const void*>(function_handle));
  std::optional<Outcome> failure;
  if (connection == nullptr) {
    failure = InvalidHandle("connection");
  } else if (connection->closed_by_system) {
    failure = InvalidHandle("connection (closed by the partner)");
  } else if (it == lib.functions.end()) {
    failure = InvalidHandle("function");
  }
  if (failure) {
    JOURNAL(prefix + Suffix(*failure));
    return Report(error, *failure);
  }
  Function& function = *it->second;
  function.filled.reset();
  const EmulatedSystem& system = connection->system;
  // The call's line comes before its delay, the result's after it: a
  // journal cut short by a hung call shows where it hung.
  JOURNAL(prefix + " name=" + Quote(kFunctionName) + " DESTINATION=" + Quote(function.destination));
  for (const std::string& line : system.trace_at_call) Trace(line);
  PrintThroughRuntime(system.print_at_call);
  if (system.delay_ms > 0) SleepMilliseconds(system.delay_ms);
  if (system.process_ends == EmulatedSystem::HandlerPoint::kCall) EndProcessAbruptly(kEndedStatus);
  failure = InvokeFault(system);
  if (failure) {
    if (failure->code != nwrfc::RFC_ABAP_EXCEPTION) TraceError("RfcInvoke", failure->message);
    if (ClosesConnection(failure->code)) connection->closed_by_system = true;
    JOURNAL("RfcInvoke result" + Suffix(*failure));
    return Report(error, *failure);
  }
  function.filled = system;
  JOURNAL("RfcInvoke result system=" + system.name + " rc=0");
  return Report(error, Outcome{});
}

// The structure or table `name` of a function's data container, for
// RfcGetStructure and RfcGetTable: `part` is set when it is of the kind asked
// for; `has_place` tells whether the caller gave a place for its handle.
static Outcome GetPart(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, bool has_place, Container::Kind kind,
                       Container** part) {
  Container* container = FindContainer(handle);
  const std::string field = Utf8FromSapUc(name);
  const bool want_structure = kind == Container::Kind::kStructure;
  const std::string what = want_structure ? "structure" : "table";
  if (container == nullptr) return InvalidHandle("data container");
  if (name == nullptr || !has_place)
    return InvalidParameter(name == nullptr ? "no field name given" : "no place for the " + what + " handle given");
  if (container->kind != Container::Kind::kFunction) return InvalidParameter("field '" + field + "' not found");
  const ImportingParameter* parameter = FindImportingParameter(field);
  const bool is_structure = parameter != nullptr && !parameter->structure.empty();
  const bool is_table = IsTableName(field);
  if (want_structure ? is_structure : is_table) {
    *part = Part(*container->function, kind, field, want_structure ? parameter : nullptr);
    return Outcome{};
  }
  if (parameter != nullptr || is_table || field == kDestinationParameter.name)
    return ConversionFailure(field + " is not a " + what);
  return InvalidParameter("field '" + field + "' not found");
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetStructure(DATA_CONTAINER_HANDLE handle, const SAP_UC* name,
                                               RFC_STRUCTURE_HANDLE* structure, RFC_ERROR_INFO* error) {
  Container* part = nullptr;
  const Outcome outcome = GetPart(handle, name, structure != nullptr, Container::Kind::kStructure, &part);
  if (part) *structure = HandleOf(part);
  JOURNAL("RfcGetStructure container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) +
          (part ? " result=" + part->label : "") + Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetTable(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, RFC_TABLE_HANDLE* table,
                                           RFC_ERROR_INFO* error) {
  Container* part = nullptr;
  const Outcome outcome = GetPart(handle, name, table != nullptr, Container::Kind::kTable, &part);
  if (part) *table = HandleOf(part);
  JOURNAL("RfcGetTable container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) +
          (part ? " result=" + part->label : "") + Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetRowCount(RFC_TABLE_HANDLE handle, unsigned* rows, RFC_ERROR_INFO* error) {
  Container* table = FindContainer(handle);
  std::optional<Outcome> failure;
  unsigned count = 0;
  if (table == nullptr || table->kind != Container::Kind::kTable) {
    failure = InvalidHandle("table");
  } else if (rows == nullptr) {
    failure = InvalidParameter("no place for the row count given");
  } else {
    const std::optional<EmulatedSystem>& system = table->function->filled;
    if (system) {
      auto configured = system->rows.find(table->name);
      count = configured != system->rows.end() ? configured->second : DefaultRowCount(system->name, table->name);
    }
    *rows = count;
  }
  const Outcome outcome = failure.value_or(Outcome{});
  JOURNAL("RfcGetRowCount table=" + ContainerLabel(handle) + (failure ? "" : " rows=" + std::to_string(count)) +
          Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetInt(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, RFC_INT* value,
                                         RFC_ERROR_INFO* error) {
  Container* container = nullptr;
  FieldRef ref;
  std::optional<Outcome> failure = Locate(handle, name, &container, &ref);
  if (!failure && ref.field.type != TYPINT) failure = WrongType(ref, "INT");
  if (!failure && value == nullptr) failure = InvalidParameter("no place for the value given");
  std::int32_t number = 0;
  if (!failure) {
    std::memcpy(&number, FieldBytes(*container->function, ref).data(), sizeof number);
    *value = number;
  }
  const Outcome outcome = failure.value_or(Outcome{});
  JOURNAL("RfcGetInt container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) +
          (failure ? "" : " value=" + std::to_string(number)) + Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetChars(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, RFC_CHAR* buffer,
                                           unsigned length, RFC_ERROR_INFO* error) {
  Container* container = nullptr;
  FieldRef ref;
  std::optional<Outcome> failure = Locate(handle, name, &container, &ref);
  if (!failure && ref.field.type != TYPC && ref.field.type != TYPDATE && ref.field.type != TYPTIME) {
    failure = WrongType(ref, "CHAR");
  }
  if (!failure && buffer == nullptr && length > 0) failure = InvalidParameter("no buffer given");
  SapText text;
  if (!failure) {
    // The value without its trailing blanks must fit; the rest of the
    // buffer is blank-filled, never terminated.
    const std::string bytes = FieldBytes(*container->function, ref);
    text = SapUcFromBytes(ref.field.type == TYPC ? TrimTrailingBlanks(bytes) : bytes);
    const std::size_t n = std::min<std::size_t>(text.size(), length);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    std::fill(buffer + n, buffer + length, SAP_UC(' '));
    if (text.size() > length) {
      failure = BufferTooSmall("field " + ref.key + " holds " + std::to_string(text.size()) +
                               " characters, the buffer " + std::to_string(length));
    }
  }
  const Outcome outcome = failure.value_or(Outcome{});
  JOURNAL("RfcGetChars container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) +
          " length=" + std::to_string(length) +
          (failure && failure->code != nwrfc::RFC_BUFFER_TOO_SMALL
               ? ""
               : " value=" + Quote(Utf8FromSapUc(text.data(), text.size()))) +
          Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetDate(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, RFC_DATE date,
                                          RFC_ERROR_INFO* error) {
  return GetFixed("RfcGetDate", TYPDATE, handle, name, date, error);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetTime(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, RFC_TIME time,
                                          RFC_ERROR_INFO* error) {
  return GetFixed("RfcGetTime", TYPTIME, handle, name, time, error);
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcGetString(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, SAP_UC* buffer,
                                            unsigned buffer_length, unsigned* string_length, RFC_ERROR_INFO* error) {
  Container* container = nullptr;
  FieldRef ref;
  std::optional<Outcome> failure = Locate(handle, name, &container, &ref);
  if (!failure && buffer == nullptr && buffer_length > 0) failure = InvalidParameter("no buffer given");
  SapText text;
  if (!failure) failure = FieldText(*container->function, ref, &text);
  if (!failure) {
    // stringLength is the text's length without the terminator, also when
    // the buffer is too small: a buffer of stringLength + 1 fits it.
    if (string_length != nullptr) *string_length = static_cast<unsigned>(text.size());
    if (buffer_length > 0) {
      const std::size_t n = std::min<std::size_t>(text.size(), buffer_length - 1);
      std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
      buffer[n] = 0;
    }
    if (text.size() + 1 > buffer_length) {
      failure = BufferTooSmall("field " + ref.key + " needs a buffer of " + std::to_string(text.size() + 1) +
                               " characters, " + std::to_string(buffer_length) + " given");
    }
  }
  const Outcome outcome = failure.value_or(Outcome{});
  JOURNAL(
      "RfcGetString container=" + ContainerLabel(handle) + " name=" + QuoteSap(name) +
      " buffer=" + std::to_string(buffer_length) +
      (failure && failure->code != nwrfc::RFC_BUFFER_TOO_SMALL
           ? ""
           : " value=" + Quote(Utf8FromSapUc(text.data(), text.size())) + " length=" + std::to_string(text.size())) +
      Suffix(outcome));
  return Report(error, outcome);
}

RFCEMU_EXPORT const SAP_UC* NWRFC_API RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch) {
  static const SapText* version = new SapText(SapUcFromBytes("7500.0.0 (emulated SAP landscape)"));
  if (major != nullptr) *major = 7500;
  if (minor != nullptr) *minor = 0;
  if (patch != nullptr) *patch = 0;
  JOURNAL("RfcGetVersion");
  return version->c_str();
}

RFCEMU_EXPORT RFC_RC NWRFC_API RfcSetIniPath(const SAP_UC* path_name, RFC_ERROR_INFO* error) {
  LoadLandscape();  // which names the journal: the program points the library before its first logon
  // A directory, with or without its separator; null: the working directory.
  std::string& ini_file = State().ini_file;
  if (path_name == nullptr) {
    ini_file = kIniFile;
  } else {
    std::string directory = Utf8FromSapUc(path_name);
    const bool separated = directory.empty() || directory.back() == '/' || directory.back() == '\\';
    ini_file = directory + (separated ? "" : "/") + kIniFile;
  }
  JOURNAL("RfcSetIniPath directory=" + QuoteSap(path_name) + " file=" + Quote(ini_file) + " rc=0");
  return Report(error, Outcome{});
}

}  // extern "C"

// The exported operations keep exactly the forms the program loads them by.
static_assert(std::is_same_v<decltype(&RfcOpenConnection), nwrfc::RfcOpenConnectionFn>);
static_assert(std::is_same_v<decltype(&RfcCloseConnection), nwrfc::RfcCloseConnectionFn>);
static_assert(std::is_same_v<decltype(&RfcGetFunctionDesc), nwrfc::RfcGetFunctionDescFn>);
static_assert(std::is_same_v<decltype(&RfcCreateFunction), nwrfc::RfcCreateFunctionFn>);
static_assert(std::is_same_v<decltype(&RfcDestroyFunction), nwrfc::RfcDestroyFunctionFn>);
static_assert(std::is_same_v<decltype(&RfcSetChars), nwrfc::RfcSetCharsFn>);
static_assert(std::is_same_v<decltype(&RfcInvoke), nwrfc::RfcInvokeFn>);
static_assert(std::is_same_v<decltype(&RfcGetStructure), nwrfc::RfcGetStructureFn>);
static_assert(std::is_same_v<decltype(&RfcGetTable), nwrfc::RfcGetTableFn>);
static_assert(std::is_same_v<decltype(&RfcGetRowCount), nwrfc::RfcGetRowCountFn>);
static_assert(std::is_same_v<decltype(&RfcGetInt), nwrfc::RfcGetIntFn>);
static_assert(std::is_same_v<decltype(&RfcGetChars), nwrfc::RfcGetCharsFn>);
static_assert(std::is_same_v<decltype(&RfcGetDate), nwrfc::RfcGetDateFn>);
static_assert(std::is_same_v<decltype(&RfcGetTime), nwrfc::RfcGetTimeFn>);
static_assert(std::is_same_v<decltype(&RfcGetString), nwrfc::RfcGetStringFn>);
static_assert(std::is_same_v<decltype(&RfcGetVersion), nwrfc::RfcGetVersionFn>);
static_assert(std::is_same_v<decltype(&RfcSetIniPath), nwrfc::RfcSetIniPathFn>);

}  // namespace rfcemu
