#include "function_interface.h"

#include <iterator>

#include "rfc/classic/rfc_api.h"

namespace rfcemu {
namespace {

// Packed fields, with the decimals the NetWeaver face gives them. Those of
// the real dictionary are not known here: hit rates carry the decimals the
// program shows them with (ID_HITR four, TABHITRATO two), every other
// packed field none.
#define P(n, l) \
  DictionaryField { n, TYPP, l, 0 }
#define PD(n, l, d) \
  DictionaryField { n, TYPP, l, d }
#define I(n) \
  DictionaryField { n, TYPINT, 4 }

constexpr DictionaryField kTabPhysAcc[] = {P("UPDATE", 8), P("DELETE", 8), P("INSERT", 8), P("DIRECT", 8),
                                           P("SEQUENTIAL", 8)};
constexpr DictionaryField kEmStatusAg[] = {I("ATTACHED"), I("ALLOCATED"), I("USED"),
                                           I("TOTAL"),    I("QUOTA_DIA"), I("QUOTA_NDIA")};
constexpr DictionaryField kHpStatusAg[] = {I("USED"),       I("TOTAL"),     I("QUOTA_DIA"),
                                           I("QUOTA_NDIA"), I("TOTAL_DIA"), I("TOTAL_NDIA")};
constexpr DictionaryField kTablLogAcc[] = {I("UPDCNT"),  I("UPDFAIL"), I("DELCNT"),  I("DELFAIL"), I("INSCNT"),
                                           I("INSFAIL"), I("DIRCNT"),  I("DIRFAIL"), I("SEQCNT")};
constexpr DictionaryField kRlpgStat[] = {I("AREA_WP"),  I("AREA_SHM"),  I("AREA_SIZE"), I("CURR_USED"),
                                         I("MAX_USED"), I("FILE_SIZE"), I("QUOTA_DIA"), I("QUOTA_NDIA")};
constexpr DictionaryField kPxaInfos[] = {I("GAPS"), I("PRG_GEN")};
constexpr DictionaryField kCcStatsTtl[] = {P("ID_REQ", 8),    P("ID_HITS", 8),   PD("ID_HITR", 4, 4), P("ID_FREE", 8),
                                           P("ID_MAX", 8),    P("ID_INS", 8),    P("ID_DEL", 8),      P("STMT_REQ", 8),
                                           P("STMT_HITS", 8), P("STMT_HITR", 8), P("STMT_FREE", 8),   P("STMT_MAX", 8),
                                           P("STMT_INS", 8),  P("STMT_DEL", 8)};
constexpr DictionaryField kTabHitRato[] = {PD("DIRECT", 7, 2), PD("SEQUENTIAL", 7, 2), PD("AVERAGE", 7, 2)};
constexpr DictionaryField kTabOpertns[] = {I("REQUESTS"), I("FAILS"), I("CALLS"), I("ROWS")};

#undef P
#undef PD
#undef I

constexpr DictionaryField kAnalysisDate[] = {{"ANALYSIS_DATE", TYPDATE, 8}};
constexpr DictionaryField kAnalysisTime[] = {{"ANALYSIS_TIME", TYPTIME, 6}};
constexpr DictionaryField kBufstat[] = {{"BUFSTAT_AVAILABLE", TYPC, 1}};
constexpr DictionaryField kCcstat[] = {{"CCSTAT_AVAILABLE", TYPC, 1}};
constexpr DictionaryField kEmstat[] = {{"EMSTAT_AVAILABLE", TYPC, 1}};
constexpr DictionaryField kNumberOfTables[] = {{"NUMBER_OF_TABLES", TYPINT, 4}};
constexpr DictionaryField kPxainf[] = {{"PXAINF_AVAILABLE", TYPC, 1}};
constexpr DictionaryField kRfcError[] = {{"RFC_ERROR", TYPC, 256}};
constexpr DictionaryField kRfcErrorType[] = {{"RFC_ERROR_TYPE", TYPC, 1}};
constexpr DictionaryField kRpstat[] = {{"RPSTAT_AVAILABLE", TYPC, 1}};
constexpr DictionaryField kStartupDate[] = {{"STARTUP_DATE", TYPDATE, 8}};
constexpr DictionaryField kStartupTime[] = {{"STARTUP_TIME", TYPTIME, 6}};
constexpr DictionaryField kTabstat[] = {{"TABSTAT_AVAILABLE", TYPC, 1}};

template <std::size_t N>
constexpr ImportingParameter Basic(const DictionaryField (&field)[N]) {
  return {field[0].name, "", field, N};
}
template <std::size_t N>
constexpr ImportingParameter Structured(std::string_view name, std::string_view structure,
                                        const DictionaryField (&fields)[N]) {
  return {name, structure, fields, N};
}

constexpr ImportingParameter kImporting[] = {
    Basic(kAnalysisDate),
    Basic(kAnalysisTime),
    Basic(kBufstat),
    Basic(kCcstat),
    Structured("DB_ACCESSES", "TABPHYSACC", kTabPhysAcc),
    Basic(kEmstat),
    Structured("EXTENDED_MEMORY_USAGE", "EMSTATUSAG", kEmStatusAg),
    Structured("HEAP_MEMORY_USAGE", "HPSTATUSAG", kHpStatusAg),
    Structured("LOGIC_ACCESSES", "TABLLOGACC", kTablLogAcc),
    Basic(kNumberOfTables),
    Structured("PAGING_AREA", "RLPG_STAT", kRlpgStat),
    Basic(kPxainf),
    Structured("PXA_INFO", "PXAINFOS", kPxaInfos),
    Basic(kRfcError),
    Basic(kRfcErrorType),
    Structured("ROLL_AREA", "RLPG_STAT", kRlpgStat),
    Basic(kRpstat),
    Structured("SAP_CURSOR_CACHE_TOTAL", "CCSTATSTTL", kCcStatsTtl),
    Basic(kStartupDate),
    Basic(kStartupTime),
    Basic(kTabstat),
    Structured("TOTAL_DURATIONS", "TABPHYSACC", kTabPhysAcc),
    Structured("TOTAL_HITRATIO", "TABHITRATO", kTabHitRato),
    Structured("TOTAL_OPERATIONS", "TABOPERTNS", kTabOpertns),
    Structured("TOTAL_ROWS", "TABPHYSACC", kTabPhysAcc),
};
static_assert(std::size(kImporting) == 25);

}  // namespace

const DictionaryField kDestinationParameter = {"DESTINATION", TYPC, 32};

const std::string_view kTableNames[10] = {"ALLOC_PROCEDURE_DIA",
                                          "ALLOC_PROCEDURE_NONDIA",
                                          "BUFFER_NAMES",
                                          "BUFFER_STATISTIC",
                                          "CURSOR_CACHE_INFO",
                                          "EXTENDED_MEMORY_ACTIVE_CONTEXT",
                                          "INTERNAL_EXTERNAL_MODES_MEMORY",
                                          "MODE_MEMORY_HISTORY",
                                          "TABLE_QUALITIES",
                                          "TABLE_STATISTIC"};

const ImportingParameter* FindImportingParameter(std::string_view name) {
  for (const ImportingParameter& parameter : kImporting) {
    if (parameter.name == name) return &parameter;
  }
  return nullptr;
}

const DictionaryField* FindField(const ImportingParameter& parameter, std::string_view field) {
  if (parameter.structure.empty()) return field.empty() ? &parameter.fields[0] : nullptr;
  for (unsigned i = 0; i < parameter.field_count; ++i) {
    if (parameter.fields[i].name == field) return &parameter.fields[i];
  }
  return nullptr;
}

bool IsTableName(std::string_view name) {
  for (std::string_view table : kTableNames) {
    if (table == name) return true;
  }
  return false;
}

std::string_view TypeName(unsigned type) {
  switch (type) {
    case TYPC: return "TYPC";
    case TYPDATE: return "TYPDATE";
    case TYPP: return "TYPP";
    case TYPTIME: return "TYPTIME";
    case TYPX: return "TYPX";
    case TYPNUM: return "TYPNUM";
    case TYPFLOAT: return "TYPFLOAT";
    case TYPINT: return "TYPINT";
    case TYPINT2: return "TYPINT2";
    case TYPINT1: return "TYPINT1";
    default: return {};
  }
}

}  // namespace rfcemu
