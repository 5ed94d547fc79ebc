// The interface of SAPTUNE_GET_SUMMARY_STATISTIC as every RFC library sees
// it: its 17 structure types with their fields, the importing parameters
// typed by a structure, and its ten tables. Names, types and lengths only;
// how a library lays a row out in memory is that library's own business.
#pragma once

#include <cstddef>
#include <string_view>

namespace poolmetrics {

// Element types, with the library's type codes.
enum class FieldType : unsigned { kChar = 0, kPacked = 2, kInt = 8, kInt1 = 10 };

struct StructureElement {
  std::string_view name;
  FieldType type;
  unsigned length;
};

struct Structure {
  std::string_view name;
  const StructureElement* elements;
  unsigned count;
  unsigned row_length;  // as the interface defines it
};

// In the order of installation.
enum class StructureId : unsigned {
  kTabphysacc,
  kEmstatusag,
  kHpstatusag,
  kTabllogacc,
  kRlpgStat,
  kPxainfos,
  kCcstatsttl,
  kTabhitrato,
  kTabopertns,
  kMemalloc,
  kSaptunebfn,
  kTunehdwq,
  kCcstats,
  kEmcontext,
  kMemmodetab,
  kTabbufqual,
  kDbstatdec,
};
constexpr std::size_t kStructureCount = 17;

// The tables are inline: one copy in the program, not one in every file
// that uses them (each copy holds addresses that the loader writes at start).
namespace structure_elements {
inline constexpr StructureElement kTabphysaccElements[] = {
    {"UPDATE", FieldType::kPacked, 8}, {"DELETE", FieldType::kPacked, 8},     {"INSERT", FieldType::kPacked, 8},
    {"DIRECT", FieldType::kPacked, 8}, {"SEQUENTIAL", FieldType::kPacked, 8},
};
inline constexpr StructureElement kEmstatusagElements[] = {
    {"ATTACHED", FieldType::kInt, 4}, {"ALLOCATED", FieldType::kInt, 4}, {"USED", FieldType::kInt, 4},
    {"TOTAL", FieldType::kInt, 4},    {"QUOTA_DIA", FieldType::kInt, 4}, {"QUOTA_NDIA", FieldType::kInt, 4},
};
inline constexpr StructureElement kHpstatusagElements[] = {
    {"USED", FieldType::kInt, 4},       {"TOTAL", FieldType::kInt, 4},     {"QUOTA_DIA", FieldType::kInt, 4},
    {"QUOTA_NDIA", FieldType::kInt, 4}, {"TOTAL_DIA", FieldType::kInt, 4}, {"TOTAL_NDIA", FieldType::kInt, 4},
};
inline constexpr StructureElement kTabllogaccElements[] = {
    {"UPDCNT", FieldType::kInt, 4},  {"UPDFAIL", FieldType::kInt, 4}, {"DELCNT", FieldType::kInt, 4},
    {"DELFAIL", FieldType::kInt, 4}, {"INSCNT", FieldType::kInt, 4},  {"INSFAIL", FieldType::kInt, 4},
    {"DIRCNT", FieldType::kInt, 4},  {"DIRFAIL", FieldType::kInt, 4}, {"SEQCNT", FieldType::kInt, 4},
};
inline constexpr StructureElement kRlpgStatElements[] = {
    {"AREA_WP", FieldType::kInt, 4},   {"AREA_SHM", FieldType::kInt, 4},   {"AREA_SIZE", FieldType::kInt, 4},
    {"CURR_USED", FieldType::kInt, 4}, {"MAX_USED", FieldType::kInt, 4},   {"FILE_SIZE", FieldType::kInt, 4},
    {"QUOTA_DIA", FieldType::kInt, 4}, {"QUOTA_NDIA", FieldType::kInt, 4},
};
inline constexpr StructureElement kPxainfosElements[] = {
    {"GAPS", FieldType::kInt, 4},
    {"PRG_GEN", FieldType::kInt, 4},
};
inline constexpr StructureElement kCcstatsttlElements[] = {
    {"ID_REQ", FieldType::kPacked, 8},    {"ID_HITS", FieldType::kPacked, 8},   {"ID_HITR", FieldType::kPacked, 4},
    {"ID_FREE", FieldType::kPacked, 8},   {"ID_MAX", FieldType::kPacked, 8},    {"ID_INS", FieldType::kPacked, 8},
    {"ID_DEL", FieldType::kPacked, 8},    {"STMT_REQ", FieldType::kPacked, 8},  {"STMT_HITS", FieldType::kPacked, 8},
    {"STMT_HITR", FieldType::kPacked, 8}, {"STMT_FREE", FieldType::kPacked, 8}, {"STMT_MAX", FieldType::kPacked, 8},
    {"STMT_INS", FieldType::kPacked, 8},  {"STMT_DEL", FieldType::kPacked, 8},
};
inline constexpr StructureElement kTabhitratoElements[] = {
    {"DIRECT", FieldType::kPacked, 7},
    {"SEQUENTIAL", FieldType::kPacked, 7},
    {"AVERAGE", FieldType::kPacked, 7},
};
inline constexpr StructureElement kTabopertnsElements[] = {
    {"REQUESTS", FieldType::kInt, 4},
    {"FAILS", FieldType::kInt, 4},
    {"CALLS", FieldType::kInt, 4},
    {"ROWS", FieldType::kInt, 4},
};
inline constexpr StructureElement kMemallocElements[] = {
    {"MEMTYPE", FieldType::kInt, 4},
    {"AMOUNT", FieldType::kPacked, 8},
};
inline constexpr StructureElement kSaptunebfnElements[] = {
    {"BUFFERNAME", FieldType::kChar, 5},
};
inline constexpr StructureElement kTunehdwqElements[] = {
    {"ALLOC_SIZE", FieldType::kInt, 4},    {"AVAIL_SIZE", FieldType::kInt, 4}, {"FRAME_SIZE", FieldType::kInt, 4},
    {"MAX_OBJCTS", FieldType::kInt, 4},    {"HASH_WIDTH", FieldType::kInt, 4}, {"CUT_VALUE", FieldType::kInt, 4},
    {"ACT_OBJCTS", FieldType::kInt, 4},    {"CON_OBJCTS", FieldType::kInt, 4}, {"USED_SPACE", FieldType::kInt, 4},
    {"MAX_FRMES", FieldType::kInt, 4},     {"ALLOC_FRMS", FieldType::kInt, 4}, {"REQUEST", FieldType::kInt, 4},
    {"HIT", FieldType::kInt, 4},           {"OBJ_N_FND", FieldType::kInt, 4},  {"INSERT", FieldType::kInt, 4},
    {"UPDATE", FieldType::kInt, 4},        {"REQ_DELETE", FieldType::kInt, 4}, {"DELETE", FieldType::kInt, 4},
    {"FREE_OBJCT", FieldType::kInt, 4},    {"DB_ACCESS", FieldType::kInt, 4},  {"DB_ACC_SVD", FieldType::kInt, 4},
    {"REORG", FieldType::kInt, 4},         {"SWAP", FieldType::kInt, 4},       {"SWAP_FRAME", FieldType::kInt, 4},
    {"SEARCH", FieldType::kInt, 4},        {"SEARCH_INS", FieldType::kInt, 4}, {"SUM_SIZE", FieldType::kInt, 4},
    {"SUM_SIZE2", FieldType::kInt, 4},     {"MAX_SIZE", FieldType::kInt, 4},   {"MIN_SIZE", FieldType::kInt, 4},
    {"REFRESH", FieldType::kInt, 4},       {"SIZE_UNIT", FieldType::kInt, 4},  {"RESERVE", FieldType::kInt, 4},
    {"ALLOC", FieldType::kChar, 1},        {"SMODE", FieldType::kChar, 1},     {"UP_TIME", FieldType::kChar, 14},
    {"LAST_REFR", FieldType::kChar, 14},   {"NAME", FieldType::kChar, 5},      {"HITRATIO", FieldType::kPacked, 4},
    {"DB_QUALITY", FieldType::kPacked, 4},
};
inline constexpr StructureElement kCcstatsElements[] = {
    {"WRKPROCESS", FieldType::kInt, 4}, {"SI_MAX", FieldType::kInt, 4},     {"SI_REQUEST", FieldType::kInt, 4},
    {"SI_FOUNDS", FieldType::kInt, 4},  {"SI_INSERTS", FieldType::kInt, 4}, {"SI_DELETES", FieldType::kInt, 4},
    {"SI0_REQ", FieldType::kInt, 4},    {"S_MAX", FieldType::kInt, 4},      {"S_REQUEST", FieldType::kInt, 4},
    {"S_FOUNDS", FieldType::kInt, 4},   {"S_INSERTS", FieldType::kInt, 4},  {"S_DELETES", FieldType::kInt, 4},
    {"S_REPARSES", FieldType::kInt, 4}, {"WP_ITYPE", FieldType::kInt1, 1},  {"WP_PID", FieldType::kChar, 8},
};
inline constexpr StructureElement kEmcontextElements[] = {
    {"SRVNAME", FieldType::kChar, 20},  {"HANDLE", FieldType::kInt, 4},     {"ROLLKEY", FieldType::kChar, 16},
    {"ROLLINFO", FieldType::kChar, 16}, {"ATTACHED", FieldType::kInt, 4},   {"WPID", FieldType::kInt, 4},
    {"ACTIMODE", FieldType::kInt, 4},   {"MEMSUMKB", FieldType::kInt, 4},   {"PRIVSUMKB", FieldType::kInt, 4},
    {"PRIVTIME", FieldType::kChar, 6},  {"TCODE", FieldType::kChar, 20},    {"USEKB", FieldType::kInt, 4},
    {"MAXKB", FieldType::kInt, 4},      {"MAXDIAKB", FieldType::kInt, 4},   {"STACKMODKB", FieldType::kInt, 4},
    {"USGLOBALKB", FieldType::kInt, 4}, {"USEHYPERKB", FieldType::kInt, 4}, {"MEMOFREEMB", FieldType::kInt, 4},
};
inline constexpr StructureElement kMemmodetabElements[] = {
    {"ROLLKEY", FieldType::kChar, 16}, {"NAME", FieldType::kChar, 16}, {"ATTACHED", FieldType::kInt, 4},
    {"IMODE", FieldType::kInt, 4},     {"MEMSUM", FieldType::kInt, 4}, {"PRIVSUM", FieldType::kInt, 4},
    {"I0", FieldType::kInt, 4},        {"I1", FieldType::kInt, 4},     {"I2", FieldType::kInt, 4},
    {"I3", FieldType::kInt, 4},        {"I4", FieldType::kInt, 4},     {"I5", FieldType::kInt, 4},
    {"I6", FieldType::kInt, 4},        {"I7", FieldType::kInt, 4},     {"I8", FieldType::kInt, 4},
    {"I9", FieldType::kInt, 4},        {"IMODEG", FieldType::kInt, 4}, {"EMODEG", FieldType::kInt, 4},
};
inline constexpr StructureElement kTabbufqualElements[] = {
    {"TNAME", FieldType::kChar, 30},
    {"Q_DIRECTRD", FieldType::kPacked, 6},
    {"Q_SEQRD", FieldType::kPacked, 6},
    {"Q_TOTAL", FieldType::kPacked, 6},
};
inline constexpr StructureElement kDbstatdecElements[] = {
    {"UPDCNT", FieldType::kPacked, 7},     {"UPDFAIL", FieldType::kPacked, 7},    {"DELCNT", FieldType::kPacked, 7},
    {"DELFAIL", FieldType::kPacked, 7},    {"INSCNT", FieldType::kPacked, 7},     {"INSFAIL", FieldType::kPacked, 7},
    {"DIRCNT", FieldType::kPacked, 7},     {"DIRFAIL", FieldType::kPacked, 7},    {"SEQCNT", FieldType::kPacked, 7},
    {"SEQFAIL", FieldType::kPacked, 7},    {"UPD_PREP", FieldType::kPacked, 7},   {"UPD_EXEC", FieldType::kPacked, 7},
    {"UPD_ROW", FieldType::kPacked, 7},    {"UPD_DUR", FieldType::kPacked, 7},    {"DEL_PREP", FieldType::kPacked, 7},
    {"DEL_EXEC", FieldType::kPacked, 7},   {"DEL_ROW", FieldType::kPacked, 7},    {"DEL_DUR", FieldType::kPacked, 7},
    {"INS_PREP", FieldType::kPacked, 7},   {"INS_EXEC", FieldType::kPacked, 7},   {"INS_ROW", FieldType::kPacked, 7},
    {"INS_DUR", FieldType::kPacked, 7},    {"DIR_PREP", FieldType::kPacked, 7},   {"DIR_OPEN", FieldType::kPacked, 7},
    {"DIR_FETCH", FieldType::kPacked, 7},  {"DIR_DUR", FieldType::kPacked, 7},    {"SEQ_PREP", FieldType::kPacked, 7},
    {"SEQ_OPEN", FieldType::kPacked, 7},   {"SEQ_FETCH", FieldType::kPacked, 7},  {"SEQ_ROW", FieldType::kPacked, 7},
    {"SEQ_DUR", FieldType::kPacked, 7},    {"LOAD_PREP", FieldType::kPacked, 7},  {"LOAD_OPEN", FieldType::kPacked, 7},
    {"LOAD_FETCH", FieldType::kPacked, 7}, {"LOAD_ROW", FieldType::kPacked, 7},   {"LOAD_DUR", FieldType::kPacked, 7},
    {"BUF_RESET", FieldType::kPacked, 7},  {"BUF_SIZE", FieldType::kPacked, 7},   {"BUF_SIZEMX", FieldType::kPacked, 7},
    {"BUF_RECS", FieldType::kPacked, 7},   {"BUF_RECSMX", FieldType::kPacked, 7}, {"BUF_DIR", FieldType::kPacked, 7},
    {"BUF_SEQ", FieldType::kPacked, 7},    {"REGIONS_N", FieldType::kPacked, 7},  {"SEQ_SCAN", FieldType::kPacked, 7},
    {"TNAME", FieldType::kChar, 30},       {"REF", FieldType::kChar, 1},          {"RNAME", FieldType::kChar, 30},
    {"BUF", FieldType::kChar, 1},          {"SQL", FieldType::kChar, 1},          {"BUF_STATE", FieldType::kChar, 1},
};
}  // namespace structure_elements

inline constexpr Structure kStructures[kStructureCount] = {
    {"TABPHYSACC", structure_elements::kTabphysaccElements, 5, 40},
    {"EMSTATUSAG", structure_elements::kEmstatusagElements, 6, 24},
    {"HPSTATUSAG", structure_elements::kHpstatusagElements, 6, 24},
    {"TABLLOGACC", structure_elements::kTabllogaccElements, 9, 36},
    {"RLPG_STAT", structure_elements::kRlpgStatElements, 8, 32},
    {"PXAINFOS", structure_elements::kPxainfosElements, 2, 8},
    {"CCSTATSTTL", structure_elements::kCcstatsttlElements, 14, 108},
    {"TABHITRATO", structure_elements::kTabhitratoElements, 3, 21},
    {"TABOPERTNS", structure_elements::kTabopertnsElements, 4, 16},
    {"MEMALLOC", structure_elements::kMemallocElements, 2, 12},
    {"SAPTUNEBFN", structure_elements::kSaptunebfnElements, 1, 5},
    {"TUNEHDWQ", structure_elements::kTunehdwqElements, 40, 176},
    {"CCSTATS", structure_elements::kCcstatsElements, 15, 64},
    {"EMCONTEXT", structure_elements::kEmcontextElements, 18, 132},
    {"MEMMODETAB", structure_elements::kMemmodetabElements, 18, 96},
    {"TABBUFQUAL", structure_elements::kTabbufqualElements, 4, 48},
    {"DBSTATDEC", structure_elements::kDbstatdecElements, 51, 379},
};

constexpr const Structure& StructureOf(StructureId id) { return kStructures[static_cast<unsigned>(id)]; }

// The index of a field by name; a name that is not in the structure does not
// compile where the index is a constant.
constexpr std::size_t FieldIndex(StructureId id, std::string_view field) {
  const Structure& s = StructureOf(id);
  for (std::size_t i = 0; i < s.count; ++i)
    if (s.elements[i].name == field) return i;
  throw "no such field";
}

// The importing parameters typed by a structure, in the interface's order.
enum class RowParameter : unsigned {
  kDbAccesses,
  kExtendedMemoryUsage,
  kHeapMemoryUsage,
  kLogicAccesses,
  kPagingArea,
  kPxaInfo,
  kRollArea,
  kSapCursorCacheTotal,
  kTotalDurations,
  kTotalHitratio,
  kTotalOperations,
  kTotalRows,
};
constexpr std::size_t kRowParameterCount = 12;

struct RowParameterSpec {
  const char* name;
  StructureId structure;
};
inline constexpr RowParameterSpec kRowParameters[kRowParameterCount] = {
    {"DB_ACCESSES", StructureId::kTabphysacc},       {"EXTENDED_MEMORY_USAGE", StructureId::kEmstatusag},
    {"HEAP_MEMORY_USAGE", StructureId::kHpstatusag}, {"LOGIC_ACCESSES", StructureId::kTabllogacc},
    {"PAGING_AREA", StructureId::kRlpgStat},         {"PXA_INFO", StructureId::kPxainfos},
    {"ROLL_AREA", StructureId::kRlpgStat},           {"SAP_CURSOR_CACHE_TOTAL", StructureId::kCcstatsttl},
    {"TOTAL_DURATIONS", StructureId::kTabphysacc},   {"TOTAL_HITRATIO", StructureId::kTabhitrato},
    {"TOTAL_OPERATIONS", StructureId::kTabopertns},  {"TOTAL_ROWS", StructureId::kTabphysacc},
};

constexpr const RowParameterSpec& RowParameterOf(RowParameter p) { return kRowParameters[static_cast<unsigned>(p)]; }

// The most fields of a structure-typed importing parameter (CCSTATSTTL).
constexpr std::size_t kMaxRowFields = 14;
constexpr bool RowsFit() {
  for (const RowParameterSpec& p : kRowParameters)
    if (StructureOf(p.structure).count > kMaxRowFields) return false;
  return true;
}
static_assert(RowsFit(), "a structure-typed parameter has more fields than a result row holds");

// The ten tables, in the interface's order, with the structures of their rows.
struct TableSpec {
  const char* name;
  StructureId row;
};
constexpr std::size_t kTableCount = 10;
inline constexpr TableSpec kTables[kTableCount] = {
    {"ALLOC_PROCEDURE_DIA", StructureId::kMemalloc},
    {"ALLOC_PROCEDURE_NONDIA", StructureId::kMemalloc},
    {"BUFFER_NAMES", StructureId::kSaptunebfn},
    {"BUFFER_STATISTIC", StructureId::kTunehdwq},
    {"CURSOR_CACHE_INFO", StructureId::kCcstats},
    {"EXTENDED_MEMORY_ACTIVE_CONTEXT", StructureId::kEmcontext},
    {"INTERNAL_EXTERNAL_MODES_MEMORY", StructureId::kMemmodetab},
    {"MODE_MEMORY_HISTORY", StructureId::kMemmodetab},
    {"TABLE_QUALITIES", StructureId::kTabbufqual},
    {"TABLE_STATISTIC", StructureId::kDbstatdec},
};

}  // namespace poolmetrics
