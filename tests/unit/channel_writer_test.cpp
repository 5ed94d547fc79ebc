#include "output/channel_writer.h"

#include <gtest/gtest.h>

#include "run/text.h"

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
  for (const auto& c : cases) EXPECT_EQ(ChannelKey(c.label).view(), c.key) << c.label;
}

std::string Channels(CallerMode mode, const char* text, int count, const char* unit = "#") {
  RunState s;
  s.Mode = mode;
  s.ParameterText = text;
  s.ParameterKeys = text;
  UpperCaseInPlace(s.ParameterKeys);
  s.Values = ReadParameterValues(s.ParameterText, s.ParameterKeys);
  for (int i = 1; i <= count; ++i) WriteChannel(s, "Label " + std::to_string(i), std::to_string(i * 11), unit);
  return std::string(s.OutputDocument);
}

TEST(WriteChannel, Forms) {
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
}

TEST(WriteChannel, DecimalValuesAreMarkedAsFloatInXml) {
  RunState s;
  WriteChannel(s, "Medium hit rate", " 99.87", "%");
  EXPECT_EQ(s.OutputDocument,
            "\n<Result><Channel>Medium hit rate</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>%</CustomUnit>\n"
            "<Float>1</Float>\n<Value> 99.87</Value></Result>\n");
}

TEST(WriteChannel, BrennickStopsAfterTenChannelsOfTheRun) {
  std::string doc = Channels(CallerMode::kBrennick, "", 14);
  EXPECT_NE(doc.find("Statistic.Label_10: 110"), std::string::npos);
  EXPECT_EQ(doc.find("Label_11"), std::string::npos);
}

TEST(WriteChannel, QuillonSelection) {
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

TEST(WriteChannel, GlobalRunKeysBySystemLabel) {
  RunState s;
  s.Mode = CallerMode::kBrennick;
  s.GlobalMode = true;
  s.SystemLabel = "PRD.P00";
  WriteChannel(s, "Physical updates", "5", "#");
  EXPECT_EQ(s.OutputDocument, "\n\nMessage.PRD_P00: Physical updates (#)\nStatistic.PRD_P00: 5");
}

}  // namespace
}  // namespace poolmetrics
