#include "global/child_task.h"

#include "base/decimal_number.h"
#include "base/wire_fields.h"
#include "run/command_line.h"

namespace poolmetrics {
namespace {

// An optional value: "-" for none, "+" and the value.
void AppendOptional(std::string& out, const std::optional<std::string>& value) {
  AppendField(out, value ? "+" + *value : "-");
}

bool ReadOptional(const std::optional<std::string>& field, std::optional<std::string>& value) {
  if (!field || field->empty() || ((*field)[0] != '-' && (*field)[0] != '+')) return false;
  if ((*field)[0] == '+') value = field->substr(1);
  return true;
}

std::optional<std::string> NumberText(std::optional<unsigned> number) {
  return number ? std::optional<std::string>(std::to_string(*number)) : std::nullopt;
}

bool ReadNumber(const std::optional<std::string>& field, std::optional<unsigned>& number) {
  std::optional<std::string> text;
  if (!ReadOptional(field, text)) return false;
  if (!text) return true;
  std::optional<std::uint64_t> value = ParseDecimal(*text, 0xffffffffu);
  if (!value) return false;
  number = static_cast<unsigned>(*value);
  return true;
}

bool ReadFlag(const std::optional<std::string>& field, bool& flag) {
  if (field != "0" && field != "1") return false;
  flag = field == "1";
  return true;
}

// The bytes that stand for themselves on the child's command line. Every
// other byte is "%" and two hex digits: so the argument holds no blank,
// quote, wildcard or byte outside ASCII, and every platform hands it to the
// child as it is, whatever the code page (a directory or ",HOST=" value from
// a file can hold bytes that are no character of it) and however the C
// runtime splits a command line.
bool StandsForItself(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("-_.:,=+/#@").find(c) != std::string_view::npos;
}

std::string Escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    if (StandsForItself(c)) {
      out += c;
      continue;
    }
    auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
  }
  return out;
}

int HexDigit(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; }

// The bytes of an escaped argument; none for any text that Escaped does not
// write.
std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StandsForItself(text[i])) {
      out += text[i];
      continue;
    }
    if (text[i] != '%' || i + 2 >= text.size() || HexDigit(text[i + 1]) < 0 || HexDigit(text[i + 2]) < 0)
      return std::nullopt;
    auto byte = static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
    if (StandsForItself(byte)) return std::nullopt;
    out += byte;
    i += 2;
  }
  return out;
}

// The section of "CREDENTIALS=": "-" none, "W" Windows, "L" Linux. The
// values themselves never travel: the child reads its own environment.
std::string_view CredentialSectionCode(std::optional<CredentialSection> section) {
  if (!section) return "-";
  return *section == CredentialSection::kWindows ? "W" : "L";
}

bool ReadCredentialSection(const std::optional<std::string>& field, std::optional<CredentialSection>& section) {
  if (field == "W") section = CredentialSection::kWindows;
  else if (field == "L") section = CredentialSection::kLinux;
  else if (field != "-") return false;
  return true;
}

}  // namespace

std::vector<std::string> ChildArguments(const ChildTask& task) {
  const ListingTask& l = task.listing;
  std::string wire;
  AppendField(wire, CallerModeName(l.mode));
  AppendField(wire, std::string(1, static_cast<char>(l.label_kind)));
  AppendField(wire, l.sensors.to_string());
  AppendOptional(wire, l.values.host);
  AppendOptional(wire, l.values.sysnr);
  AppendOptional(wire, NumberText(l.values.channel));
  AppendField(wire, l.values.run.times ? "1" : "0");
  AppendField(wire, l.values.run.limits ? "1" : "0");
  AppendOptional(wire, NumberText(l.values.run.cache));
  AppendField(wire, CredentialSectionCode(l.values.run.credentials));
  AppendField(wire, l.show_progress ? "1" : "0");
  AppendOptional(wire, NumberText(task.milliseconds_left));
  AppendField(wire, l.profile_directory);
  return {std::string(kChildMark), Escaped(wire)};
}

std::optional<ChildTask> ReadChildTask(std::string_view argument) {
  std::optional<std::string> wire = Unescaped(argument);
  if (!wire) return std::nullopt;
  FieldReader fields(*wire);
  std::optional<std::string> mode = fields.Next(), kind = fields.Next(), sensors = fields.Next(),
                             host = fields.Next(), sysnr = fields.Next(), channel = fields.Next(),
                             times = fields.Next(), limits = fields.Next(), cache = fields.Next(), credentials = fields.Next(),
                             progress = fields.Next(), left = fields.Next(), directory = fields.Next();
  if (!directory || !fields.done()) return std::nullopt;
  ChildTask task;
  ListingTask& l = task.listing;
  std::optional<CallerMode> named = CallerModeNamed(*mode);
  if (!named || kind->size() != 1 || (*kind)[0] < '1' || (*kind)[0] > '4') return std::nullopt;
  if (sensors->size() != kSensorTypeCount || sensors->find_first_not_of("01") != std::string::npos)
    return std::nullopt;
  l.mode = *named;
  l.label_kind = static_cast<SystemLabelKind>((*kind)[0]);
  l.sensors = SensorSet(*sensors);
  if (!ReadOptional(host, l.values.host) || !ReadOptional(sysnr, l.values.sysnr) ||
      !ReadNumber(channel, l.values.channel) || !ReadFlag(times, l.values.run.times) ||
      !ReadFlag(limits, l.values.run.limits) ||
      !ReadNumber(cache, l.values.run.cache) || !ReadCredentialSection(credentials, l.values.run.credentials) ||
      !ReadFlag(progress, l.show_progress) || !ReadNumber(left, task.milliseconds_left))
    return std::nullopt;
  l.profile_directory = std::move(*directory);
  return task;
}

}  // namespace poolmetrics
