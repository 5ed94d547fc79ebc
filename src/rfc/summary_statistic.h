// The one remote call of the program: SAPTUNE_GET_SUMMARY_STATISTIC, with
// the record that receives its 25 importing parameters and the ten internal
// tables that receive its rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rfc/structures.h"
#include "run/fixed_text.h"

namespace poolmetrics {

// One field per importing parameter, at least as long as the parameter;
// structure fields hold one row in the layout of structures.h.
struct SummaryStatistic {
  char ANALYSIS_DATE[8];
  char ANALYSIS_TIME[6];
  char BUFSTAT_AVAILABLE[1];
  char CCSTAT_AVAILABLE[1];
  alignas(8) unsigned char DB_ACCESSES[40];
  char EMSTAT_AVAILABLE[1];
  alignas(8) unsigned char EXTENDED_MEMORY_USAGE[24];
  alignas(8) unsigned char HEAP_MEMORY_USAGE[24];
  alignas(8) unsigned char LOGIC_ACCESSES[36];
  std::int32_t NUMBER_OF_TABLES;
  alignas(8) unsigned char PAGING_AREA[32];
  char PXAINF_AVAILABLE[1];
  alignas(8) unsigned char PXA_INFO[8];
  char RFC_ERROR[256];
  char RFC_ERROR_TYPE[1];
  alignas(8) unsigned char ROLL_AREA[32];
  char RPSTAT_AVAILABLE[1];
  alignas(8) unsigned char SAP_CURSOR_CACHE_TOTAL[108];
  char STARTUP_DATE[8];  // YYYYMMDD
  char STARTUP_TIME[6];  // HHMMSS
  char TABSTAT_AVAILABLE[1];
  alignas(8) unsigned char TOTAL_DURATIONS[40];
  alignas(8) unsigned char TOTAL_HITRATIO[21];
  alignas(8) unsigned char TOTAL_OPERATIONS[16];
  alignas(8) unsigned char TOTAL_ROWS[40];
};

// The program's buffers are the interface's row lengths.
static_assert(sizeof(SummaryStatistic::DB_ACCESSES) == StructureOf(StructureId::kTabphysacc).row_length);
static_assert(sizeof(SummaryStatistic::EXTENDED_MEMORY_USAGE) == StructureOf(StructureId::kEmstatusag).row_length);
static_assert(sizeof(SummaryStatistic::HEAP_MEMORY_USAGE) == StructureOf(StructureId::kHpstatusag).row_length);
static_assert(sizeof(SummaryStatistic::LOGIC_ACCESSES) == StructureOf(StructureId::kTabllogacc).row_length);
static_assert(sizeof(SummaryStatistic::PAGING_AREA) == StructureOf(StructureId::kRlpgStat).row_length);
static_assert(sizeof(SummaryStatistic::PXA_INFO) == StructureOf(StructureId::kPxainfos).row_length);
static_assert(sizeof(SummaryStatistic::SAP_CURSOR_CACHE_TOTAL) == StructureOf(StructureId::kCcstatsttl).row_length);
static_assert(sizeof(SummaryStatistic::TOTAL_HITRATIO) == StructureOf(StructureId::kTabhitrato).row_length);
static_assert(sizeof(SummaryStatistic::TOTAL_OPERATIONS) == StructureOf(StructureId::kTabopertns).row_length);

// The ten internal tables of one call, created in the order of the interface
// and deleted in the same order by Delete() or, at the latest, by the owner's
// end. A table the library cannot create or delete ends the process through
// the RFC error handler.
class StatisticTables {
 public:
  static constexpr std::size_t kCount = 10;
  StatisticTables();
  ~StatisticTables();
  StatisticTables(const StatisticTables&) = delete;
  StatisticTables& operator=(const StatisticTables&) = delete;

  void Delete();
  // The number of rows of table `index`.
  long Rows(std::size_t index) const;
  void* Handle(std::size_t index) const { return handles_[index]; }

 private:
  void* handles_[kCount] = {};
  bool deleted_ = false;
};

// Calls the function module over `connection`, with `destination` (32
// characters) as its exporting parameter. Returns the library's return
// code; on 2 (exception) and 3 (system exception) `exception` holds its name.
int CallSummaryStatistic(std::uint32_t connection, std::string_view destination, SummaryStatistic& result,
                         StatisticTables& tables, FixedText<256>& exception);

}  // namespace poolmetrics
