#include "rfc/classic/call.h"

#include <cstring>
#include <string>

#include "rfc/classic/error_handler.h"
#include "rfc/classic/rfc_api.h"
#include "rfc/classic/structure_layout.h"

namespace poolmetrics {
namespace {

static_assert(static_cast<unsigned>(FieldType::kChar) == TYPC && static_cast<unsigned>(FieldType::kPacked) == TYPP &&
              static_cast<unsigned>(FieldType::kInt) == TYPINT && static_cast<unsigned>(FieldType::kInt1) == TYPINT1);

constexpr const char* kFunction = "SAPTUNE_GET_SUMMARY_STATISTIC";

// The buffers the library writes the importing parameters into: each at
// least as long as its parameter, structure rows in the layout of
// structure_layout.h.
struct ReceiveBuffer {
  char ANALYSIS_DATE[8];
  char ANALYSIS_TIME[6];
  char BUFSTAT_AVAILABLE[1];
  char CCSTAT_AVAILABLE[1];
  char EMSTAT_AVAILABLE[1];
  std::int32_t NUMBER_OF_TABLES;
  char PXAINF_AVAILABLE[1];
  char RFC_ERROR[256];
  char RFC_ERROR_TYPE[1];
  char RPSTAT_AVAILABLE[1];
  char STARTUP_DATE[8];  // YYYYMMDD
  char STARTUP_TIME[6];  // HHMMSS
  char TABSTAT_AVAILABLE[1];
  // The structure-typed parameters, in the order of kRowParameters.
  alignas(8) unsigned char rows[kRowParameterCount][StructureOf(StructureId::kCcstatsttl).row_length];
};

constexpr bool RowBuffersFit() {
  for (const RowParameterSpec& p : kRowParameters)
    if (StructureOf(p.structure).row_length > sizeof ReceiveBuffer::rows[0]) return false;
  return true;
}
static_assert(RowBuffersFit(), "a row buffer is shorter than its structure");

// The library takes `char*` for names it only reads.
char* Name(const char* name) { return const_cast<char*>(name); }
char* Name(std::string_view name) { return const_cast<char*>(name.data()); }

std::optional<ErrorBlock> InstallStructures(const ClassicRfc& rfc, InstalledStructures& installed) {
  for (std::size_t i = 0; i < kStructureCount; ++i) {
    if (installed.types[i] != 0) continue;
    const Structure& s = kStructures[i];
    RFC_TYPE_ELEMENT elements[64];
    for (unsigned e = 0; e < s.count; ++e)
      elements[e] = {Name(s.elements[e].name), static_cast<unsigned>(s.elements[e].type), s.elements[e].length, 0, 0};
    if (rfc.RfcInstallStructure(Name(s.name), elements, s.count, &installed.types[i]) != RFC_OK)
      return CaptureErrorBlock(rfc, "RfcInstallStructure");
  }
  return std::nullopt;
}

RFC_PARAMETER Parameter(const char* name, RFC_TYPEHANDLE type, unsigned length, void* address) {
  return {Name(name), static_cast<unsigned>(std::char_traits<char>::length(name)), type, length, address};
}

template <std::size_t N>
RFC_PARAMETER Field(const char* name, unsigned type, char (&field)[N]) {
  return Parameter(name, type, N, field);
}

RFC_PARAMETER Row(ReceiveBuffer& r, const InstalledStructures& installed, RowParameter p) {
  const RowParameterSpec& parameter = RowParameterOf(p);
  return Parameter(parameter.name, installed.TypeOf(parameter.structure), StructureOf(parameter.structure).row_length,
                   r.rows[static_cast<unsigned>(p)]);
}

// The ten internal tables of one call, created and deleted in the order of
// the interface. A table the library cannot create or delete is an RFC
// error: its block is taken from the library's record at once, before any
// other library call. Tables still held when the owner goes (after such an
// error) are deleted without a word: the error shown is the first one.
class StatisticTables {
 public:
  explicit StatisticTables(const ClassicRfc& rfc) : rfc_(rfc) {}
  ~StatisticTables() {
    for (void* handle : handles_)
      if (handle) rfc_.ItDelete(handle);
  }
  StatisticTables(const StatisticTables&) = delete;
  StatisticTables& operator=(const StatisticTables&) = delete;

  std::optional<ErrorBlock> Create() {
    for (std::size_t i = 0; i < kTableCount; ++i) {
      handles_[i] = rfc_.ItCreate(Name(kTables[i].name), StructureOf(kTables[i].row).row_length, 0, 0);
      if (!handles_[i]) return CaptureErrorBlock(rfc_, std::string("ItCreate ") + kTables[i].name);
    }
    return std::nullopt;
  }

  std::optional<ErrorBlock> Delete() {
    for (std::size_t i = 0; i < kTableCount; ++i) {
      void* handle = handles_[i];
      handles_[i] = nullptr;
      if (rfc_.ItDelete(handle) != 0) return CaptureErrorBlock(rfc_, std::string("ItDelete ") + kTables[i].name);
    }
    return std::nullopt;
  }

  long Rows(std::size_t index) const { return static_cast<long>(rfc_.ItFill(handles_[index])); }
  void* Handle(std::size_t index) const { return handles_[index]; }

 private:
  const ClassicRfc& rfc_;
  void* handles_[kTableCount] = {};
};

CallFailure FailureOf(RFC_RC rc, const char* exception) {
  switch (rc) {
    case RFC_FAILURE: return {CallFailureKind::kFailure, {}, {}};
    // Returned at once by RfcCall, the exception text is left as it was:
    // empty.
    case RFC_EXCEPTION: return {CallFailureKind::kException, FixedText<256>(exception ? exception : "").c_str(), {}};
    case RFC_SYS_EXCEPTION: return {CallFailureKind::kSystemException, {}, {}};
    default: return {CallFailureKind::kOther, {}, {}};
  }
}

void DecodeRow(const unsigned char* row, StructureId id, std::array<FieldValue, kMaxRowFields>& fields) {
  const Structure& s = StructureOf(id);
  for (unsigned i = 0; i < s.count; ++i) {
    const unsigned char* field = row + ElementOffset(s, i);
    if (s.elements[i].type == FieldType::kInt)
      std::memcpy(&fields[i].integer, field, sizeof fields[i].integer);
    else if (s.elements[i].type == FieldType::kPacked)
      fields[i].packed = DecodePacked(field, s.elements[i].length);
  }
}

template <std::size_t N, std::size_t M>
void Take(FixedText<M>& text, const char (&field)[N]) {
  text = std::string_view(field, N);
}

void Decode(const ReceiveBuffer& r, const StatisticTables& tables, StatisticResult& result) {
  Take(result.analysis_date, r.ANALYSIS_DATE);
  Take(result.analysis_time, r.ANALYSIS_TIME);
  Take(result.startup_date, r.STARTUP_DATE);
  Take(result.startup_time, r.STARTUP_TIME);
  Take(result.bufstat_available, r.BUFSTAT_AVAILABLE);
  Take(result.ccstat_available, r.CCSTAT_AVAILABLE);
  Take(result.emstat_available, r.EMSTAT_AVAILABLE);
  Take(result.pxainf_available, r.PXAINF_AVAILABLE);
  Take(result.rpstat_available, r.RPSTAT_AVAILABLE);
  Take(result.tabstat_available, r.TABSTAT_AVAILABLE);
  Take(result.rfc_error_type, r.RFC_ERROR_TYPE);
  Take(result.rfc_error, r.RFC_ERROR);
  result.number_of_tables = r.NUMBER_OF_TABLES;
  for (std::size_t p = 0; p < kRowParameterCount; ++p)
    DecodeRow(r.rows[p], kRowParameters[p].structure, result.rows[p]);
  for (std::size_t t = 0; t < kTableCount; ++t) result.row_counts[t] = tables.Rows(t);
}

// The call's table parameters, over the tables' handles; `list` ends with
// an empty entry.
void ListTables(const StatisticTables& tables, const InstalledStructures& installed,
                RFC_TABLE (&list)[kTableCount + 1]) {
  for (std::size_t i = 0; i < kTableCount; ++i) {
    list[i].name = Name(kTables[i].name);
    list[i].nlen = static_cast<unsigned>(std::char_traits<char>::length(kTables[i].name));
    list[i].type = installed.TypeOf(kTables[i].row);
    list[i].leng = StructureOf(kTables[i].row).row_length;
    list[i].ithandle = tables.Handle(i);
    list[i].itmode = RFC_ITMODE_BYREFERENCE;
  }
}

}  // namespace

PackedDigits DecodePacked(const unsigned char* field, unsigned n) {
  constexpr char kHex[] = "0123456789ABCDEF";
  PackedDigits packed;
  if (n == 0) return packed;
  for (unsigned i = 0; i < n; ++i) {
    packed.digits += kHex[field[i] >> 4];
    if (i + 1 < n) packed.digits += kHex[field[i] & 0x0F];
  }
  packed.negative = (field[n - 1] & 0x0F) == 0x0D;
  return packed;
}

CallOutcome CallSummaryStatistic(const ClassicRfc& rfc, InstalledStructures& installed, std::uint32_t connection) {
  StatisticTables tables(rfc);
  if (std::optional<ErrorBlock> block = tables.Create()) return *block;
  if (std::optional<ErrorBlock> block = InstallStructures(rfc, installed)) return *block;
  char exporting_destination[32];
  std::memset(exporting_destination, ' ', sizeof exporting_destination);
  RFC_PARAMETER exporting[] = {
      Field("DESTINATION", TYPC, exporting_destination),
      {},
  };
  ReceiveBuffer r = {};
  using P = RowParameter;
  RFC_PARAMETER importing[] = {
      Field("ANALYSIS_DATE", TYPDATE, r.ANALYSIS_DATE),
      Field("ANALYSIS_TIME", TYPTIME, r.ANALYSIS_TIME),
      Field("BUFSTAT_AVAILABLE", TYPC, r.BUFSTAT_AVAILABLE),
      Field("CCSTAT_AVAILABLE", TYPC, r.CCSTAT_AVAILABLE),
      Row(r, installed, P::kDbAccesses),
      Field("EMSTAT_AVAILABLE", TYPC, r.EMSTAT_AVAILABLE),
      Row(r, installed, P::kExtendedMemoryUsage),
      Row(r, installed, P::kHeapMemoryUsage),
      Row(r, installed, P::kLogicAccesses),
      Parameter("NUMBER_OF_TABLES", TYPINT, sizeof r.NUMBER_OF_TABLES, &r.NUMBER_OF_TABLES),
      Row(r, installed, P::kPagingArea),
      Field("PXAINF_AVAILABLE", TYPC, r.PXAINF_AVAILABLE),
      Row(r, installed, P::kPxaInfo),
      Field("RFC_ERROR", TYPC, r.RFC_ERROR),
      Field("RFC_ERROR_TYPE", TYPC, r.RFC_ERROR_TYPE),
      Row(r, installed, P::kRollArea),
      Field("RPSTAT_AVAILABLE", TYPC, r.RPSTAT_AVAILABLE),
      Row(r, installed, P::kSapCursorCacheTotal),
      Field("STARTUP_DATE", TYPDATE, r.STARTUP_DATE),
      Field("STARTUP_TIME", TYPTIME, r.STARTUP_TIME),
      Field("TABSTAT_AVAILABLE", TYPC, r.TABSTAT_AVAILABLE),
      Row(r, installed, P::kTotalDurations),
      Row(r, installed, P::kTotalHitratio),
      Row(r, installed, P::kTotalOperations),
      Row(r, installed, P::kTotalRows),
      {},
  };
  RFC_TABLE table_list[kTableCount + 1] = {};
  ListTables(tables, installed, table_list);

  char* exception_name = nullptr;
  RFC_RC rc = rfc.RfcCall(connection, Name(kFunction), exporting, table_list);
  if (rc == RFC_OK) rc = rfc.RfcReceive(connection, importing, table_list, &exception_name);
  CallOutcome outcome;
  if (rc == RFC_OK) {
    auto statistic = std::make_shared<StatisticResult>();
    Decode(r, tables, *statistic);
    outcome = std::move(statistic);
  } else {
    outcome = FailureOf(rc, exception_name);
  }
  // The tables go in every case; one the library cannot delete is an RFC
  // error, whatever the call gave.
  if (std::optional<ErrorBlock> block = tables.Delete()) return *block;
  return outcome;
}

}  // namespace poolmetrics
