// The one remote call of the program through the classic library:
// SAPTUNE_GET_SUMMARY_STATISTIC, with its ten internal tables, received into
// the library's row layouts and handed on as a typed StatisticResult.
#pragma once

#include <cstdint>

#include "rfc/statistic_result.h"
#include "run/fixed_text.h"

namespace poolmetrics {

// Calls the function module over `connection`, with 32 blanks as its
// exporting parameter DESTINATION. Returns the library's return code; on 0
// `result` holds the figures and the tables' row counts, on 2 (exception)
// and 3 (system exception) `exception` holds its name. A structure or table
// the library cannot install, create or delete ends the process through the
// RFC error handler.
int CallSummaryStatistic(std::uint32_t connection, StatisticResult& result, FixedText<256>& exception);

// A packed field of `n` bytes as the classic library hands it over: every
// half-byte but the last is a digit (above 9 shown as "A" to "F"), the last
// is the sign, negative when it is D.
PackedDigits DecodePacked(const unsigned char* field, unsigned n);

}  // namespace poolmetrics
