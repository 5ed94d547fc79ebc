#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "output/caller_mode.h"
#include "base/code_page.h"
#include "output/document_writer.h"
#include "run/parameter_values.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

std::string Section(CallerMode mode, std::optional<unsigned> selection = {}) {
  auto document = MakeDocumentWriter(mode, selection);
  document->Append("earlier output");
  document->Open();
  document->Text("(R&D) header");
  document->Append("(channels)");
  document->Close();
  return document->text();
}

TEST(DocumentWriter, FrameOfEveryCallerMode) {
  const std::string xml = "\n<Prtg>\n\n<Text>(R&amp;D) header</Text>\n(channels)\n</Prtg>\n";
  EXPECT_EQ(Section(CallerMode::kExeXml), xml);
  EXPECT_EQ(Section(CallerMode::kHoldrun), xml);
  EXPECT_EQ(Section(CallerMode::kVarnock), xml);
  EXPECT_EQ(Section(CallerMode::kBrennick), "\n# (R&D) header(channels)\n");
  EXPECT_EQ(Section(CallerMode::kQuillon), "\n# (R&D) header(channels)\n");
  EXPECT_EQ(Section(CallerMode::kQuillon, 3), "(channels)\n");  // header dropped
}

TEST(DocumentWriter, ErrorDocumentIsTheSameInEveryMode) {
  for (CallerMode mode : {CallerMode::kExeXml, CallerMode::kBrennick, CallerMode::kQuillon}) {
    auto document = MakeDocumentWriter(mode, {});
    document->Open();
    document->Error("Error 1002: Profile R&D<1>.P00 is missing...");
    EXPECT_EQ(document->text(),
              "<Prtg>\n<Error>1</Error>\n<Text>Error 1002: Profile R&amp;D&lt;1&gt;.P00 is missing...</Text>\n"
              "</Prtg>\n");
  }
  EXPECT_EQ(ErrorDocument(""), "<Prtg>\n<Error>1</Error>\n<Text></Text>\n</Prtg>\n");
}

// PRTG shows at most 2,000 characters of a text: an error's text is cut to
// that, counted as the XML reads it, never inside a character.
TEST(DocumentWriter, ErrorTextWithinWhatPrtgShows) {
  auto text_of = [](const std::string& document) {
    std::size_t start = document.find("<Text>") + 6;
    return document.substr(start, document.find("</Text>") - start);
  };
  std::string amps;
  for (int i = 0; i < 2000; ++i) amps += "&amp;";
  EXPECT_EQ(text_of(ErrorDocument(std::string(2000, '&'))), amps) << "2,000 characters stay whole";
  EXPECT_EQ(text_of(ErrorDocument(std::string(5000, '&'))), amps.substr(0, 1997 * 5) + "...");
  std::string accents;
  for (int i = 0; i < 3000; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(text_of(ErrorDocument("Error 1011: RFC-Open for PRD failed ! " + accents)),
            "Error 1011: RFC-Open for PRD failed ! " + accents.substr(0, 2 * (1997 - 38)) + "...");
}

TEST(DocumentWriter, GrowsPastFourKilobytesAndIsNeverCut) {

  // A global run appends the sections of every named sensor type.
  auto global = MakeDocumentWriter(CallerMode::kExeXml, {});
  global->Open();
  for (int i = 0; i < 100; ++i)
    global->Channel("Label & " + std::to_string(i), std::to_string(i), "#", ChannelLimit::kNone);
  global->Text("(***) Item: NoSystems=1, Processed=1, Failed=0");
  global->Close();
  std::string_view doc = global->text();
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

TEST(DocumentWriter, TextsThatXmlCannotCarryAsTheyAre) {
  struct {
    const char* label;
    std::string text;
    std::string in_document;
  } cases[] = {
      {"markup", "R&D <1> \"q\"", "R&amp;D &lt;1&gt; \"q\""},
      {"UTF-8 passes", "M\xC3\xBCller \xE2\x82\xAC", "M\xC3\xBCller \xE2\x82\xAC"},
      {"Latin-1 byte", "M\xFCller", "M&#xFC;ller"},
      // Natively a byte that is no UTF-8 is read as Latin-1, where 0x80 to
      // 0x9F are the C1 control characters (in code page 1252 printable).
      {"C1 bytes are Latin-1 control characters here", "Prod\x96\x80", "Prod??"},
      {"DEL and U+0085 as UTF-8", "a\x7F" "b\xC2\x85" "c", "a?b?c"},
      {"U+0085 as a Latin-1 byte, next to U+2026", "x\x85y\xE2\x80\xA6", "x?y\xE2\x80\xA6"},
      {"broken sequence", "\xC3(", "&#xC3;("},
      {"overlong form and surrogate", "\xE0\x80\x80\xED\xA0\x80", "&#xE0;??&#xED;&#xA0;?"},
      {"no character of XML", "\xEF\xBF\xBE\xF4\x90\x80\x80", "&#xEF;&#xBF;&#xBE;&#xF4;???"},
      {"lead byte of no sequence", "\xF8\xA0\x80", "&#xF8;&#xA0;?"},
      {"control characters", std::string("a\x01\x1b") + '\0' + "b\tc", "a???b\tc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorDocument(c.text), "<Prtg>\n<Error>1</Error>\n<Text>" + c.in_document + "</Text>\n</Prtg>\n")
        << c.label;
    auto line = MakeDocumentWriter(CallerMode::kQuillon, {});
    line->Append(c.text);
    EXPECT_EQ(line->text(), LineText(c.text))
        << c.label << ": line forms keep the text, not its control characters";
  }
}

// Every route by which a text reaches an XML document escapes it.
TEST(DocumentWriter, EveryRouteIntoXmlEscapes) {
  const std::string text = "A<B&C>";
  const std::string escaped = "A&lt;B&amp;C&gt;";
  auto s = MakeDocumentWriter(CallerMode::kVarnock, {});
  s->Append(text);
  EXPECT_EQ(s->text(), escaped) << "Append";
  s->clear();
  s->Text(text);
  EXPECT_EQ(s->text(), "\n<Text>" + escaped + "</Text>\n") << "Text";
  EXPECT_EQ(s->Line("* " + text), "* " + escaped) << "Line";
  EXPECT_EQ(DocumentLine(CallerMode::kExeXml, "* " + text), "* " + escaped) << "DocumentLine";
  s->clear();
  s->Channel(text, text, text, ChannelLimit::kNone);
  EXPECT_EQ(s->text(), "\n<Result><Channel>" + escaped + "</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>" + escaped +
                           "</CustomUnit>\n<Value>" + escaped + "</Value></Result>\n")
      << "Channel";
}

// In the line forms and in every line printed, no control character from a
// file starts a line of its own: each becomes "?".
// Text without control characters is left byte for byte.
TEST(DocumentWriter, ControlCharactersNeverReachALineRaw) {
  struct {
    const char* label;
    std::string text;
    std::string line;
  } cases[] = {
      {"carriage return", "qas\rStatistic.x: 5", "qas?Statistic.x: 5"},
      {"line feed, tab, escape, delete", "a\nb\tc\x1b[2Jd\x7f", "a?b?c?[2Jd?"},
      {"C1 control characters as UTF-8: one ? each", "next\xC2\x85line\xC2\x9B" "2J", "next?line?2J"},
      {"a C1 byte of Latin-1 (natively)", "next\x85line", "next?line"},
      {"printable characters next to them", "\xC2\xA0\xC3\xBC\xE2\x82\xAC\xC2\x85", "\xC2\xA0\xC3\xBC\xE2\x82\xAC?"},
      {"zero byte", std::string("a") + '\0' + "b", "a?b"},
      {"no control character", "R&D <1> M\xFCller \xE2\x82\xAC ~", "R&D <1> M\xFCller \xE2\x82\xAC ~"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LineText(c.text), c.line) << c.label;
    for (CallerMode mode : {CallerMode::kBrennick, CallerMode::kQuillon}) {
      auto s = MakeDocumentWriter(mode, {});
      s->Append(c.text);
      EXPECT_EQ(s->text(), c.line) << c.label << " in " << CallerModeName(mode);
      s->clear();
      s->Text(c.text);
      EXPECT_EQ(s->text(), "\n# " + c.line) << c.label << " as a header in " << CallerModeName(mode);
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

namespace poolmetrics {
namespace {

TEST(ChannelKey, LabelsOfTheSensorTables) {
  struct {
    const char* label;
    const char* key;
  } cases[] = {
      {"Phys. direct read accesses", "Phys__direct_read_accesses"},
      {"Avail. entries in ID cache.", "Avail__entries_in_ID_cache."},
      {"Int.Ext. Mode Memory", "Int_Ext._Mode_Memory"},
      {"Max.paging since start", "Max_paging_since_start"},
      {"Table Statistics: Logical (ABAP) DataBase", "Table_Statistics__Logical__ABAP__DataBase"},
      {"Max. size non-dialog WPs", "Max__size_non_dialog_WPs"},
      {"a/b\\c[d]e*f", "a_b_c_d_e_f"},
      {"PRD.P00", "PRD_P00"},
      // a host name from a profile: no control character starts a line of its own
      {"qas\rStatistic.x", "qas_Statistic_x"},
      {"a\nb\tc\x1b\x7f", "a_b_c__"},
      {"M\xFCller", "M\xFCller"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChannelKey(c.label), c.key) << c.label;
}

std::string Channels(CallerMode mode, const char* text, int count, const char* unit = "#") {
  std::string keys = text;
  UpperCaseInPlace(keys);
  auto document = MakeDocumentWriter(mode, ReadParameterValues(text, keys).channel);
  for (int i = 1; i <= count; ++i)
    document->Channel("Label " + std::to_string(i), std::to_string(i * 11), unit, ChannelLimit::kNone);
  return document->text();
}

TEST(DocumentChannel, Forms) {
  EXPECT_EQ(Channels(CallerMode::kExeXml, "", 1),
            "\n<Result><Channel>Label 1</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>#</CustomUnit>\n"
            "<Value>11</Value></Result>\n");
  EXPECT_EQ(Channels(CallerMode::kVarnock, "", 1, ""),
            "\n<Result><Channel>Label 1</Channel>\n<Value>11</Value></Result>\n");
  EXPECT_EQ(Channels(CallerMode::kBrennick, "", 1, ""), "\n\nMessage.Label_1: Label 1 (#)\nStatistic.Label_1: 11");
  EXPECT_EQ(Channels(CallerMode::kQuillon, "", 1, "PerCent"), "\n> Label 1: 11 %");
  EXPECT_EQ(Channels(CallerMode::kBrennick, "", 1, "TimeResponse"),
            "\n\nMessage.Label_1: Label 1 (mSec)\nStatistic.Label_1: 11");
  EXPECT_EQ(Channels(CallerMode::kQuillon, "", 1, ""), "\n> Label 1: 11 #");
  // Response times carry PRTG's own unit, not a custom one.
  EXPECT_EQ(Channels(CallerMode::kHoldrun, "", 1, "TimeResponse"),
            "\n<Result><Channel>Label 1</Channel>\n<Unit>TimeResponse</Unit>\n<Value>11</Value></Result>\n");
  EXPECT_EQ(Channels(CallerMode::kQuillon, "", 1, "TimeResponse"), "\n> Label 1: 11 mSec");
}

TEST(DocumentChannel, DecimalValuesAreMarkedAsFloatInXml) {
  auto document = MakeDocumentWriter(CallerMode::kExeXml, {});
  document->Channel("Medium hit rate", " 99.87", "%", ChannelLimit::kNone);
  EXPECT_EQ(document->text(),
            "\n<Result><Channel>Medium hit rate</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>\n"
            "<Float>1</Float>\n<Value> 99.87</Value></Result>\n");
}

TEST(DocumentChannel, BrennickStopsAfterTenChannelsOfTheRun) {
  std::string doc = Channels(CallerMode::kBrennick, "", 14);
  EXPECT_NE(doc.find("Statistic.Label_10: 110"), std::string::npos);
  EXPECT_EQ(doc.find("Label_11"), std::string::npos);
}

TEST(DocumentChannel, QuillonSelection) {
  struct {
    const char* parameters;
    const char* document;
  } cases[] = {
      {"TOTAL-ROWS CH=2", "22"},
      {"ch=3", "33"},
      {"CH=12,more", "132"},
      {"CH=1234", "1353"},  // three characters: channel 123
      {"CH=abc", ""},
      {"CH=", ""},
      {"CH= 4", "44"},  // leading blank skipped
      {"CH=-1", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Channels(CallerMode::kQuillon, c.parameters, 130), c.document) << c.parameters;
}

TEST(DocumentChannel, GlobalRunKeysBySystemLabel) {
  auto document = MakeDocumentWriter(CallerMode::kBrennick, {});
  document->KeyChannelsBy("PRD.P00");
  document->Channel("Physical updates", "5", "#", ChannelLimit::kNone);
  document->KeyChannelsBy("");  // an empty label keys by nothing, never by the channel's own
  document->Channel("Physical updates", "6", "#", ChannelLimit::kNone);
  EXPECT_EQ(document->text(),
            "\n\nMessage.PRD_P00: Physical updates (#)\nStatistic.PRD_P00: 5\n\nMessage.: Physical updates (#)\n"
            "Statistic.: 6");
}

}  // namespace
}  // namespace poolmetrics

namespace poolmetrics {
namespace {

// Message 1036 names the operation, the key and the message, and is cut so
// that PRTG reads at most 2,000 characters of text: a character is a UTF-8
// sequence or a byte that is none, however long its escaped form.
TEST(RfcErrorMessage, NamesTheErrorAndFitsPrtgsText) {
  ErrorBlock block{"RfcOpen", "RFC_ERROR_COMMUNICATION", "status", "partner not reached", ""};
  EXPECT_EQ(RfcErrorMessage(block), "Error 1036: RFC error at RfcOpen: RFC_ERROR_COMMUNICATION - partner not reached...");
  struct {
    const char* label;
    std::string message;
  } cases[] = {
      {"plain", std::string(5000, 'm')},
      {"escaped", std::string(5000, '<')},
      {"UTF-8", [] {
         std::string s;
         for (int i = 0; i < 3000; ++i) s += "\xc3\xa4";
         return s;
       }()},
      {"no UTF-8", std::string(5000, '\x96')},
  };
  for (const auto& c : cases) {
    block.message = c.message;
    std::string message = RfcErrorMessage(block);
    EXPECT_EQ(message.substr(message.size() - 3), "...") << c.label;
    std::string document = ErrorDocument(message);
    std::size_t characters = 0;
    std::string_view text(document);
    text = text.substr(text.find("<Text>") + 6);
    text = text.substr(0, text.find("</Text>"));
    for (std::size_t i = 0; i < text.size(); ++characters) {
      if (text[i] == '&')
        i = text.find(';', i) + 1;
      else
        i += std::max<std::size_t>(1, Utf8SequenceLength(text.substr(i)));
    }
    EXPECT_EQ(characters, kPrtgTextLimit) << c.label;
  }
}

// In PRTG's own mode a name stands once in a document; the other forms keep
// the names they always had.
TEST(DocumentChannel, ARepeatedNameGetsItsKeywordInPrtgsMode) {
  std::unique_ptr<DocumentWriter> exexml = MakeDocumentWriter(CallerMode::kExeXml, std::nullopt);
  EXPECT_EQ(exexml->ChannelName("TOTAL-DURATIONS", "Physical updates"), "Physical updates");
  EXPECT_EQ(exexml->ChannelName("TOTAL-ROWS", "Physical updates"), "TOTAL-ROWS: Physical updates");
  EXPECT_EQ(exexml->ChannelName("TOTAL-ROWS", "Physical deletes"), "Physical deletes");
  exexml->Open();  // a new document
  EXPECT_EQ(exexml->ChannelName("TOTAL-ROWS", "Physical updates"), "Physical updates");
  std::unique_ptr<DocumentWriter> holdrun = MakeDocumentWriter(CallerMode::kHoldrun, std::nullopt);
  EXPECT_EQ(holdrun->ChannelName("TOTAL-DURATIONS", "Physical updates"), "Physical updates");
  EXPECT_EQ(holdrun->ChannelName("TOTAL-ROWS", "Physical updates"), "Physical updates");
}

}  // namespace
}  // namespace poolmetrics
