// What both faces of the emulated library share: the landscape as it is on
// disk, the journal, and the parts of a logon and a call that do not depend
// on the library's interface (finding the system, checking the logon data,
// the value a system reports for a field).
//
// Each built library holds its own copy of this state for the life of the
// process, as the vendor libraries do, and expects one thread, as the
// program is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "destination.h"
#include "field_value.h"
#include "function_interface.h"
#include "landscape.h"

namespace rfcemu {

inline constexpr char kLogonRefused[] = "Name or password is incorrect (repeat logon)";

// Reads the landscape file named by POOLMETRICS_LANDSCAPE, else
// landscape.ini in the working directory, when it is not the one read last
// or its size or modification time changed. A file that cannot be read or
// parsed leaves an empty landscape and LandscapeError() saying why.
void LoadLandscape();
const Landscape& CurrentLandscape();
const std::string& LandscapeError();  // empty when the file was read

// The journal: lines are built only when one is kept, so that a sensor run
// does not pay for formatting them.
bool JournalKept();
void Journal(const std::string& line);
#define JOURNAL(line)              \
  do {                             \
    if (::rfcemu::JournalKept()) { \
      ::rfcemu::Journal(line);     \
    }                              \
  } while (false)

bool ReadWholeFile(const std::string& path, std::string* text);

// The system at an address of the current landscape, or null.
const EmulatedSystem* FindSystem(const Address& address);

// "host:sapgwNN" or "host:service", as error messages name a partner.
std::string DescribeAddress(const Address& address);

std::string TrimTrailingBlanks(std::string_view text);

// Prints each of `lines` and a line feed with printf, to the standard output
// of the C runtime this library is linked with, as a library that talks to
// its console does; left in the runtime's buffer, as printf leaves it.
void PrintThroughRuntime(const std::vector<std::string>& lines);

// A logon's verdict. Client, user and password are compared as SAP does:
// trailing blanks never count, the user ignores case, the password does
// not. `by_fault` marks a refusal the system was told to give
// (refuse_logon), whose message the system's error_message replaces.
struct LogonVerdict {
  bool accepted = false;
  bool by_fault = false;
  std::string message;
};
LogonVerdict CheckLogon(const EmulatedSystem& system, const std::string& client, const std::string& user,
                        const std::string& password);

// What a system reports for a field: its landscape value, else the default
// derived from its name. `key` is "PARAM" or "PARAM.FIELD".
FieldValue ValueOf(const EmulatedSystem& system, const std::string& key, const DictionaryField& field);

}  // namespace rfcemu
