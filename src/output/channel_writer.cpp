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
      if (state.Values.channel) {
        if (*state.Values.channel == state.ChannelCount) doc += value;
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
