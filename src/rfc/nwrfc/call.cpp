#include "rfc/nwrfc/call.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/text.h"
#include "rfc/function_interface.h"
#include "rfc/nwrfc/sap_text.h"

namespace poolmetrics {
namespace {

using nwrfc::DATA_CONTAINER_HANDLE;
using nwrfc::RFC_ERROR_INFO;
using nwrfc::RFC_RC;
using nwrfc::SAP_UC;

constexpr std::string_view kFunction = "SAPTUNE_GET_SUMMARY_STATISTIC";
constexpr std::size_t kExceptionCapacity = 255;  // as much as the classic library hands over

// A name of the interface (plain ASCII) as the library's text.
class Name {
 public:
  explicit Name(std::string_view ascii) {
    std::size_t n = std::min(ascii.size(), kCapacity);
    for (std::size_t i = 0; i < n; ++i) units_[i] = static_cast<SAP_UC>(ascii[i]);
    units_[n] = 0;
  }
  const SAP_UC* get() const { return units_; }

 private:
  static constexpr std::size_t kCapacity = 63;  // the longest name has 30 characters
  SAP_UC units_[kCapacity + 1];
};

// The first `capacity` bytes of a UTF-8 text, never cut inside a character.
std::string CutUtf8(std::string text, std::size_t capacity) {
  if (text.size() <= capacity) return text;
  std::size_t end = capacity;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// A failure as the program reports it, from the library's code and record.
CallFailure FailureOf(RFC_RC rc, const RFC_ERROR_INFO& error) {
  CallFailure failure;
  switch (rc) {
    case nwrfc::RFC_ABAP_EXCEPTION:
      failure.kind = CallFailureKind::kException;
      failure.exception = CutUtf8(FromSapText(error.key, std::size(error.key)), kExceptionCapacity);
      return failure;
    case nwrfc::RFC_COMMUNICATION_FAILURE: failure.kind = CallFailureKind::kFailure; break;
    case nwrfc::RFC_ABAP_RUNTIME_FAILURE:
    case nwrfc::RFC_ABAP_MESSAGE: failure.kind = CallFailureKind::kSystemException; break;
    default: failure.kind = CallFailureKind::kOther; break;
  }
  std::string message = FromSapText(error.message, std::size(error.message));
  if (!message.empty()) failure.library_message = std::move(message);
  return failure;
}

// A fault the program found in what the library answered.
CallFailure OwnFailure(std::string message) {
  CallFailure failure;
  failure.kind = CallFailureKind::kOther;
  failure.library_message = std::move(message);
  return failure;
}

// The function of one call: created from its description, destroyed when
// the owner goes, whatever happened in between.
class Function {
 public:
  Function(const NwRfc& rfc, nwrfc::RFC_FUNCTION_HANDLE handle) : rfc_(rfc), handle_(handle) {}
  ~Function() {
    if (!handle_) return;
    RFC_ERROR_INFO ignored;
    rfc_.RfcDestroyFunction(handle_, &ignored);
  }
  Function(const Function&) = delete;
  Function& operator=(const Function&) = delete;

  nwrfc::RFC_FUNCTION_HANDLE get() const { return handle_; }

 private:
  const NwRfc& rfc_;
  nwrfc::RFC_FUNCTION_HANDLE handle_;
};

// Reads the parameters of an invoked function. The first failure is kept
// and every later read is skipped, so one failure is what the run reports.
class Reader {
 public:
  explicit Reader(const NwRfc& rfc) : rfc_(rfc) {}

  const std::optional<CallFailure>& failure() const { return failure_; }
  RFC_ERROR_INFO* error() { return &error_; }

  // Keeps the failure of a library call that answered `rc`.
  bool Check(RFC_RC rc) {
    if (failure_) return false;
    if (rc == nwrfc::RFC_OK) return true;
    failure_ = FailureOf(rc, error_);
    return false;
  }

  // Keeps the failure of a library call that answered a null handle: its
  // code, or, should the library claim success all the same, a fault.
  bool CheckHandle(const void* handle, std::string_view operation, std::string_view name) {
    if (failure_) return false;
    if (handle) return true;
    if (error_.code != nwrfc::RFC_OK)
      failure_ = FailureOf(error_.code, error_);
    else
      failure_ = OwnFailure(std::string(operation) + " gave no handle for " + std::string(name));
    return false;
  }

  template <std::size_t N>
  void Chars(DATA_CONTAINER_HANDLE container, std::string_view name, unsigned length, FixedText<N>& out) {
    SAP_UC buffer[256];
    length = std::min<unsigned>(length, std::size(buffer));
    if (failure_ || !Check(rfc_.RfcGetChars(container, Name(name).get(), buffer, length, &error_))) return;
    out = FromSapText(buffer, length);
  }

  template <std::size_t N>
  void Date(DATA_CONTAINER_HANDLE container, std::string_view name, FixedText<N>& out) {
    nwrfc::RFC_DATE date;
    if (failure_ || !Check(rfc_.RfcGetDate(container, Name(name).get(), date, &error_))) return;
    out = FromSapText(date, std::size(date));
  }

  template <std::size_t N>
  void Time(DATA_CONTAINER_HANDLE container, std::string_view name, FixedText<N>& out) {
    nwrfc::RFC_TIME time;
    if (failure_ || !Check(rfc_.RfcGetTime(container, Name(name).get(), time, &error_))) return;
    out = FromSapText(time, std::size(time));
  }

  void Int(DATA_CONTAINER_HANDLE container, std::string_view name, std::int32_t& out) {
    nwrfc::RFC_INT value = 0;
    if (failure_ || !Check(rfc_.RfcGetInt(container, Name(name).get(), &value, &error_))) return;
    out = value;
  }

  void Packed(DATA_CONTAINER_HANDLE container, std::string_view parameter, const StructureElement& field,
              PackedDigits& out) {
    // A packed field of 16 bytes renders as at most 33 characters.
    SAP_UC buffer[64];
    unsigned length = 0;
    if (failure_ ||
        !Check(rfc_.RfcGetString(container, Name(field.name).get(), buffer, std::size(buffer), &length, &error_)))
      return;
    std::string text = FromSapText(buffer, std::min<std::size_t>(length, std::size(buffer)));
    if (std::optional<PackedDigits> packed = PackedFromText(text, field.length)) {
      out = *packed;
      return;
    }
    failure_ = OwnFailure(Concat({parameter, "-", field.name, ": \"", text, "\" is no packed number of ",
                                  std::to_string(field.length), " bytes"}));
  }

  // One structure-typed parameter, field by field.
  void Row(DATA_CONTAINER_HANDLE function, const RowParameterSpec& parameter,
           std::array<FieldValue, kMaxRowFields>& row) {
    nwrfc::RFC_STRUCTURE_HANDLE structure = nullptr;
    if (failure_ || !Check(rfc_.RfcGetStructure(function, Name(parameter.name).get(), &structure, &error_)) ||
        !CheckHandle(structure, "RfcGetStructure", parameter.name))
      return;
    const Structure& s = StructureOf(parameter.structure);
    for (unsigned i = 0; i < s.count; ++i) {
      const StructureElement& field = s.elements[i];
      if (field.type == FieldType::kInt)
        Int(structure, field.name, row[i].integer);
      else if (field.type == FieldType::kPacked)
        Packed(structure, parameter.name, field, row[i].packed);
    }
  }

  void Rows(DATA_CONTAINER_HANDLE function, std::string_view table_name, long& out) {
    nwrfc::RFC_TABLE_HANDLE table = nullptr;
    unsigned rows = 0;
    if (failure_ || !Check(rfc_.RfcGetTable(function, Name(table_name).get(), &table, &error_)) ||
        !CheckHandle(table, "RfcGetTable", table_name) || !Check(rfc_.RfcGetRowCount(table, &rows, &error_)))
      return;
    out = static_cast<long>(rows);
  }

 private:
  const NwRfc& rfc_;
  RFC_ERROR_INFO error_{};
  std::optional<CallFailure> failure_;
};

void ReadResult(Reader& r, DATA_CONTAINER_HANDLE f, StatisticResult& result) {
  r.Date(f, "ANALYSIS_DATE", result.analysis_date);
  r.Time(f, "ANALYSIS_TIME", result.analysis_time);
  r.Date(f, "STARTUP_DATE", result.startup_date);
  r.Time(f, "STARTUP_TIME", result.startup_time);
  r.Chars(f, "BUFSTAT_AVAILABLE", 1, result.bufstat_available);
  r.Chars(f, "CCSTAT_AVAILABLE", 1, result.ccstat_available);
  r.Chars(f, "EMSTAT_AVAILABLE", 1, result.emstat_available);
  r.Chars(f, "PXAINF_AVAILABLE", 1, result.pxainf_available);
  r.Chars(f, "RPSTAT_AVAILABLE", 1, result.rpstat_available);
  r.Chars(f, "TABSTAT_AVAILABLE", 1, result.tabstat_available);
  r.Chars(f, "RFC_ERROR_TYPE", 1, result.rfc_error_type);
  r.Chars(f, "RFC_ERROR", 256, result.rfc_error);
  r.Int(f, "NUMBER_OF_TABLES", result.number_of_tables);
  for (std::size_t p = 0; p < kRowParameterCount; ++p) r.Row(f, kRowParameters[p], result.rows[p]);
  for (std::size_t t = 0; t < kTableCount; ++t) r.Rows(f, kTables[t].name, result.row_counts[t]);
}

}  // namespace

std::optional<PackedDigits> PackedFromText(std::string_view text, unsigned length) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (length == 0 || text.empty()) return std::nullopt;
  bool negative = false;
  if (text.front() == '-' || text.front() == '+') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  } else if (text.back() == '-') {  // the trailing sign of ABAP's own rendering
    negative = true;
    text.remove_suffix(1);
  }
  std::string digits;
  bool point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      digits += c;
    else if (c == '.' && !point)
      point = true;
    else
      return std::nullopt;
  }
  std::size_t width = 2 * std::size_t{length} - 1;
  std::size_t first = digits.find_first_not_of('0');
  // Leading zeros never count against the field's digits.
  if (first == std::string::npos) first = digits.empty() ? 0 : digits.size() - 1;
  if (digits.empty() || digits.size() - first > width || width > PackedDigits().digits.kCapacity) return std::nullopt;
  digits.erase(0, first);
  PackedDigits packed;
  packed.negative = negative;
  packed.digits = std::string(width - digits.size(), '0') + digits;
  return packed;
}

CallOutcome CallSummaryStatistic(const NwRfc& rfc, nwrfc::RFC_CONNECTION_HANDLE connection) {
  Reader r(rfc);
  // The library fetches the description from the system once per process
  // and function, and answers later look-ups from its cache.
  nwrfc::RFC_FUNCTION_DESC_HANDLE description = rfc.RfcGetFunctionDesc(connection, Name(kFunction).get(), r.error());
  if (!r.CheckHandle(description, "RfcGetFunctionDesc", kFunction)) return *r.failure();
  Function function(rfc, rfc.RfcCreateFunction(description, r.error()));
  if (!r.CheckHandle(function.get(), "RfcCreateFunction", kFunction)) return *r.failure();

  SAP_UC blanks[32];
  std::fill(std::begin(blanks), std::end(blanks), SAP_UC{' '});
  if (!r.Check(rfc.RfcSetChars(function.get(), Name("DESTINATION").get(), blanks, std::size(blanks), r.error())) ||
      !r.Check(rfc.RfcInvoke(connection, function.get(), r.error())))
    return *r.failure();

  auto result = std::make_shared<StatisticResult>();
  ReadResult(r, function.get(), *result);
  if (r.failure()) return *r.failure();
  return result;
}

}  // namespace poolmetrics
