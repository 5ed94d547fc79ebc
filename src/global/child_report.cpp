#include "global/child_report.h"

#include "base/decimal_number.h"
#include "base/text.h"
#include "base/wire_fields.h"

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

std::optional<ListedSystemOutcome> ReadRecord(std::string_view payload) {
  FieldReader fields(payload);
  std::optional<std::string> read = fields.Next(), processed = fields.Next(), line = fields.Next(),
                             label = fields.Next(), failure = fields.Next(), count = fields.Next();
  if (!count) return std::nullopt;
  ListedSystemOutcome outcome;
  outcome.read = *read == "1";
  outcome.processed = *processed == "1";
  outcome.line = std::move(*line);
  outcome.label = std::move(*label);
  outcome.failure = std::move(*failure);
  std::optional<std::uint64_t> channels = ParseDecimal(*count, 100000);
  if (!channels) return std::nullopt;
  for (std::uint64_t i = 0; i < *channels; ++i) {
    std::optional<std::string> l = fields.Next(), v = fields.Next(), u = fields.Next(), limit = fields.Next();
    if (!limit || limit->size() != 1 || (*limit)[0] < '0' ||
        (*limit)[0] > '0' + static_cast<int>(ChannelLimit::kFailedSystems))
      return std::nullopt;
    outcome.channels.push_back(
        {std::move(*l), std::move(*v), std::move(*u), static_cast<ChannelLimit>((*limit)[0] - '0')});
  }
  if (!fields.done()) return std::nullopt;
  return outcome;
}

std::optional<ErrorBlock> ReadErrorRecord(std::string_view payload) {
  FieldReader fields(payload);
  ErrorBlock block;
  for (std::string* field : {&block.operation, &block.key, &block.status, &block.message, &block.internal_status}) {
    std::optional<std::string> value = fields.Next();
    if (!value) return std::nullopt;
    *field = std::move(*value);
  }
  if (!fields.done()) return std::nullopt;
  return block;
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

std::string ChildRecord(const ListedSystemOutcome& outcome) {
  std::string payload;
  AppendField(payload, outcome.read ? "1" : "0");
  AppendField(payload, outcome.processed ? "1" : "0");
  AppendField(payload, outcome.line);
  AppendField(payload, outcome.label);
  AppendField(payload, outcome.failure);
  AppendField(payload, std::to_string(outcome.channels.size()));
  for (const ChannelValue& c : outcome.channels) {
    AppendField(payload, c.label);
    AppendField(payload, c.value);
    AppendField(payload, c.unit);
    AppendField(payload, std::string(1, static_cast<char>('0' + static_cast<int>(c.limit))));
  }
  return payload + Framed(kFooterMark, payload);
}

std::string ChildErrorRecord(const ErrorBlock& block) {
  std::string payload;
  for (const std::string* field : {&block.operation, &block.key, &block.status, &block.message, &block.internal_status})
    AppendField(payload, *field);
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
    report.outcome = ReadRecord(*payload);
    if (report.outcome) output.remove_suffix(payload->size() + kFooterMark.size() + kFrame);
  } else if (std::optional<std::string_view> error = TrailingRecord(output, kErrorMark)) {
    report.block = ReadErrorRecord(*error);
    if (report.block) output.remove_suffix(error->size() + kErrorMark.size() + kFrame);
  }
  report.printed = std::string(output);
  return report;
}

}  // namespace poolmetrics
