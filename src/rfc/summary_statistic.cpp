#include "rfc/summary_statistic.h"

#include <string>

#include "rfc/rfc_api.h"
#include "rfc/rfc_error_handler.h"
#include "rfc/rfc_library.h"

namespace poolmetrics {
namespace {

static_assert(static_cast<unsigned>(FieldType::kChar) == TYPC && static_cast<unsigned>(FieldType::kPacked) == TYPP &&
              static_cast<unsigned>(FieldType::kInt) == TYPINT && static_cast<unsigned>(FieldType::kInt1) == TYPINT1);

constexpr const char* kFunction = "SAPTUNE_GET_SUMMARY_STATISTIC";

struct TableSpec {
  const char* name;
  StructureId row;
};
constexpr TableSpec kTables[StatisticTables::kCount] = {
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

// Type handles of the installed structures: installed on the first call of
// the process and reused by every later one (a global run calls once per
// system).
RFC_TYPEHANDLE g_type_handles[kStructureCount];

// The library takes `char*` for names it only reads.
char* Name(const char* name) { return const_cast<char*>(name); }
char* Name(std::string_view name) { return const_cast<char*>(name.data()); }

void InstallStructures(const RfcLibrary& rfc) {
  for (std::size_t i = 0; i < kStructureCount; ++i) {
    if (g_type_handles[i] != 0) continue;
    const Structure& s = kStructures[i];
    RFC_TYPE_ELEMENT elements[64];
    for (unsigned e = 0; e < s.count; ++e)
      elements[e] = {Name(s.elements[e].name), static_cast<unsigned>(s.elements[e].type), s.elements[e].length, 0, 0};
    if (rfc.RfcInstallStructure(Name(s.name), elements, s.count, &g_type_handles[i]) != RFC_OK)
      ReportRfcError("RfcInstallStructure");
  }
}

RFC_TYPEHANDLE TypeOf(StructureId id) { return g_type_handles[static_cast<unsigned>(id)]; }

RFC_PARAMETER Parameter(const char* name, RFC_TYPEHANDLE type, unsigned length, void* address) {
  return {Name(name), static_cast<unsigned>(std::char_traits<char>::length(name)), type, length, address};
}

template <std::size_t N>
RFC_PARAMETER Field(const char* name, unsigned type, char (&field)[N]) {
  return Parameter(name, type, N, field);
}

template <std::size_t N>
RFC_PARAMETER Row(const char* name, StructureId id, unsigned char (&row)[N]) {
  return Parameter(name, TypeOf(id), N, row);
}

}  // namespace

StatisticTables::StatisticTables() {
  const RfcLibrary& rfc = Rfc();
  for (std::size_t i = 0; i < kCount; ++i) {
    handles_[i] = rfc.ItCreate(Name(kTables[i].name), StructureOf(kTables[i].row).row_length, 0, 0);
    if (!handles_[i]) ReportRfcError(std::string("ItCreate ") + kTables[i].name);
  }
}

StatisticTables::~StatisticTables() { Delete(); }

void StatisticTables::Delete() {
  if (deleted_) return;
  deleted_ = true;
  const RfcLibrary& rfc = Rfc();
  for (std::size_t i = 0; i < kCount; ++i)
    if (rfc.ItDelete(handles_[i]) != 0) ReportRfcError(std::string("ItDelete ") + kTables[i].name);
}

long StatisticTables::Rows(std::size_t index) const { return static_cast<long>(Rfc().ItFill(handles_[index])); }

int CallSummaryStatistic(std::uint32_t connection, std::string_view destination, SummaryStatistic& r,
                         StatisticTables& tables, FixedText<256>& exception) {
  const RfcLibrary& rfc = Rfc();
  InstallStructures(rfc);

  char exporting_destination[32];
  for (std::size_t i = 0; i < sizeof exporting_destination; ++i)
    exporting_destination[i] = i < destination.size() ? destination[i] : ' ';
  RFC_PARAMETER exporting[] = {
      Field("DESTINATION", TYPC, exporting_destination),
      {},
  };
  RFC_PARAMETER importing[] = {
      Field("ANALYSIS_DATE", TYPDATE, r.ANALYSIS_DATE),
      Field("ANALYSIS_TIME", TYPTIME, r.ANALYSIS_TIME),
      Field("BUFSTAT_AVAILABLE", TYPC, r.BUFSTAT_AVAILABLE),
      Field("CCSTAT_AVAILABLE", TYPC, r.CCSTAT_AVAILABLE),
      Row("DB_ACCESSES", StructureId::kTabphysacc, r.DB_ACCESSES),
      Field("EMSTAT_AVAILABLE", TYPC, r.EMSTAT_AVAILABLE),
      Row("EXTENDED_MEMORY_USAGE", StructureId::kEmstatusag, r.EXTENDED_MEMORY_USAGE),
      Row("HEAP_MEMORY_USAGE", StructureId::kHpstatusag, r.HEAP_MEMORY_USAGE),
      Row("LOGIC_ACCESSES", StructureId::kTabllogacc, r.LOGIC_ACCESSES),
      Parameter("NUMBER_OF_TABLES", TYPINT, sizeof r.NUMBER_OF_TABLES, &r.NUMBER_OF_TABLES),
      Row("PAGING_AREA", StructureId::kRlpgStat, r.PAGING_AREA),
      Field("PXAINF_AVAILABLE", TYPC, r.PXAINF_AVAILABLE),
      Row("PXA_INFO", StructureId::kPxainfos, r.PXA_INFO),
      Field("RFC_ERROR", TYPC, r.RFC_ERROR),
      Field("RFC_ERROR_TYPE", TYPC, r.RFC_ERROR_TYPE),
      Row("ROLL_AREA", StructureId::kRlpgStat, r.ROLL_AREA),
      Field("RPSTAT_AVAILABLE", TYPC, r.RPSTAT_AVAILABLE),
      Row("SAP_CURSOR_CACHE_TOTAL", StructureId::kCcstatsttl, r.SAP_CURSOR_CACHE_TOTAL),
      Field("STARTUP_DATE", TYPDATE, r.STARTUP_DATE),
      Field("STARTUP_TIME", TYPTIME, r.STARTUP_TIME),
      Field("TABSTAT_AVAILABLE", TYPC, r.TABSTAT_AVAILABLE),
      Row("TOTAL_DURATIONS", StructureId::kTabphysacc, r.TOTAL_DURATIONS),
      Row("TOTAL_HITRATIO", StructureId::kTabhitrato, r.TOTAL_HITRATIO),
      Row("TOTAL_OPERATIONS", StructureId::kTabopertns, r.TOTAL_OPERATIONS),
      Row("TOTAL_ROWS", StructureId::kTabphysacc, r.TOTAL_ROWS),
      {},
  };
  RFC_TABLE table_list[StatisticTables::kCount + 1] = {};
  for (std::size_t i = 0; i < StatisticTables::kCount; ++i) {
    table_list[i].name = Name(kTables[i].name);
    table_list[i].nlen = static_cast<unsigned>(std::char_traits<char>::length(kTables[i].name));
    table_list[i].type = TypeOf(kTables[i].row);
    table_list[i].leng = StructureOf(kTables[i].row).row_length;
    table_list[i].ithandle = tables.Handle(i);
    table_list[i].itmode = RFC_ITMODE_BYREFERENCE;
  }

  char* exception_name = nullptr;
  RFC_RC rc = rfc.RfcCall(connection, Name(kFunction), exporting, table_list);
  if (rc != RFC_OK) return rc;
  rc = rfc.RfcReceive(connection, importing, table_list, &exception_name);
  if ((rc == RFC_EXCEPTION || rc == RFC_SYS_EXCEPTION) && exception_name) exception = exception_name;
  return rc;
}

}  // namespace poolmetrics
