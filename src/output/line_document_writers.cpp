// The two line forms. They are not XML and take texts as they are, but with
// every control character as "?": a line end from a file would start a line
// of its own for the reader (a forged "Statistic." line).
#include "base/text.h"
#include "output/document_forms.h"

namespace poolmetrics {
namespace {

class LineWriter : public DocumentWriter {
 public:
  void Open() override {
    document_.clear();
    ForgetChannelNames();
  }
  void Text(std::string_view text) override {
    document_ += "\n# ";
    document_ += LineText(text);
  }
  void Append(std::string_view text) override { document_ += LineText(text); }
  void Close() override { document_ += "\n"; }
  std::string Line(std::string_view text) const override { return DocumentLine(CallerMode::kBrennick, text); }
};

// "Message.KEY: label (unit)" and "Statistic.KEY: value" per channel, for
// the first ten channels of the run only.
class BrennickWriter final : public LineWriter {
 public:
  void Channel(std::string_view label, std::string_view value, std::string_view unit, ChannelLimit) override {
    if (++channel_count_ > kBrennickChannelLimit) return;
    std::string key = ChannelKey(keyed_by_system_ ? std::string_view(system_label_) : label);
    document_ += "\n\nMessage.";
    document_ += key;
    document_ += ": ";
    document_ += label;
    document_ += " (";
    document_ += DisplayedUnit(unit);
    document_ += ")\nStatistic.";
    document_ += key;
    document_ += ": ";
    document_ += value;
  }
};

// "> label: value unit" per channel; with a selection ("CH=n") only the
// bare value of the run's channel n, and no header line.
class QuillonWriter final : public LineWriter {
 public:
  explicit QuillonWriter(std::optional<unsigned> selected) : selected_(selected) {}

  void Text(std::string_view text) override {
    LineWriter::Text(text);
    if (selected_) document_.clear();  // only the selected channel's value is printed
  }

  void Channel(std::string_view label, std::string_view value, std::string_view unit, ChannelLimit) override {
    ++channel_count_;
    if (selected_) {
      if (*selected_ == channel_count_) document_ += value;
      return;
    }
    document_ += "\n> ";
    document_ += label;
    document_ += ": ";
    document_ += value;
    document_ += " ";
    document_ += DisplayedUnit(unit);
  }

 private:
  std::optional<unsigned> selected_;
};

}  // namespace

std::unique_ptr<DocumentWriter> MakeBrennickWriter() { return std::make_unique<BrennickWriter>(); }

std::unique_ptr<DocumentWriter> MakeQuillonWriter(std::optional<unsigned> selected_channel) {
  return std::make_unique<QuillonWriter>(selected_channel);
}

}  // namespace poolmetrics
