#include "output/channel_writer.h"

#include "output/output_document.h"
#include "run/text.h"

namespace poolmetrics {
namespace {

std::string_view DisplayedUnit(std::string_view unit) {
  if (unit.empty()) return "#";
  if (unit == "PerCent") return "%";
  if (unit == "TimeResponse") return "mSec";
  return unit;
}

// The channel number after "CH=": at most three characters, up to a comma,
// read as a decimal whole number (0 when there are no digits).
unsigned SelectedChannel(const RunState& state, std::size_t selection_at) {
  std::string_view text = From(state.ParameterText, selection_at).substr(0, 3);
  text = text.substr(0, text.find(','));
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  unsigned number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) number = number * 10 + (text[i] - '0');
  return negative ? 0 : number;  // no channel has a negative number
}

}  // namespace

FixedText<124> ChannelKey(std::string_view name) {
  FixedText<124> key(LineText(name, '_'));
  for (char c : std::string_view(" /\\[]*():-")) ReplaceAll(key, c, '_');
  std::size_t stop = key.view().find('.');
  if (stop != std::string_view::npos) key[stop] = '_';
  return key;
}

void WriteChannel(RunState& state, std::string_view label, std::string_view value, std::string_view unit) {
  ++state.ChannelCount;
  auto& doc = state.OutputDocument;
  switch (state.Mode) {
    case CallerMode::kBrennick: {
      if (state.ChannelCount > kBrennickChannelLimit) return;
      FixedText<124> key = ChannelKey(state.GlobalMode ? std::string_view(state.SystemLabel) : label);
      doc += "\n\nMessage.";
      doc += key;
      doc += ": ";
      doc += label;
      doc += " (";
      doc += DisplayedUnit(unit);
      doc += ")\nStatistic.";
      doc += key;
      doc += ": ";
      doc += value;
      return;
    }
    case CallerMode::kQuillon: {
      std::size_t selection = state.ParameterKeys.view().find("CH=");
      if (selection != std::string_view::npos) {
        if (SelectedChannel(state, selection + 3) == state.ChannelCount) doc += value;
        return;
      }
      doc += "\n> ";
      doc += label;
      doc += ": ";
      doc += value;
      doc += " ";
      doc += DisplayedUnit(unit);
      return;
    }
    default: break;
  }
  doc += "\n<Result><Channel>";
  AppendText(state, label);
  doc += "</Channel>";
  if (!unit.empty()) {
    doc += "\n<Unit>Custom</Unit>\n<CustomUnit>";
    AppendText(state, unit);
    doc += "</CustomUnit>";
  }
  // Without it the monitoring host reads a decimal value as 0.
  if (Contains(value, ".")) doc += "\n<Float>1</Float>";
  doc += "\n<Value>";
  AppendText(state, value);
  doc += "</Value></Result>\n";
}

}  // namespace poolmetrics
