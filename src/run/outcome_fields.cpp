#include "run/outcome_fields.h"

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "base/text.h"

namespace poolmetrics {
namespace {

template <std::size_t N>
bool ReadText(FieldReader& fields, FixedText<N>& text) {
  std::optional<std::string_view> field = fields.NextView();
  if (!field || field->size() > text.kCapacity) return false;
  text = *field;
  return true;
}

void AppendTimes(std::string& out, const ResponseTimes& times) {
  AppendNumberField(out, times.logon_ms);
  AppendNumberField(out, times.call_ms);
}

bool ReadTimes(FieldReader& fields, ResponseTimes& times) {
  std::optional<std::int64_t> logon = fields.NextNumber(), call = fields.NextNumber();
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
  AppendNumberField(out, s.number_of_tables);
  // Each field of each row as the interface types it: a packed number as
  // its sign and digits, an INT as its value.
  for (std::size_t p = 0; p < kRowParameterCount; ++p) {
    const Structure& structure = StructureOf(kRowParameters[p].structure);
    for (std::size_t i = 0; i < structure.count; ++i) {
      const FieldValue& field = s.rows[p][i];
      if (structure.elements[i].type == FieldType::kPacked)
        AppendField(out, Concat({field.packed.negative ? "-" : "+", field.packed.digits}));
      else
        AppendNumberField(out, field.integer);
    }
  }
  for (long count : s.row_counts) AppendNumberField(out, count);
}

bool ReadField(FieldReader& fields, const StructureElement& element, FieldValue& field) {
  if (element.type != FieldType::kPacked) {
    std::optional<std::int64_t> integer = fields.NextNumber();
    if (!integer || *integer < INT32_MIN || *integer > INT32_MAX) return false;
    field.integer = static_cast<std::int32_t>(*integer);
    return true;
  }
  std::optional<std::string_view> value = fields.NextView();
  if (!value || value->empty() || ((*value)[0] != '-' && (*value)[0] != '+') ||
      value->size() - 1 > field.packed.digits.kCapacity)
    return false;
  field.packed.negative = (*value)[0] == '-';
  field.packed.digits = value->substr(1);
  return true;
}

bool ReadStatistic(FieldReader& fields, StatisticResult& s) {
  if (!ReadText(fields, s.analysis_date) || !ReadText(fields, s.analysis_time) ||
      !ReadText(fields, s.startup_date) || !ReadText(fields, s.startup_time) ||
      !ReadText(fields, s.bufstat_available) || !ReadText(fields, s.ccstat_available) ||
      !ReadText(fields, s.emstat_available) || !ReadText(fields, s.pxainf_available) ||
      !ReadText(fields, s.rpstat_available) || !ReadText(fields, s.tabstat_available) ||
      !ReadText(fields, s.rfc_error_type) || !ReadText(fields, s.rfc_error))
    return false;
  std::optional<std::int64_t> tables = fields.NextNumber();
  if (!tables || *tables < INT32_MIN || *tables > INT32_MAX) return false;
  s.number_of_tables = static_cast<std::int32_t>(*tables);
  for (std::size_t p = 0; p < kRowParameterCount; ++p) {
    const Structure& structure = StructureOf(kRowParameters[p].structure);
    for (std::size_t i = 0; i < structure.count; ++i)
      if (!ReadField(fields, structure.elements[i], s.rows[p][i])) return false;
  }
  for (long& count : s.row_counts) {
    std::optional<std::int64_t> n = fields.NextNumber();
    if (!n || *n < 0 || *n > 0x7fffffff) return false;
    count = static_cast<long>(*n);
  }
  return true;
}

std::optional<SystemOutcome> ReadCallFailed(FieldReader& fields) {
  CallFailed f;
  std::optional<std::int64_t> kind;
  if (!ReadTimes(fields, f.times) || !(kind = fields.NextNumber()) || *kind < 0 ||
      *kind > static_cast<int>(CallFailureKind::kOther))
    return std::nullopt;
  f.failure.kind = static_cast<CallFailureKind>(*kind);
  std::optional<std::string_view> exception = fields.NextView(), library = fields.NextView(), hint = fields.NextView();
  if (!hint || library->empty() || ((*library)[0] != '+' && (*library)[0] != '-')) return std::nullopt;
  f.failure.exception = std::string(*exception);
  if ((*library)[0] == '+') f.failure.library_message = std::string(library->substr(1));
  f.trace_hint = std::string(*hint);
  return f;
}

std::optional<SystemOutcome> ReadErrorBlock(FieldReader& fields) {
  ErrorBlock block;
  for (std::string* field : {&block.operation, &block.key, &block.status, &block.message, &block.internal_status}) {
    std::optional<std::string> value = fields.Next();
    if (!value) return std::nullopt;
    *field = std::move(*value);
  }
  return block;
}

}  // namespace

void AppendOutcome(std::string& out, const SystemOutcome& outcome) {
  std::visit(Overloaded{
                 [&](const Answered& a) {
                   AppendField(out, "answered");
                   AppendTimes(out, a.times);
                   AppendStatistic(out, *a.statistic);
                 },
                 [&](const CallFailed& f) {
                   AppendField(out, "call failed");
                   AppendTimes(out, f.times);
                   AppendNumberField(out, static_cast<int>(f.failure.kind));
                   AppendField(out, f.failure.exception);
                   AppendField(out, f.failure.library_message ? "+" + *f.failure.library_message : "-");
                   AppendField(out, f.trace_hint.value_or(""));
                 },
                 [&](const LogonRefused& refused) {
                   AppendField(out, refused.local ? "logon refused here" : "logon refused");
                   AppendField(out, refused.reason);
                 },
                 [&](const NotTried& not_tried) {
                   AppendField(out, "not tried");
                   AppendField(out, not_tried.unsupported_mode ? "1" : "0");
                 },
                 [&](const ErrorBlock& block) {
                   AppendField(out, "error block");
                   for (const std::string* field :
                        {&block.operation, &block.key, &block.status, &block.message, &block.internal_status})
                     AppendField(out, *field);
                 },
             },
             outcome);
}

std::optional<SystemOutcome> ReadOutcome(FieldReader& fields) {
  std::optional<std::string_view> kind = fields.NextView();
  if (kind == "answered") {
    ResponseTimes times;
    auto statistic = std::make_shared<StatisticResult>();
    if (!ReadTimes(fields, times) || !ReadStatistic(fields, *statistic)) return std::nullopt;
    return Answered{std::move(statistic), times};
  }
  if (kind == "call failed") return ReadCallFailed(fields);
  if (kind == "logon refused" || kind == "logon refused here") {
    std::optional<std::string_view> reason = fields.NextView();
    if (!reason) return std::nullopt;
    return LogonRefused{std::string(*reason), kind == "logon refused here"};
  }
  if (kind == "not tried") {
    std::optional<std::string_view> unsupported = fields.NextView();
    if (unsupported != "0" && unsupported != "1") return std::nullopt;
    return NotTried{unsupported == "1"};
  }
  if (kind == "error block") return ReadErrorBlock(fields);
  return std::nullopt;
}

}  // namespace poolmetrics
