// The one remote call of the program through the classic library:
// SAPTUNE_GET_SUMMARY_STATISTIC, with its ten internal tables, received into
// the library's row layouts and handed on as a typed StatisticResult.
#pragma once

#include <cstdint>

#include "rfc/classic/classic_library.h"
#include "rfc/function_interface.h"
#include "rfc/session.h"

namespace poolmetrics {

// The type handles of the structures that the call receives: installed by
// the first call and reused by every later one (a global run calls once per
// system). They are the loaded library's, and live as long as it.
struct InstalledStructures {
  RFC_TYPEHANDLE types[kStructureCount] = {};
  RFC_TYPEHANDLE TypeOf(StructureId id) const { return types[static_cast<unsigned>(id)]; }
};

// Calls the function module over `connection`, with 32 blanks as its
// exporting parameter DESTINATION: the figures with the tables' row counts,
// or the failure by the library's return code (1 failure, 2 exception with
// its name, 3 system exception, any other). A structure or table the
// library cannot install, create or delete is the error block of the
// library's record. Installs what `installed` lacks.
CallOutcome CallSummaryStatistic(const ClassicRfc& rfc, InstalledStructures& installed, std::uint32_t connection);

// A packed field of `n` bytes as the classic library hands it over: every
// half-byte but the last is a digit (above 9 shown as "A" to "F"), the last
// is the sign, negative when it is D.
PackedDigits DecodePacked(const unsigned char* field, unsigned n);

}  // namespace poolmetrics
