#include "output/sensor_types.h"

#include <cstddef>

#include "rfc/function_interface.h"

namespace poolmetrics {
namespace {

using S = StructureId;
using F = ValueFormat;

constexpr std::size_t At(StructureId s, std::string_view field) { return FieldIndex(s, field); }

constexpr ChannelDefinition kPhysicalAccesses[] = {
    {"Physical updates", At(S::kTabphysacc, "UPDATE"), F::kPacked8, "#"},
    {"Physical deletes", At(S::kTabphysacc, "DELETE"), F::kPacked8, "#"},
    {"Physical inserts", At(S::kTabphysacc, "INSERT"), F::kPacked8, "#"},
    {"Phys. direct read accesses", At(S::kTabphysacc, "DIRECT"), F::kPacked8, "#"},
    {"Phys. seq. read accesses", At(S::kTabphysacc, "SEQUENTIAL"), F::kPacked8, "#"},
};

constexpr ChannelDefinition kExtendedMemory[] = {
    {"EM state attached", At(S::kEmstatusag, "ATTACHED"), F::kInt, "MByte"},
    {"EM state allocated", At(S::kEmstatusag, "ALLOCATED"), F::kInt, "MByte"},
    {"Maximum allocated EM", At(S::kEmstatusag, "USED"), F::kInt, "MByte"},
    {"Available extended mem", At(S::kEmstatusag, "TOTAL"), F::kInt, "MByte"},
    {"Max. size dialog WPs", At(S::kEmstatusag, "QUOTA_DIA"), F::kInt, "Bytes"},
    {"Max. size non-dialog WPs", At(S::kEmstatusag, "QUOTA_NDIA"), F::kInt, "Bytes"},
};

constexpr ChannelDefinition kHeapMemory[] = {
    {"Heap memory currently used", At(S::kHpstatusag, "USED"), F::kInt, "Bytes"},
    {"Available heap memory", At(S::kHpstatusag, "TOTAL"), F::kInt, "Bytes"},
    {"Quota for dialog WPs", At(S::kHpstatusag, "QUOTA_DIA"), F::kInt, "Bytes"},
    {"Quota for non-dialog WPs", At(S::kHpstatusag, "QUOTA_NDIA"), F::kInt, "Bytes"},
    {"Total quota all dialog sess.", At(S::kHpstatusag, "TOTAL_DIA"), F::kInt, "Bytes"},
    {"Total quota non-dialog sess.", At(S::kHpstatusag, "TOTAL_NDIA"), F::kInt, "Bytes"},
};

constexpr ChannelDefinition kLogicalAccesses[] = {
    {"Update attempts", At(S::kTabllogacc, "UPDCNT"), F::kInt, "#"},
    {"Failed update attempts", At(S::kTabllogacc, "UPDFAIL"), F::kInt, "#"},
    {"Detete attempts", At(S::kTabllogacc, "DELCNT"), F::kInt, "#"},
    {"Failed delete attempts", At(S::kTabllogacc, "DELFAIL"), F::kInt, "#"},
    {"Insert attempts", At(S::kTabllogacc, "INSCNT"), F::kInt, "#"},
    {"Failed insert attempts", At(S::kTabllogacc, "INSFAIL"), F::kInt, "#"},
    {"Direct reads", At(S::kTabllogacc, "DIRCNT"), F::kInt, "#"},
    {"Failed direct reads", At(S::kTabllogacc, "DIRFAIL"), F::kInt, "#"},
    {"Sequental reads", At(S::kTabllogacc, "SEQCNT"), F::kInt, "#"},
};

constexpr ChannelDefinition kPagingArea[] = {
    {"Paging area per WorkProc", At(S::kRlpgStat, "AREA_WP"), F::kInt, "KByte"},
    {"Paging area in ShrMemory", At(S::kRlpgStat, "AREA_SHM"), F::kInt, "KByte"},
    {"Total size paging area", At(S::kRlpgStat, "AREA_SIZE"), F::kInt, "KByte"},
    {"Curr. used paging area", At(S::kRlpgStat, "CURR_USED"), F::kInt, "KByte"},
    {"Max.paging since start", At(S::kRlpgStat, "MAX_USED"), F::kInt, "KByte"},
    {"Size of paging file", At(S::kRlpgStat, "FILE_SIZE"), F::kInt, "KByte"},
    {"Quota paging area dia WPs", At(S::kRlpgStat, "QUOTA_DIA"), F::kInt, "Bytes"},
    {"Quota paging non-dia WPs", At(S::kRlpgStat, "QUOTA_NDIA"), F::kInt, "Bytes"},
};

constexpr ChannelDefinition kRollArea[] = {
    {"Roll area per workprocess", At(S::kRlpgStat, "AREA_WP"), F::kInt, "KByte"},
    {"Roll area in shared memory", At(S::kRlpgStat, "AREA_SHM"), F::kInt, "KByte"},
    {"Total size roll area", At(S::kRlpgStat, "AREA_SIZE"), F::kInt, "KByte"},
    {"Curr. used roll area", At(S::kRlpgStat, "CURR_USED"), F::kInt, "KByte"},
    {"Max.roll since start", At(S::kRlpgStat, "MAX_USED"), F::kInt, "KByte"},
    {"Size of roll file", At(S::kRlpgStat, "FILE_SIZE"), F::kInt, "KByte"},
    {"Quota roll area dialog WPs", At(S::kRlpgStat, "QUOTA_DIA"), F::kInt, "Bytes"},
    {"Quota roll non-dialog WPs", At(S::kRlpgStat, "QUOTA_NDIA"), F::kInt, "Bytes"},
};

constexpr ChannelDefinition kPxaInfo[] = {
    {"Size of the gaps in PXA", At(S::kPxainfos, "GAPS"), F::kInt, "#"},
    {"No.of generated programs", At(S::kPxainfos, "PRG_GEN"), F::kInt, "#"},
};

constexpr ChannelDefinition kCursorCache[] = {
    {"Requirements ID cache", At(S::kCcstatsttl, "ID_REQ"), F::kPacked8, "#"},
    {"Hits in the ID cache", At(S::kCcstatsttl, "ID_HITS"), F::kPacked8, "#"},
    {"Hit rate in the ID cache", At(S::kCcstatsttl, "ID_HITR"), F::kRate4, "#"},
    {"Free entries in ID cache", At(S::kCcstatsttl, "ID_FREE"), F::kPacked8, "#"},
    {"Avail. entries in ID cache.", At(S::kCcstatsttl, "ID_MAX"), F::kPacked8, "#"},
    {"Inserts in ID cache", At(S::kCcstatsttl, "ID_INS"), F::kPacked8, "#"},
    {"Deletes in ID cache", At(S::kCcstatsttl, "ID_DEL"), F::kPacked8, "#"},
    {"Requirements stmt. cache", At(S::kCcstatsttl, "STMT_REQ"), F::kPacked8, "#"},
    {"Hits in statement cache", At(S::kCcstatsttl, "STMT_HITS"), F::kPacked8, "#"},
    {"Hit rate in statement cache", At(S::kCcstatsttl, "STMT_HITR"), F::kPacked8, "#"},
    {"Free entries in statement c.", At(S::kCcstatsttl, "STMT_FREE"), F::kPacked8, "#"},
    {"Avail entries stmt. cache", At(S::kCcstatsttl, "STMT_MAX"), F::kPacked8, "#"},
    {"Inserts statement cache", At(S::kCcstatsttl, "STMT_INS"), F::kPacked8, "#"},
    {"Deletes statement cache", At(S::kCcstatsttl, "STMT_DEL"), F::kPacked8, "#"},
};

constexpr ChannelDefinition kTotalHitRatio[] = {
    {"Hit rate direct read accesses", At(S::kTabhitrato, "DIRECT"), F::kPercent, "%", ChannelLimit::kHitRate},
    {"Hit rate seq. read accesses", At(S::kTabhitrato, "SEQUENTIAL"), F::kPercent, "%", ChannelLimit::kHitRate},
    {"Medium hit rate", At(S::kTabhitrato, "AVERAGE"), F::kPercent, "%", ChannelLimit::kHitRate},
};

constexpr ChannelDefinition kTotalOperations[] = {
    {"Logical requests database", At(S::kTabopertns, "REQUESTS"), F::kInt, "#"},
    {"Failed requests database", At(S::kTabopertns, "FAILS"), F::kInt, "#"},
    {"Physical database accesses", At(S::kTabopertns, "CALLS"), F::kInt, "#"},
    {"Processed table tuples", At(S::kTabopertns, "ROWS"), F::kInt, "#"},
};

// Sources are the tables in the interface's order.
constexpr ChannelDefinition kTableEntries[] = {
    {"Alloc Procedure Dia", 0, F::kCount, "#"},  {"Alloc Procedure NonDia", 1, F::kCount, "#"},
    {"Buffer Names", 2, F::kCount, "#"},         {"Buffer Statistic", 3, F::kCount, "#"},
    {"Cursor Cache Info", 4, F::kCount, "#"},    {"Ext.Mem Act Context", 5, F::kCount, "#"},
    {"Int.Ext. Mode Memory", 6, F::kCount, "#"}, {"Mode Memory History", 7, F::kCount, "#"},
    {"Table Qualities", 8, F::kCount, "#"},      {"Table Statistic", 9, F::kCount, "#"},
};

template <std::size_t N>
constexpr SensorType Type(std::string_view keyword, std::string_view header, RowParameter parameter,
                          const ChannelDefinition (&channels)[N]) {
  return {keyword, header, parameter, channels, N};
}

}  // namespace

// Constant data: nothing runs at start-up to fill it.
constexpr SensorType kSensorTypes[kSensorTypeCount] = {
    Type("DBASE-ACCESSES", ") Table Statistics: Physical Database Accesses, ", RowParameter::kDbAccesses,
         kPhysicalAccesses),
    Type("EXTENDED-MEMORY", ") Extended Memory Statistics: Utilization Data, ", RowParameter::kExtendedMemoryUsage,
         kExtendedMemory),
    Type("HEAP-MEMORY", ") Heap Memory Statistics: Utilization Data, ", RowParameter::kHeapMemoryUsage, kHeapMemory),
    Type("LOGICAL-ACCESSES", ") Table Statistics: Logical (ABAP) DataBase Accesses, ", RowParameter::kLogicAccesses,
         kLogicalAccesses),
    Type("PAGING-AREA", ") Statistics on SAP Paging Area, ", RowParameter::kPagingArea, kPagingArea),
    Type("PXA-INFO", ") Selected Information for PXA (Program Buffer), ", RowParameter::kPxaInfo, kPxaInfo),
    Type("ROLL-AREA", ") Statistics on SAP Roll Area, ", RowParameter::kRollArea, kRollArea),
    Type("CURSOR-CACHE", ") SAP Cursor Cache: Total Statistics for all Work Processes, ",
         RowParameter::kSapCursorCacheTotal, kCursorCache),
    Type("TOTAL-DURATIONS", ") Total Durations: Physical Database Accesses, ", RowParameter::kTotalDurations,
         kPhysicalAccesses),
    Type("TOTAL-HITRATIO", ") Table Statistics: Total Hit Rates, ", RowParameter::kTotalHitratio, kTotalHitRatio),
    Type("TOTAL-OPERATIONS", ") Table Statistics: Total number of Operations, ", RowParameter::kTotalOperations,
         kTotalOperations),
    Type("TOTAL-ROWS", ") Total Rows: Physical Database Accesses, ", RowParameter::kTotalRows, kPhysicalAccesses),
    Type("TABLE-ENTRIES", ") Pool-Metrics: Table-Entries, ", RowParameter::kDbAccesses, kTableEntries),
};

SensorSet SensorTypesNamedIn(std::string_view parameter_keys) {
  SensorSet named;
  for (std::size_t i = 0; i < kSensorTypeCount; ++i)
    named[i] = parameter_keys.find(kSensorTypes[i].keyword) != std::string_view::npos;
  return named;
}

}  // namespace poolmetrics
