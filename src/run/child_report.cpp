#include "run/child_report.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

// Starts the hidden command line in place of a profile name. A colon cannot
// stand in a Windows file name, and no monitoring host sends it.
constexpr std::string_view kChildMark = "::listed-systems";
constexpr int kChildArguments = 8;  // the program, the mark and six values

// Header and footer: a mark, the payload's length in eight hex digits, a
// line feed.
constexpr std::string_view kHeaderMark = "\x1ePoolMetrics system ";
constexpr std::string_view kFooterMark = "\x1ePoolMetrics outcome ";
constexpr std::size_t kLengthDigits = 8;

// Fields: the length in decimal, a colon, the bytes.
void AppendField(std::string& out, std::string_view field) {
  out += std::to_string(field.size());
  out += ':';
  out += field;
}

class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  std::optional<std::string> Next() {
    std::size_t colon = text_.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 9) return std::nullopt;
    std::size_t length = 0;
    for (char c : text_.substr(0, colon)) {
      if (c < '0' || c > '9') return std::nullopt;
      length = length * 10 + static_cast<std::size_t>(c - '0');
    }
    if (length > text_.size() - colon - 1) return std::nullopt;
    std::string field(text_.substr(colon + 1, length));
    text_.remove_prefix(colon + 1 + length);
    return field;
  }
  bool done() const { return text_.empty(); }

 private:
  std::string_view text_;
};

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

std::optional<CallerMode> ModeNamed(std::string_view name) {
  for (CallerMode mode :
       {CallerMode::kExeXml, CallerMode::kHoldrun, CallerMode::kVarnock, CallerMode::kBrennick, CallerMode::kQuillon})
    if (CallerModeName(mode) == name) return mode;
  return std::nullopt;
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
  std::size_t channels = 0;
  for (char c : *count) {
    if (c < '0' || c > '9' || channels > 100000) return std::nullopt;
    channels = channels * 10 + static_cast<std::size_t>(c - '0');
  }
  for (std::size_t i = 0; i < channels; ++i) {
    std::optional<std::string> l = fields.Next(), v = fields.Next(), u = fields.Next();
    if (!u) return std::nullopt;
    outcome.channels.push_back({std::move(*l), std::move(*v), std::move(*u)});
  }
  if (!fields.done()) return std::nullopt;
  return outcome;
}

}  // namespace

std::vector<std::string> ChildArguments(const ChildTask& task) {
  return {std::string(kChildMark),
          std::string(CallerModeName(task.mode)),
          std::string(1, static_cast<char>(task.label_kind)),
          task.times ? "1" : "0",
          task.milliseconds_left ? std::to_string(*task.milliseconds_left) : "-",
          task.profile_directory,
          task.parameters};
}

std::optional<ChildTask> ReadChildArguments(int argc, const char* const* argv) {
  if (argc != kChildArguments || argv[1] != kChildMark) return std::nullopt;
  ChildTask task;
  std::optional<CallerMode> mode = ModeNamed(argv[2]);
  std::string_view kind = argv[3], times = argv[4], left = argv[5];
  if (!mode || kind.size() != 1 || kind[0] < '1' || kind[0] > '4' || (times != "0" && times != "1"))
    return std::nullopt;
  task.mode = *mode;
  task.label_kind = static_cast<SystemLabelKind>(kind[0]);
  task.times = times == "1";
  if (left != "-") {
    unsigned ms = 0;
    for (char c : left) {
      if (c < '0' || c > '9' || ms > 100000000) return std::nullopt;
      ms = ms * 10 + static_cast<unsigned>(c - '0');
    }
    task.milliseconds_left = ms;
  }
  task.profile_directory = argv[6];
  task.parameters = argv[7];
  return task;
}

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
  }
  return payload + Framed(kFooterMark, payload);
}

ChildReport ReadChildReport(std::string_view output) {
  ChildReport report;
  // The header, when it is there whole.
  constexpr std::size_t kFrame = kLengthDigits + 1;
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
  // The record, when the footer ends the output.
  std::size_t footer = kFooterMark.size() + kFrame;
  if (output.size() >= footer && output.substr(output.size() - footer, kFooterMark.size()) == kFooterMark &&
      output.back() == '\n') {
    std::optional<std::size_t> length = FrameLength(output.substr(output.size() - kFrame, kLengthDigits));
    if (length && *length <= output.size() - footer) {
      std::string_view payload = output.substr(output.size() - footer - *length, *length);
      report.outcome = ReadRecord(payload);
      if (report.outcome) output.remove_suffix(footer + *length);
    }
  }
  report.printed = std::string(output);
  return report;
}

}  // namespace poolmetrics
