// StatisticResult: what one call of SAPTUNE_GET_SUMMARY_STATISTIC returned,
// typed, the same whichever RFC library served it. Channels read its fields
// by (parameter, field): no library's byte layout or idea of decimals shows
// through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/fixed_text.h"
#include "rfc/function_interface.h"

namespace poolmetrics {

// A packed decimal field of n bytes: its sign and all its 2n-1 digits,
// leading zeros kept, no point; the sensor code places the decimals. A
// half-byte above 9, which only a library that hands over the field's bytes
// can deliver, shows as "A" to "F".
struct PackedDigits {
  bool negative = false;
  FixedText<16> digits;
};

constexpr bool PackedDigitsFit() {
  for (const RowParameterSpec& p : kRowParameters) {
    const Structure& s = StructureOf(p.structure);
    for (unsigned i = 0; i < s.count; ++i)
      if (s.elements[i].type == FieldType::kPacked && 2 * s.elements[i].length - 1 > 15) return false;
  }
  return true;
}
static_assert(PackedDigitsFit(), "a packed field of a result row has more digits than PackedDigits holds");

// One field of a structure-typed parameter: an INT or a packed number, as
// the interface types it (the other member stays empty).
struct FieldValue {
  std::int32_t integer = 0;
  PackedDigits packed;
};

struct StatisticResult {
  FixedText<9> analysis_date;  // YYYYMMDD
  FixedText<7> analysis_time;  // HHMMSS
  FixedText<9> startup_date;   // YYYYMMDD
  FixedText<7> startup_time;   // HHMMSS
  FixedText<2> bufstat_available, ccstat_available, emstat_available, pxainf_available, rpstat_available,
      tabstat_available, rfc_error_type;
  std::int32_t number_of_tables = 0;
  FixedText<257> rfc_error;
  // One row per structure-typed parameter, its fields in the structure's
  // element order.
  std::array<std::array<FieldValue, kMaxRowFields>, kRowParameterCount> rows{};
  // The number of rows of each table, in the interface's order.
  std::array<long, kTableCount> row_counts{};

  const FieldValue& Field(RowParameter parameter, std::size_t field) const {
    return rows[static_cast<std::size_t>(parameter)][field];
  }
};

// The figures of one call, made once on the heap and shared, never copied:
// a result takes 7 KB, and each copy on the stack of the steps it passes
// through (the call, the query, the cached answer) would cost a run fresh pages.
using SharedStatistic = std::shared_ptr<const StatisticResult>;

}  // namespace poolmetrics
