#include "output/output_document.h"

#include <gtest/gtest.h>

#include "output/caller_mode.h"

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

TEST(OutputDocument, LongErrorMessageKeepsTheDocumentComplete) {
  RunState s;
  WriteErrorDocument(s, std::string(5000, '&'));
  std::string_view doc = s.OutputDocument;
  EXPECT_LE(doc.size(), 4095u);
  EXPECT_EQ(doc.substr(doc.size() - 16), "</Text>\n</Prtg>\n");
  EXPECT_EQ(doc.substr(doc.size() - 21, 5), "&amp;");  // no entity cut in half
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
    EXPECT_EQ(line.OutputDocument.view(), c.text) << c.label << ": line forms take text as it is";
  }
}

}  // namespace
}  // namespace poolmetrics
