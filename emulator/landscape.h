// The emulated SAP landscape: the application servers that the stand-in
// RFC library pretends to reach, with their logon data, the figures their
// SAPTUNE_GET_SUMMARY_STATISTIC returns and the faults they show on demand.
//
// ParseLandscape turns the text of a landscape file into this model; it does
// no input or output, so that it can be tested and fuzzed on its own. The
// format is described in emulator/README.md.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "field_value.h"

namespace rfcemu {

// The longest delay a system may ask for: an hour, so that a hung server is
// part of the scenarios.
inline constexpr unsigned kMaxDelayMs = 3600000;

// The exit status of a process that `process_ends` ends: that of a process
// ended from outside ("taskkill /F" gives 1).
inline constexpr int kEndedStatus = 1;

// What RfcLastError reports. An empty field in a system's `error` means
// "the fault's own default" (see README.md).
struct ErrorReport {
  std::string key;
  std::string status;
  std::string message;
  std::string intstat;
};

// A set of the function module's tables: all of them, or the ones named.
struct TableSelection {
  bool all = false;
  std::set<std::string> names;
  bool Contains(std::string_view table) const { return all || names.count(std::string(table)) > 0; }
  bool empty() const { return !all && names.empty(); }
};

struct EmulatedSystem {
  std::string name;
  int line = 0;  // of its section header

  // Addresses: application server host and system number; gateway host and
  // service (service normalised to "sapgwNN" form where it has one).
  std::string ashost;
  int sysnr = 0;
  std::string gwhost;
  std::string gwserv;

  // Logon data, compared as SAP does: trailing blanks never count, the
  // user name ignores case, the password does not.
  std::string client;
  std::string user;
  std::string password;

  // Figures: "PARAM" for a parameter of a basic type, "PARAM.FIELD" for a
  // field of a structure-typed one; row counts by table name.
  std::map<std::string, FieldValue> values;
  std::map<std::string, unsigned> rows;

  // Faults on demand.
  enum class HandlerPoint { kNever, kOpen, kCall };
  bool refuse_logon = false;
  HandlerPoint error_handler = HandlerPoint::kNever;
  // Where the library ends the whole process at once, as an operator's kill
  // would: no handler, no return, nothing written.
  HandlerPoint process_ends = HandlerPoint::kNever;
  std::string error_operation;  // empty: the operation's own name
  ErrorReport error;
  int call_rc = 0;
  int receive_rc = 0;
  bool has_exception = false;
  std::string exception;
  TableSelection itcreate_fails;
  TableSelection itdelete_fails;
  int invoke_rc = 0;  // the NetWeaver face's RfcInvoke; 0: derived from call_rc and receive_rc
  bool function_not_found = false;
  unsigned delay_ms = 0;        // of the call
  unsigned logon_delay_ms = 0;  // of the logon
  std::vector<std::string> trace_at_open;
  std::vector<std::string> trace_at_call;
  // Lines the library prints with printf, through the C runtime it may
  // share with the program, as some libraries do.
  std::vector<std::string> print_at_open;
  std::vector<std::string> print_at_call;
};

struct Landscape {
  std::string journal;  // path of the call journal; empty: none
  std::vector<EmulatedSystem> systems;
};

// Reads a landscape file's text. On failure `err` says what is wrong and on
// which line ("line 7: ..."), and `landscape` is left unspecified.
bool ParseLandscape(std::string_view text, Landscape* landscape, std::string* err);

}  // namespace rfcemu
