// How a logon names its system, read as the vendor libraries read it: the
// connect string of RfcOpenEx and the destination blocks of saprfc.ini (the
// classic library), the destination entries of sapnwrfc.ini (the NetWeaver
// library).
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace rfcemu {

// ID=value pairs with the IDs upper-cased.
using ParameterMap = std::map<std::string, std::string>;

// Splits a connect string into its blank-separated ID=value pairs. IDs are
// case-insensitive; values run to the next blank and may be empty; a later
// pair with the same ID replaces an earlier one. Fails on a word without
// "=" or with an empty ID.
bool ParseConnectString(std::string_view text, ParameterMap* pairs, std::string* err);

// Finds the block of destination `dest` (case-insensitive) in the text of a
// saprfc.ini file. A block starts with a DEST= line and runs to the next
// one; its lines are ID=value with blanks around either side ignored; lines
// starting with '*' or '#' and blank lines are comments. Returns false when
// no block names the destination.
bool FindDestination(std::string_view ini_text, std::string_view dest, ParameterMap* block);

// Finds the entry of destination `dest` (case-insensitive) in the text of a
// sapnwrfc.ini file, as the NetWeaver library reads it: lines ID=value with
// blanks around either side ignored and IDs case-insensitive; an entry
// starts with a DEST= line and ends at a blank line or the next DEST= line;
// lines starting with '#', '/*' or '//' are comments (they do not end an
// entry). A UTF-8 byte-order mark at the start is skipped, and a line ends at
// CR LF, LF or a CR alone. Returns false when no entry names the destination.
bool FindSapnwrfcDestination(std::string_view ini_text, std::string_view dest, ParameterMap* entry);

// Where a logon goes: an application server (host and system number) or a
// gateway (host and service).
struct Address {
  enum class Kind { kApplicationServer, kGateway };
  Kind kind = Kind::kApplicationServer;
  std::string host;     // application server or gateway host
  int sysnr = 0;        // application server only
  std::string service;  // gateway only
};

// The address of a saprfc.ini block or connect string: ASHOST= with SYSNR=
// (TYPE=A or no TYPE), else GWHOST= with GWSERV=. Fails with a message for
// another TYPE or when neither host is given.
bool AddressFromParameters(const ParameterMap& parameters, Address* address, std::string* err);

// Gateway services are named "sapgwNN" or by their port "33NN"; both give
// "sapgwNN". Other names are returned lower-cased.
std::string NormalizeGatewayService(std::string_view service);

// A two-digit system number (0 to 99) from its text; -1 when it is none.
int ParseSystemNumber(std::string_view text);

// Case-insensitive comparison of host names and IDs.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToUpper(std::string_view text);
// `text` without the characters of `blanks` at either end.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t");

}  // namespace rfcemu
