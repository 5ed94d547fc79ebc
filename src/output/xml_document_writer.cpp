// The PRTG EXE/XML form: "<Prtg>", a "<Text>" element, one "<Result>" per
// channel. Every text in it is escaped, whatever its source.
#include "output/document_forms.h"
#include "output/xml_text.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

class XmlWriter final : public DocumentWriter {
 public:
  void Open() override {
    document_ = "\n<Prtg>\n";
    ForgetChannelNames();
  }

  void Text(std::string_view text) override {
    document_ += "\n<Text>";
    AppendXmlText(document_, text);
    document_ += "</Text>\n";
  }

  void Channel(std::string_view label, std::string_view value, std::string_view unit, ChannelLimit limit) override {
    ++channel_count_;
    document_ += "\n<Result><Channel>";
    AppendXmlText(document_, label);
    document_ += "</Channel>";
    if (unit == kResponseTimeUnit || unit == kCountUnit) {
      // One of PRTG's own units: the host shows and scales it as such.
      document_ += Concat({"\n<Unit>", unit, "</Unit>"});
    } else if (!unit.empty()) {
      document_ += "\n<Unit>Custom</Unit>\n<CustomUnit>";
      AppendXmlText(document_, unit);
      document_ += "</CustomUnit>";
    }
    // Without it the monitoring host reads a decimal value as 0.
    if (Contains(value, ".")) document_ += "\n<Float>1</Float>";
    if (limit != ChannelLimit::kNone) AppendLimits(LimitsOf(limit));
    document_ += "\n<Value>";
    AppendXmlText(document_, value);
    document_ += "</Value></Result>\n";
  }

  void Append(std::string_view text) override { AppendXmlText(document_, text); }

 private:
  // PRTG takes the limits only with <LimitMode>1</LimitMode>.
  void AppendLimits(const LimitValues& limits) {
    document_ += "\n<LimitMode>1</LimitMode>";
    auto element = [this](std::string_view name, std::string_view value) {
      if (value.empty()) return;
      document_ += Concat({"\n<", name, ">"});
      AppendXmlText(document_, value);
      document_ += Concat({"</", name, ">"});
    };
    element("LimitMaxError", limits.max_error);
    element("LimitMaxWarning", limits.max_warning);
    element("LimitMinWarning", limits.min_warning);
    element("LimitMinError", limits.min_error);
    element("LimitErrorMsg", limits.error_message);
    element("LimitWarningMsg", limits.warning_message);
  }

 public:

  void Close() override { document_ += "\n</Prtg>\n"; }

  // A line inside the document carries no control character at all, tabs
  // and line ends included.
  std::string Line(std::string_view text) const override { return DocumentLine(CallerMode::kExeXml, text); }
};

}  // namespace

std::unique_ptr<DocumentWriter> MakeXmlWriter() { return std::make_unique<XmlWriter>(); }

}  // namespace poolmetrics
