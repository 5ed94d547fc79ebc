#include "output/output_document.h"

#include <gtest/gtest.h>

#include "output/caller_mode.h"
#include "output/channel_writer.h"
#include "output/code_page.h"
#include "run/text.h"

namespace poolmetrics {
namespace {

std::string Section(CallerMode mode, const char* keys = "") {
  RunState s;
  s.Mode = mode;
  s.ParameterKeys = keys;
  s.OutputDocument = "earlier output";
  OpenDocument(s);
  OpenText(s);
  AppendText(s, "(R&D) header");
  CloseText(s);
  s.OutputDocument += "<channels>";
  CloseDocument(s);
  return std::string(s.OutputDocument);
}

TEST(OutputDocument, FrameOfEveryCallerMode) {
  const std::string xml = "\n<Prtg>\n\n<Text>(R&amp;D) header</Text>\n<channels>\n</Prtg>\n";
  EXPECT_EQ(Section(CallerMode::kExeXml), xml);
  EXPECT_EQ(Section(CallerMode::kHoldrun), xml);
  EXPECT_EQ(Section(CallerMode::kVarnock), xml);
  EXPECT_EQ(Section(CallerMode::kBrennick), "\n# (R&D) header<channels>\n");
  EXPECT_EQ(Section(CallerMode::kQuillon), "\n# (R&D) header<channels>\n");
  EXPECT_EQ(Section(CallerMode::kQuillon, "TOTAL-ROWS CH=3"), "<channels>\n");  // header dropped
}

TEST(OutputDocument, ErrorDocumentIsTheSameInEveryMode) {
  for (CallerMode mode : {CallerMode::kExeXml, CallerMode::kBrennick, CallerMode::kQuillon}) {
    RunState s;
    s.Mode = mode;
    WriteErrorDocument(s, "Error 1002: Profile R&D<1>.P00 is missing...");
    EXPECT_EQ(s.OutputDocument,
              "<Prtg>\n<Error>1</Error>\n<Text>Error 1002: Profile R&amp;D&lt;1&gt;.P00 is missing...</Text>\n"
              "</Prtg>\n");
  }
  RunState s;
  WriteErrorDocument(s, "");
  EXPECT_EQ(s.OutputDocument, "<Prtg>\n<Error>1</Error>\n<Text></Text>\n</Prtg>\n");
}

TEST(OutputDocument, GrowsPastFourKilobytesAndIsNeverCut) {
  std::string amps;
  for (int i = 0; i < 5000; ++i) amps += "&amp;";
  RunState error;
  WriteErrorDocument(error, std::string(5000, '&'));
  EXPECT_EQ(error.OutputDocument, "<Prtg>\n<Error>1</Error>\n<Text>" + amps + "</Text>\n</Prtg>\n");

  // A global run appends the sections of every named sensor type.
  RunState global;
  global.GlobalMode = true;
  OpenDocument(global);
  for (int i = 0; i < 100; ++i) WriteChannel(global, "Label & " + std::to_string(i), std::to_string(i), "#");
  OpenText(global);
  AppendText(global, "(***) Item: NoSystems=1, Processed=1, Failed=0");
  CloseText(global);
  CloseDocument(global);
  std::string_view doc = global.OutputDocument;
  EXPECT_GT(doc.size(), 8000u);
  EXPECT_NE(doc.find("<Channel>Label &amp; 99</Channel>"), std::string_view::npos);
  const std::string_view end =
      "</Value></Result>\n\n<Text>(***) Item: NoSystems=1, Processed=1, Failed=0</Text>\n\n</Prtg>\n";
  EXPECT_EQ(doc.substr(doc.size() - end.size()), end);
}

TEST(CallerMode, SelectedByProgramName) {
  struct {
    const char* path;
    CallerMode mode;
  } cases[] = {
      {"PoolMetrics", CallerMode::kExeXml},
      {"C:\\PRTG\\Custom Sensors\\EXEXML\\PoolMetrics.exe", CallerMode::kExeXml},
      {"Brennick.exe", CallerMode::kBrennick},
      {"/opt/pm/quillon", CallerMode::kQuillon},
      {"D:\\x\\PoolMetrics-Holdrun.EXE", CallerMode::kHoldrun},
      {"PoolMetrics_Varnock", CallerMode::kVarnock},
      {"MyQuillon", CallerMode::kExeXml},
      {"", CallerMode::kExeXml},
  };
  for (const auto& c : cases) EXPECT_EQ(CallerModeFromProgramName(c.path), c.mode) << c.path;
}

}  // namespace
}  // namespace poolmetrics

namespace poolmetrics {
namespace {

TEST(OutputDocument, TextsThatXmlCannotCarryAsTheyAre) {
  struct {
    const char* label;
    std::string text;
    std::string in_document;
  } cases[] = {
      {"markup", "R&D <1> \"q\"", "R&amp;D &lt;1&gt; \"q\""},
      {"UTF-8 passes", "M\xC3\xBCller \xE2\x82\xAC", "M\xC3\xBCller \xE2\x82\xAC"},
      {"Latin-1 byte", "M\xFCller", "M&#xFC;ller"},
      {"C1 bytes are Latin-1 control characters here", "Prod\x96\x80", "Prod&#x96;&#x80;"},
      {"broken sequence", "\xC3(", "&#xC3;("},
      {"overlong form and surrogate", "\xE0\x80\x80\xED\xA0\x80", "&#xE0;&#x80;&#x80;&#xED;&#xA0;&#x80;"},
      {"no character of XML", "\xEF\xBF\xBE\xF4\x90\x80\x80", "&#xEF;&#xBF;&#xBE;&#xF4;&#x90;&#x80;&#x80;"},
      {"lead byte of no sequence", "\xF8\x80\x80", "&#xF8;&#x80;&#x80;"},
      {"control characters", std::string("a\x01\x1b") + '\0' + "b\tc", "a???b\tc"},
  };
  for (const auto& c : cases) {
    RunState s;
    WriteErrorDocument(s, c.text);
    EXPECT_EQ(s.OutputDocument, "<Prtg>\n<Error>1</Error>\n<Text>" + c.in_document + "</Text>\n</Prtg>\n") << c.label;
    RunState line;
    line.Mode = CallerMode::kQuillon;
    AppendText(line, c.text);
    EXPECT_EQ(line.OutputDocument, LineText(c.text))
        << c.label << ": line forms keep the text, not its control characters";
  }
}

// Every route by which a text reaches an XML document escapes it.
TEST(OutputDocument, EveryRouteIntoXmlEscapes) {
  const std::string text = "A<B&C>";
  const std::string escaped = "A&lt;B&amp;C&gt;";
  RunState s;
  s.Mode = CallerMode::kVarnock;
  AppendText(s, text);
  EXPECT_EQ(s.OutputDocument, escaped) << "AppendText";
  EXPECT_EQ(DocumentLine(CallerMode::kExeXml, "* " + text), "* " + escaped) << "DocumentLine";
  s.OutputDocument.clear();
  WriteChannel(s, text, text, text);
  EXPECT_EQ(s.OutputDocument, "\n<Result><Channel>" + escaped + "</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>" +
                                  escaped + "</CustomUnit>\n<Value>" + escaped + "</Value></Result>\n")
      << "WriteChannel";
}

// In the line forms and in every line printed, no control character from a
// file starts a line of its own: each becomes "?".
// Text without control characters is left byte for byte.
TEST(OutputDocument, ControlCharactersNeverReachALineRaw) {
  struct {
    const char* label;
    std::string text;
    std::string line;
  } cases[] = {
      {"carriage return", "qas\rStatistic.x: 5", "qas?Statistic.x: 5"},
      {"line feed, tab, escape, delete", "a\nb\tc\x1b[2Jd\x7f", "a?b?c?[2Jd?"},
      {"zero byte", std::string("a") + '\0' + "b", "a?b"},
      {"no control character", "R&D <1> M\xFCller \xE2\x82\xAC ~", "R&D <1> M\xFCller \xE2\x82\xAC ~"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LineText(c.text), c.line) << c.label;
    for (CallerMode mode : {CallerMode::kBrennick, CallerMode::kQuillon}) {
      RunState s;
      s.Mode = mode;
      AppendText(s, c.text);
      EXPECT_EQ(s.OutputDocument, c.line) << c.label << " in " << CallerModeName(mode);
      EXPECT_EQ(DocumentLine(mode, c.text), c.line) << c.label << " as a line in " << CallerModeName(mode);
    }
  }
  // A state line inside an XML document: escaped, and a line all the same.
  EXPECT_EQ(DocumentLine(CallerMode::kHoldrun, "* R&D\r\n, host\t"), "* R&amp;D??, host?");
}

TEST(CodePage, Windows1252ReadsC1BytesAsPrintableCharacters) {
  struct {
    unsigned char byte;
    char32_t code_point;
  } cases[] = {
      {0x80, 0x20AC},
      {0x96, 0x2013},
      {0x97, 0x2014},
      {0x85, 0x2026},
      {0x99, 0x2122},
      {0x9F, 0x0178},
      // undefined in code page 1252: kept as they are
      {0x81, 0x81},
      {0x8D, 0x8D},
      {0x8F, 0x8F},
      {0x90, 0x90},
      {0x9D, 0x9D},
      // outside 0x80-0x9F the code page is Latin-1
      {0x7F, 0x7F},
      {0xA0, 0xA0},
      {0xFC, 0xFC},
      {0xFF, 0xFF},
      {0x41, 0x41},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Windows1252CodePoint(c.byte), c.code_point) << std::hex << int{c.byte};
    EXPECT_EQ(Latin1CodePoint(c.byte), c.byte);
  }
}

}  // namespace
}  // namespace poolmetrics
