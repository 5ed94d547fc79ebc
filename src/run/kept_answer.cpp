#include "run/kept_answer.h"

#include <initializer_list>

#include "base/content_digest.h"
#include "base/decimal_number.h"
#include "base/text.h"
#include "base/wire_fields.h"
#include "rfc/destination_entries.h"
#include "base/program_folder.h"

namespace poolmetrics {
namespace {

// The first field of every answer file: a file of another version is
// never read as this one.
constexpr std::string_view kVersion = "PoolMetrics answer 3";

// A signed whole number as a field.
std::string Number(std::int64_t n) { return std::to_string(n); }

std::optional<std::int64_t> ReadNumber(std::optional<std::string_view> field) {
  if (!field || field->empty()) return std::nullopt;
  bool negative = (*field)[0] == '-';
  std::optional<std::uint64_t> magnitude = ParseDecimal(field->substr(negative ? 1 : 0), 0x7fffffffffffffffull);
  if (!magnitude) return std::nullopt;
  return negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
}

template <std::size_t N>
bool ReadText(FieldReader& fields, FixedText<N>& text) {
  std::optional<std::string_view> field = fields.NextView();
  if (!field || field->size() > text.kCapacity) return false;
  text = *field;
  return true;
}

void AppendTimes(std::string& out, const ResponseTimes& times) {
  AppendField(out, Number(times.logon_ms));
  AppendField(out, Number(times.call_ms));
}

bool ReadTimes(FieldReader& fields, ResponseTimes& times) {
  std::optional<std::int64_t> logon = ReadNumber(fields.NextView()), call = ReadNumber(fields.NextView());
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
  // Each field of each row as the interface types it: a packed number as
  // its sign and digits, an INT as its value.
  for (std::size_t p = 0; p < kRowParameterCount; ++p) {
    const Structure& structure = StructureOf(kRowParameters[p].structure);
    for (std::size_t i = 0; i < structure.count; ++i) {
      const FieldValue& field = s.rows[p][i];
      if (structure.elements[i].type == FieldType::kPacked)
        AppendField(out, Concat({field.packed.negative ? "-" : "+", field.packed.digits}));
      else
        AppendField(out, Number(field.integer));
    }
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
  std::optional<std::int64_t> tables = ReadNumber(fields.NextView());
  if (!tables || *tables < INT32_MIN || *tables > INT32_MAX) return false;
  s.number_of_tables = static_cast<std::int32_t>(*tables);
  for (std::size_t p = 0; p < kRowParameterCount; ++p) {
    const Structure& structure = StructureOf(kRowParameters[p].structure);
    for (std::size_t i = 0; i < structure.count; ++i) {
      FieldValue& field = s.rows[p][i];
      std::optional<std::string_view> value = fields.NextView();
      if (!value) return false;
      if (structure.elements[i].type == FieldType::kPacked) {
        if (value->empty() || ((*value)[0] != '-' && (*value)[0] != '+') ||
            value->size() - 1 > field.packed.digits.kCapacity)
          return false;
        field.packed.negative = (*value)[0] == '-';
        field.packed.digits = value->substr(1);
      } else {
        std::optional<std::int64_t> integer = ReadNumber(value);
        if (!integer || *integer < INT32_MIN || *integer > INT32_MAX) return false;
        field.integer = static_cast<std::int32_t>(*integer);
      }
    }
  }
  for (long& count : s.row_counts) {
    std::optional<std::int64_t> n = ReadNumber(fields.NextView());
    if (!n || *n < 0 || *n > 0x7fffffff) return false;
    count = static_cast<long>(*n);
  }
  return true;
}

}  // namespace

bool Keepable(const SystemOutcome& outcome) {
  if (const auto* refused = std::get_if<LogonRefused>(&outcome)) return !refused->local;
  return std::holds_alternative<Answered>(outcome) || std::holds_alternative<CallFailed>(outcome);
}

std::string AnswerKey(const LogonDescription& logon, std::string_view destination_entries) {
  std::string key;
  for (std::string_view part : {logon.destination, logon.hostname, logon.sysnr, logon.gateway_host,
                                logon.gateway_service, logon.mode, logon.client, logon.language, logon.user,
                                destination_entries})
    AppendField(key, part);
  return key;
}

std::string AnswerKey(const LogonDescription& logon) {
  return AnswerKey(logon, DestinationEntries(logon.destination, ProgramDirectory()));
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
                   AppendStatistic(text, *a.statistic);
                 },
                 [&](const CallFailed& f) {
                   AppendField(text, "call failed");
                   AppendTimes(text, f.times);
                   AppendField(text, Number(static_cast<int>(f.failure.kind)));
                   AppendField(text, f.failure.exception);
                   AppendField(text, f.failure.library_message ? "+" + *f.failure.library_message : "-");
                   AppendField(text, f.trace_hint.value_or(""));
                 },
                 [&](const LogonRefused& refused) {
                   AppendField(text, "logon refused");
                   AppendField(text, refused.reason);
                 },
                 [&](const auto&) { AppendField(text, "not kept"); },
             },
             answer.outcome);
  AppendField(text, "end");
  AppendField(text, ContentDigest(text));
  return text;
}

std::optional<KeptAnswer> ReadAnswerFile(std::string_view text, std::string_view key) {
  // The check is the last field, of a fixed length: the text before it must
  // give its digest, or nothing of the file is read.
  constexpr std::string_view kCheckLength = "16:";
  constexpr std::size_t kCheckField = kCheckLength.size() + 16;
  if (text.size() < kCheckField) return std::nullopt;
  std::string_view check = text.substr(text.size() - kCheckField);
  text.remove_suffix(kCheckField);
  if (check.substr(0, kCheckLength.size()) != kCheckLength ||
      check.substr(kCheckLength.size()) != ContentDigest(text))
    return std::nullopt;
  FieldReader fields(text);
  if (fields.NextView() != kVersion || fields.NextView() != key) return std::nullopt;
  KeptAnswer answer;
  std::optional<std::int64_t> fetched = ReadNumber(fields.NextView());
  if (!fetched || !ReadText(fields, answer.fetched_time)) return std::nullopt;
  answer.fetched = *fetched;
  std::optional<std::string_view> kind = fields.NextView();
  if (kind == "answered") {
    ResponseTimes times;
    auto statistic = std::make_shared<StatisticResult>();
    if (!ReadTimes(fields, times) || !ReadStatistic(fields, *statistic)) return std::nullopt;
    answer.outcome = Answered{std::move(statistic), times};
  } else if (kind == "call failed") {
    CallFailed f;
    std::optional<std::int64_t> failure_kind;
    if (!ReadTimes(fields, f.times) || !(failure_kind = ReadNumber(fields.NextView())) || *failure_kind < 0 ||
        *failure_kind > static_cast<int>(CallFailureKind::kOther))
      return std::nullopt;
    f.failure.kind = static_cast<CallFailureKind>(*failure_kind);
    std::optional<std::string_view> exception = fields.NextView(), library = fields.NextView(),
                                    hint = fields.NextView();
    if (!hint || library->empty() || ((*library)[0] != '+' && (*library)[0] != '-')) return std::nullopt;
    f.failure.exception = std::string(*exception);
    if ((*library)[0] == '+') f.failure.library_message = std::string(library->substr(1));
    f.trace_hint = std::string(*hint);
    answer.outcome = std::move(f);
  } else if (kind == "logon refused") {
    std::optional<std::string_view> reason = fields.NextView();
    if (!reason) return std::nullopt;
    answer.outcome = LogonRefused{std::string(*reason)};
  } else {
    return std::nullopt;
  }
  if (fields.NextView() != "end" || !fields.done()) return std::nullopt;
  return answer;
}

}  // namespace poolmetrics
