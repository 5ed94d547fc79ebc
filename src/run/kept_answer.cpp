#include "run/kept_answer.h"

#include <initializer_list>

#include "base/decimal_number.h"
#include "base/wire_fields.h"

namespace poolmetrics {
namespace {

// The first field of every answer file: a file of another version is
// never read as this one.
constexpr std::string_view kVersion = "PoolMetrics answer 1";

// A signed whole number as a field.
std::string Number(std::int64_t n) { return std::to_string(n); }

std::optional<std::int64_t> ReadNumber(const std::optional<std::string>& field) {
  if (!field || field->empty()) return std::nullopt;
  bool negative = (*field)[0] == '-';
  std::optional<std::uint64_t> magnitude =
      ParseDecimal(std::string_view(*field).substr(negative ? 1 : 0), 0x7fffffffffffffffull);
  if (!magnitude) return std::nullopt;
  return negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
}

template <std::size_t N>
bool ReadText(FieldReader& fields, FixedText<N>& text) {
  std::optional<std::string> field = fields.Next();
  if (!field || field->size() > text.kCapacity) return false;
  text = *field;
  return true;
}

void AppendTimes(std::string& out, const ResponseTimes& times) {
  AppendField(out, Number(times.logon_ms));
  AppendField(out, Number(times.call_ms));
}

bool ReadTimes(FieldReader& fields, ResponseTimes& times) {
  std::optional<std::int64_t> logon = ReadNumber(fields.Next()), call = ReadNumber(fields.Next());
  if (!logon || !call || *logon < 0 || *call < 0 || *logon > 0xffffffffll || *call > 0xffffffffll) return false;
  times.logon_ms = static_cast<std::uint32_t>(*logon);
  times.call_ms = static_cast<std::uint32_t>(*call);
  return true;
}

void AppendStatistic(std::string& out, const StatisticResult& s) {
  for (std::string_view text : {s.analysis_date.view(), s.analysis_time.view(), s.startup_date.view(),
                                s.startup_time.view(), s.bufstat_available.view(), s.ccstat_available.view(),
                                s.emstat_available.view(), s.pxainf_available.view(), s.rpstat_available.view(),
                                s.tabstat_available.view(), s.rfc_error_type.view(), s.rfc_error.view()})
    AppendField(out, text);
  AppendField(out, Number(s.number_of_tables));
  for (const auto& row : s.rows)
    for (const FieldValue& field : row) {
      AppendField(out, Number(field.integer));
      AppendField(out, field.packed.negative ? "-" : "+");
      AppendField(out, field.packed.digits);
    }
  for (long count : s.row_counts) AppendField(out, Number(count));
}

bool ReadStatistic(FieldReader& fields, StatisticResult& s) {
  if (!ReadText(fields, s.analysis_date) || !ReadText(fields, s.analysis_time) ||
      !ReadText(fields, s.startup_date) || !ReadText(fields, s.startup_time) ||
      !ReadText(fields, s.bufstat_available) || !ReadText(fields, s.ccstat_available) ||
      !ReadText(fields, s.emstat_available) || !ReadText(fields, s.pxainf_available) ||
      !ReadText(fields, s.rpstat_available) || !ReadText(fields, s.tabstat_available) ||
      !ReadText(fields, s.rfc_error_type) || !ReadText(fields, s.rfc_error))
    return false;
  std::optional<std::int64_t> tables = ReadNumber(fields.Next());
  if (!tables || *tables < INT32_MIN || *tables > INT32_MAX) return false;
  s.number_of_tables = static_cast<std::int32_t>(*tables);
  for (auto& row : s.rows)
    for (FieldValue& field : row) {
      std::optional<std::int64_t> integer = ReadNumber(fields.Next());
      std::optional<std::string> sign = fields.Next();
      if (!integer || *integer < INT32_MIN || *integer > INT32_MAX || (sign != "-" && sign != "+") ||
          !ReadText(fields, field.packed.digits))
        return false;
      field.integer = static_cast<std::int32_t>(*integer);
      field.packed.negative = sign == "-";
    }
  for (long& count : s.row_counts) {
    std::optional<std::int64_t> n = ReadNumber(fields.Next());
    if (!n || *n < 0 || *n > 0x7fffffff) return false;
    count = static_cast<long>(*n);
  }
  return true;
}

}  // namespace

bool Keepable(const SystemOutcome& outcome) {
  return std::holds_alternative<Answered>(outcome) || std::holds_alternative<CallFailed>(outcome) ||
         std::holds_alternative<LogonRefused>(outcome);
}

std::string AnswerKey(const LogonDescription& logon) {
  std::string key;
  for (std::string_view part : {logon.destination, logon.hostname, logon.sysnr, logon.gateway_host,
                                logon.gateway_service, logon.mode, logon.client, logon.language, logon.user})
    AppendField(key, part);
  return key;
}

std::string AnswerFileText(std::string_view key, const KeptAnswer& answer) {
  std::string text;
  AppendField(text, kVersion);
  AppendField(text, key);
  AppendField(text, Number(answer.fetched));
  AppendField(text, answer.fetched_time);
  std::visit(Overloaded{
                 [&](const Answered& a) {
                   AppendField(text, "answered");
                   AppendTimes(text, a.times);
                   AppendStatistic(text, a.statistic);
                 },
                 [&](const CallFailed& f) {
                   AppendField(text, "call failed");
                   AppendTimes(text, f.times);
                   AppendField(text, Number(static_cast<int>(f.failure.kind)));
                   AppendField(text, f.failure.exception);
                   AppendField(text, f.failure.library_message ? "+" + *f.failure.library_message : "-");
                   AppendField(text, f.trace_hint.value_or(""));
                 },
                 [&](const LogonRefused&) { AppendField(text, "logon refused"); },
                 [&](const auto&) { AppendField(text, "not kept"); },
             },
             answer.outcome);
  AppendField(text, "end");
  return text;
}

std::optional<KeptAnswer> ReadAnswerFile(std::string_view text, std::string_view key) {
  FieldReader fields(text);
  if (fields.Next() != kVersion || fields.Next() != key) return std::nullopt;
  KeptAnswer answer;
  std::optional<std::int64_t> fetched = ReadNumber(fields.Next());
  if (!fetched || !ReadText(fields, answer.fetched_time)) return std::nullopt;
  answer.fetched = *fetched;
  std::optional<std::string> kind = fields.Next();
  if (kind == "answered") {
    Answered a;
    if (!ReadTimes(fields, a.times) || !ReadStatistic(fields, a.statistic)) return std::nullopt;
    answer.outcome = std::move(a);
  } else if (kind == "call failed") {
    CallFailed f;
    std::optional<std::int64_t> failure_kind;
    if (!ReadTimes(fields, f.times) || !(failure_kind = ReadNumber(fields.Next())) || *failure_kind < 0 ||
        *failure_kind > static_cast<int>(CallFailureKind::kOther))
      return std::nullopt;
    f.failure.kind = static_cast<CallFailureKind>(*failure_kind);
    std::optional<std::string> exception = fields.Next(), library = fields.Next(), hint = fields.Next();
    if (!hint || library->empty() || ((*library)[0] != '+' && (*library)[0] != '-')) return std::nullopt;
    f.failure.exception = std::move(*exception);
    if ((*library)[0] == '+') f.failure.library_message = library->substr(1);
    f.trace_hint = std::move(*hint);
    answer.outcome = std::move(f);
  } else if (kind == "logon refused") {
    answer.outcome = LogonRefused{};
  } else {
    return std::nullopt;
  }
  if (fields.Next() != "end" || !fields.done()) return std::nullopt;
  return answer;
}

}  // namespace poolmetrics
