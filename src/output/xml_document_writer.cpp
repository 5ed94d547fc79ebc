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

  void Channel(std::string_view label, std::string_view value, std::string_view unit) override {
    ++channel_count_;
    document_ += "\n<Result><Channel>";
    AppendXmlText(document_, label);
    document_ += "</Channel>";
    if (unit == kResponseTimeUnit) {
      // One of PRTG's own units: the host shows and scales it as a time.
      document_ += "\n<Unit>TimeResponse</Unit>";
    } else if (!unit.empty()) {
      document_ += "\n<Unit>Custom</Unit>\n<CustomUnit>";
      AppendXmlText(document_, unit);
      document_ += "</CustomUnit>";
    }
    // Without it the monitoring host reads a decimal value as 0.
    if (Contains(value, ".")) document_ += "\n<Float>1</Float>";
    document_ += "\n<Value>";
    AppendXmlText(document_, value);
    document_ += "</Value></Result>\n";
  }

  void Append(std::string_view text) override { AppendXmlText(document_, text); }

  void Close() override { document_ += "\n</Prtg>\n"; }

  // A line inside the document carries no control character at all, tabs
  // and line ends included.
  std::string Line(std::string_view text) const override { return DocumentLine(CallerMode::kExeXml, text); }
};

}  // namespace

std::unique_ptr<DocumentWriter> MakeXmlWriter() { return std::make_unique<XmlWriter>(); }

}  // namespace poolmetrics
