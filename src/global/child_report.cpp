#include "global/child_report.h"

#include "base/text.h"
#include "base/wire_fields.h"
#include "run/outcome_fields.h"

namespace poolmetrics {
namespace {

// Header and footer: a mark, the payload's length in eight hex digits, a
// line feed.
constexpr std::string_view kHeaderMark = "\x1ePoolMetrics system ";
constexpr std::string_view kFooterMark = "\x1ePoolMetrics outcome ";
constexpr std::string_view kErrorMark = "\x1ePoolMetrics error ";
constexpr std::size_t kLengthDigits = 8;
constexpr std::size_t kFrame = kLengthDigits + 1;  // the digits and the line feed

std::string Framed(std::string_view mark, const std::string& payload) {
  std::string frame(mark);
  for (std::size_t shift = kLengthDigits * 4; shift > 0; shift -= 4)
    frame += "0123456789abcdef"[(payload.size() >> (shift - 4)) & 0xf];
  return frame + "\n";
}

// The payload length in a frame's eight hex digits, when they are.
std::optional<std::size_t> FrameLength(std::string_view digits) {
  if (digits.size() != kLengthDigits) return std::nullopt;
  std::size_t length = 0;
  for (char c : digits) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return std::nullopt;
    length = length * 16 + static_cast<std::size_t>(d);
  }
  return length;
}

std::optional<ListedSystem> ReadRecord(std::string_view payload) {
  FieldReader fields(payload);
  std::optional<std::string_view> read = fields.NextView();
  if (read != "0" && read != "1") return std::nullopt;
  ListedSystem system;
  if (read == "1") {
    ListedProfile profile;
    std::optional<std::string> line = fields.Next(), label = fields.Next(), destination = fields.Next();
    std::optional<std::string_view> valid = fields.NextView();
    if (!line || !label || !destination || (valid != "0" && valid != "1")) return std::nullopt;
    system.profile = ListedProfile{std::move(*line), std::move(*label), std::move(*destination), valid == "1"};
  }
  std::optional<SystemOutcome> outcome = ReadOutcome(fields);
  if (!outcome || !fields.done()) return std::nullopt;
  system.outcome = std::move(*outcome);
  return system;
}

std::optional<ErrorBlock> ReadErrorRecord(std::string_view payload) {
  FieldReader fields(payload);
  std::optional<SystemOutcome> outcome = ReadOutcome(fields);
  if (!outcome || !fields.done() || !std::holds_alternative<ErrorBlock>(*outcome)) return std::nullopt;
  return std::get<ErrorBlock>(std::move(*outcome));
}

// The payload of the record that ends `output` behind a footer with `mark`.
std::optional<std::string_view> TrailingRecord(std::string_view output, std::string_view mark) {
  std::size_t footer = mark.size() + kFrame;
  if (output.size() < footer || output.substr(output.size() - footer, mark.size()) != mark || output.back() != '\n')
    return std::nullopt;
  std::optional<std::size_t> length = FrameLength(output.substr(output.size() - kFrame, kLengthDigits));
  if (!length || *length > output.size() - footer) return std::nullopt;
  return output.substr(output.size() - footer - *length, *length);
}

}  // namespace

std::string ChildHeader(std::string_view line, std::string_view label) {
  std::string payload;
  AppendField(payload, line);
  AppendField(payload, label);
  return Framed(kHeaderMark, payload) + payload;
}

std::string ChildRecord(const ListedSystem& system) {
  std::string payload;
  AppendField(payload, system.profile ? "1" : "0");
  if (const std::optional<ListedProfile>& profile = system.profile) {
    AppendField(payload, profile->line);
    AppendField(payload, profile->label);
    AppendField(payload, profile->destination);
    AppendField(payload, profile->valid ? "1" : "0");
  }
  AppendOutcome(payload, system.outcome);
  return payload + Framed(kFooterMark, payload);
}

std::string ChildErrorRecord(const ErrorBlock& block) {
  std::string payload;
  AppendOutcome(payload, block);
  return payload + Framed(kErrorMark, payload);
}

ChildReport ReadChildReport(std::string_view output) {
  ChildReport report;
  // The header, when it is there whole.
  if (output.substr(0, kHeaderMark.size()) == kHeaderMark && output.size() >= kHeaderMark.size() + kFrame) {
    std::optional<std::size_t> length = FrameLength(output.substr(kHeaderMark.size(), kLengthDigits));
    std::size_t start = kHeaderMark.size() + kFrame;
    if (length && output[start - 1] == '\n' && *length <= output.size() - start) {
      FieldReader fields(output.substr(start, *length));
      report.line = fields.Next();
      report.label = fields.Next();
      if (!report.label || !fields.done()) report.line = report.label = std::nullopt;
      output.remove_prefix(start + *length);
    }
  }
  // The record, when a footer ends the output.
  if (std::optional<std::string_view> payload = TrailingRecord(output, kFooterMark)) {
    report.system = ReadRecord(*payload);
    if (report.system) output.remove_suffix(payload->size() + kFooterMark.size() + kFrame);
  } else if (std::optional<std::string_view> error = TrailingRecord(output, kErrorMark)) {
    report.block = ReadErrorRecord(*error);
    if (report.block) output.remove_suffix(error->size() + kErrorMark.size() + kFrame);
  }
  report.printed = std::string(output);
  return report;
}

}  // namespace poolmetrics
