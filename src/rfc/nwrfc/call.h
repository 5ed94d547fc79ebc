// SAPTUNE_GET_SUMMARY_STATISTIC through the NetWeaver library.
#pragma once

#include <optional>
#include <string_view>

#include "rfc/nwrfc/nwrfc_api.h"
#include "rfc/nwrfc/nwrfc_library.h"
#include "rfc/session.h"

namespace poolmetrics {

// Looks the function up, creates it, sends 32 blanks as DESTINATION, invokes
// it on `connection` and reads every importing parameter and the ten
// tables' row counts into the typed result. The function handle is
// destroyed on every path; the connection stays the caller's.
CallOutcome CallSummaryStatistic(const NwRfc& rfc, nwrfc::RFC_CONNECTION_HANDLE connection);

// A packed field of `length` bytes as the library renders it ("-123.4500",
// "0.05", "12345"): its sign and all its 2*length-1 digits, leading zeros
// added and the point dropped. Nothing when the text is no such number or
// has more digits than the field.
std::optional<PackedDigits> PackedFromText(std::string_view text, unsigned length);

}  // namespace poolmetrics
