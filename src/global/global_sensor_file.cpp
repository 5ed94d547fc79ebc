#include "global/global_sensor_file.h"

#include <string>

#include "base/line_reader.h"
#include "base/text.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

constexpr std::size_t kLineLength = 199;  // a longer line counts as several
constexpr std::size_t kTagLength = 18;
constexpr std::size_t kKeyWidth = 10;
constexpr std::size_t kListingColumn = 20;     // from 0: listings start at character 21
constexpr std::size_t kAllocationColumn = 19;  // allocations start at character 20
constexpr std::string_view kSensorMark = "Sensor=\"SAP PoolMetrics\"";

File OpenSensorFile(const Request& request, const ProfileLocation& location, std::string_view number) {
  File file = File::OpenRead(location.ProfilePath.c_str());
  if (!file) Fail(Concat({"Error ", number, ": ProFile ", request.ProfileName, " is missing..."}));
  return file;
}

// A piece's text as a line: up to a zero byte, without its line end.
std::string_view LineOf(std::string_view raw) { return WithoutLineEnd(raw.substr(0, raw.find('\0'))); }

// Hands every line of a listing file to `on_line` in pieces of at most 199
// characters (the line width of these files), each piece a line of its own;
// but a piece that starts a group line takes the rest of
// its line with it: a group line cut into pieces would drop its tail and glue
// a cut name to the next line, and so lose listed systems without a word.
template <typename IsGroupLine, typename OnLine>
void ReadListingLines(std::FILE* stream, IsGroupLine is_group_line, OnLine on_line) {
  LineReader reader(stream, 0);
  std::string_view unused;
  while (reader.Next(&unused)) {
    std::string_view raw = reader.Raw();
    for (std::size_t at = 0; at < raw.size(); at += kLineLength) {
      std::string_view line = LineOf(raw.substr(at, kLineLength));
      if (is_group_line(line)) {
        on_line(LineOf(raw.substr(at)));
        break;
      }
      on_line(line);
    }
  }
}

bool IsItemGroupLine(std::string_view line) { return line.substr(0, 6) == "# Gsng" && line.substr(6, 2) == ": "; }

void ReadItemProfile(const Request& request, const ProfileLocation& location, GlobalAllocation& allocation) {
  File file = OpenSensorFile(request, location, "1024");
  ReadListingLines(file.get(), IsItemGroupLine, [&](std::string_view line) {
    if (IsItemGroupLine(line)) allocation.listing.Append(From(line, kListingColumn));
  });
}

// The tag of a global sensor file's line: its first 18 characters, upper-cased.
FixedText<kTagLength + 1> TagOf(std::string_view line) {
  FixedText<kTagLength + 1> tag(Head(line, kTagLength));
  UpperCaseInPlace(tag);
  return tag;
}

SystemLabelKind LabelKindOf(std::string_view line) {
  if (Contains(line, ",Sid")) return SystemLabelKind::kSid;
  if (Contains(line, ",Host")) return SystemLabelKind::kHost;
  if (Contains(line, ",Alias")) return SystemLabelKind::kAlias;
  return SystemLabelKind::kProfile;
}

// The item name of an allocation text: the value of its "Item=", if any.
FixedText<91> AllocatedItem(std::string_view allocation) {
  std::size_t at = allocation.find("Item=");
  return at == std::string_view::npos ? FixedText<91>() : ItemNameOf(From(allocation, at + 5));
}

// Reads a global-file run's allocation into `allocated` and returns its
// parameter text, the allocation up to ",Sensor=".
std::string ReadGlobalFile(const Request& request, const ProfileLocation& location, GlobalAllocation& allocated) {
  std::string_view keys = request.Params.ParameterKeys();
  std::string key(keys.substr(0, keys.find(' ')));
  if (key.size() < kKeyWidth) key.resize(kKeyWidth, ' ');
  // Only the first 18 characters count: a longer key is told apart by its
  // first ten characters.
  std::string group_tag = "# GSNG: " + key;
  group_tag.resize(kTagLength);
  std::string sensor_tag = "# GSNX: " + key;
  sensor_tag.resize(kTagLength);

  File file = OpenSensorFile(request, location, "10x1");
  bool found = false;
  std::string allocation;
  std::string parameters;
  auto is_group_line = [&](std::string_view line) { return TagOf(line) == group_tag; };
  ReadListingLines(file.get(), is_group_line, [&](std::string_view line) {
    FixedText<kTagLength + 1> tag = TagOf(line);
    if (tag == group_tag) allocated.listing.Append(From(line, kListingColumn));
    if (tag == sensor_tag && !found) {
      allocation = From(line, kAllocationColumn);
      if (!Contains(allocation, kSensorMark)) Fail("Error 1029: Invalid Sensor-Allocation...");
      parameters = allocation.substr(0, allocation.find(",Sensor="));
      allocated.label_kind = LabelKindOf(line);
      found = true;
    }
  });
  file.reset();
  allocated.item_name = AllocatedItem(allocation);
  // The sensor as typed: not padded, not upper-cased.
  if (!found) Fail(Concat({"Error 1030: Global Sensor ", request.FirstWord, " not found..."}));
  return parameters;
}

// The parameters of a global run read from `text` with ":" standing for a
// blank, whose run-control values must be in range (else message 1035). The
// command line's run control wins over the allocation's.
Parameters GlobalRunParameters(const Request& request, std::string text, KeywordCheck check) {
  ReplaceAll(text, ':', ' ');
  Parameters parameters = ReadParameters(text, check);
  parameters.Values.run = FirstGiven(request.Params.Values.run, parameters.Values.run);
  if (parameters.Values.run.fault) Fail(*parameters.Values.run.fault);
  return parameters;
}

}  // namespace

GlobalAllocation ReadGlobalSensorFile(const Request& request, ProfileLocation& location) {
  location.Profile.reset();  // located, but read here by its own rules
  GlobalAllocation allocation;
  std::string text;
  KeywordCheck check = KeywordCheck::kAllocationText;
  if (request.ProfileName == kItemProfile) {
    ReadItemProfile(request, location, allocation);
    allocation.item_name = request.ItemName;
    text = request.Params.Text;
    // The words of an item run were checked as typed: read with ":" as a
    // blank, a value such as "ITEM=a:b=c" must not become another word.
    check = KeywordCheck::kNone;
  } else {
    text = ReadGlobalFile(request, location, allocation);
  }

  if (allocation.listing.empty()) Fail("Error 1025: Global Server Listing missing...");
  if (allocation.item_name.empty()) Fail("Error 1026: Global Item Idenification missing...");
  allocation.parameters = GlobalRunParameters(request, std::move(text), check);
  return allocation;
}

}  // namespace poolmetrics
