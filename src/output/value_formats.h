// The texts of channel values: packed decimals, integers, row counts.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/fixed_text.h"
#include "rfc/statistic_result.h"

namespace poolmetrics {

using ValueText = FixedText<64>;

// A packed number as a sign character and its digits, with a point before
// the last `d` of them. Digits above 9 are written as they are ("A" to "F").
ValueText FormatPacked(const PackedDigits& packed, unsigned d);

// A formatted packed number reduced to its significant digits ("0" when
// there is none). A negative number keeps its minus sign.
ValueText StripLeadingZeros(std::string_view formatted);

enum class ValueFormat {
  kInt,      // 4-byte integer, as signed decimal
  kPacked8,  // 8-byte packed, significant digits
  kCount,    // number of rows of an internal table
  kRate4,    // 4-byte packed with 4 decimals: 099.5000
  kPercent,  // 7-byte packed with 2 decimals: 100.00, " 99.87", " 05.00"
};

// The value of a field in the given format (not for kCount).
ValueText FormatField(const FieldValue& field, ValueFormat format);

ValueText FormatInteger(long value);

// `part` of `whole` (above zero) in percent with two decimals: "80.00",
// "100.00", "0.50".
ValueText FormatShare(std::int64_t part, std::int64_t whole);

}  // namespace poolmetrics
