#include "run/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/run_failure.h"

namespace poolmetrics {
namespace {

RunState Read(std::vector<std::string> args) {
  std::vector<const char*> argv = {"PoolMetrics"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  RunState state;
  ReadCommandLine(state, static_cast<int>(argv.size()), argv.data());
  return state;
}

TEST(CommandLine, NoArgumentIs1001) {
  RunState state;
  const char* argv[] = {"PoolMetrics"};
  try {
    ReadCommandLine(state, 1, argv);
    FAIL();
  } catch (const RunFailure& f) {
    EXPECT_EQ(f.message(), "Error 1001: Parameter for Profile-Name is missing !");
  }
}

TEST(CommandLine, ProfileNames) {
  struct {
    const char* argument;
    const char* directory;
    const char* name;
    bool global;
  } cases[] = {
      {"prd", "", "prd.P00", false},
      {"prd.cfg", "", "prd.cfg", false},
      {"ab", "", "ab.P00", false},
      {"X.P0", "", "X.P0.P00", false},
      {"global", "", "SAP Overseer.Gbl", true},
      {"Global.p00", "", "SAP Overseer.Gbl", true},
      {"GLOBAL.P01", "", "GLOBAL.P01", false},
      {"C:\\Sensors\\global", "C:\\Sensors\\", "SAP Overseer.Gbl", true},
      {"C:\\Sensors\\PRD", "C:\\Sensors\\", "PRD.P00", false},
      {"\\PRD", "", "\\PRD.P00", false},
      {"/etc/poolmetrics/PRD", "/etc/poolmetrics/", "PRD.P00", false},
  };
  for (const auto& c : cases) {
    RunState s = Read({c.argument});
    EXPECT_EQ(s.ProfileDirectory, c.directory) << c.argument;
    EXPECT_EQ(s.ProfileName, c.name) << c.argument;
    EXPECT_EQ(s.request.GlobalMode, c.global) << c.argument;
  }
}

TEST(CommandLine, ParametersAndKeys) {
  RunState s = Read({"PRD", "total-rows", "ch=3"});
  EXPECT_EQ(s.request.ParameterText, "total-rows ch=3");
  EXPECT_EQ(s.request.ParameterKeys, "TOTAL-ROWS CH=3");
  EXPECT_FALSE(s.request.ShowProgress);
  for (const char* mark : {"#", "@", "$", "%", "x#y"}) EXPECT_TRUE(Read({"PRD", mark}).request.ShowProgress) << mark;
}

// The values are read from the parameters as typed, whatever progress marks
// stand before them: a mark never changes which system is asked.
TEST(CommandLine, KeywordValues) {
  struct {
    const char* parameters;
    const char* host;   // null: no override
    const char* sysnr;  // null: no override
    int channel;        // -1: no selection
  } cases[] = {
      {"TOTAL-ROWS,NO=01", nullptr, "01", -1},
      {"# TOTAL-ROWS,NO=01", nullptr, "01", -1},
      {"@,HOST=sapqas01 TOTAL-ROWS", "sapqas01", nullptr, -1},
      {"TOTAL-ROWS,HOST=SapApp2,NO=07 #", "SapApp2", "07", -1},
      {"TOTAL-ROWS,HOST=,NO=x", "", "x", -1},
      {"TOTAL-ROWS HOST=qas NO=01", nullptr, nullptr, -1},  // without the comma no override
      {"# TOTAL-ROWS,CH=2", nullptr, nullptr, 2},
      {"ch=12,x", nullptr, nullptr, 12},
      {"CH=1234", nullptr, nullptr, 123},
      {"CH=ab", nullptr, nullptr, 0},
      {"CH=-1", nullptr, nullptr, 0},
  };
  for (const auto& c : cases) {
    RunState s = Read({"PRD", c.parameters});
    EXPECT_EQ(s.request.Values.host.has_value(), c.host != nullptr) << c.parameters;
    if (c.host && s.request.Values.host) {
      EXPECT_EQ(*s.request.Values.host, c.host) << c.parameters;
    }
    EXPECT_EQ(s.request.Values.sysnr.has_value(), c.sysnr != nullptr) << c.parameters;
    if (c.sysnr && s.request.Values.sysnr) {
      EXPECT_EQ(*s.request.Values.sysnr, c.sysnr) << c.parameters;
    }
    EXPECT_EQ(s.request.Values.channel ? static_cast<int>(*s.request.Values.channel) : -1, c.channel) << c.parameters;
  }
}

TEST(CommandLine, RunControlValueOutOfRangeIs1035) {
  for (const char* parameters : {"TOTAL-ROWS TIMEOUT=0", "TOTAL-ROWS,PARALLEL=abc"}) {
    try {
      Read({"PRD", parameters});
      ADD_FAILURE() << parameters;
    } catch (const RunFailure& f) {
      EXPECT_EQ(f.message().substr(0, 16), "Error 1035: Inva") << parameters;
    }
  }
}

TEST(CommandLine, ItemRun) {
  RunState s = Read({"PRD", "TOTAL-ROWS", "ITEM=Prd:Main,x"});
  EXPECT_TRUE(s.request.GlobalMode);
  EXPECT_EQ(s.request.ItemName, "Prd Main");
  EXPECT_EQ(s.ProfileName, "Overseer.Prf");

  EXPECT_EQ(Read({"GLOBAL", "item=abc def"}).request.ItemName, "abc");
  EXPECT_EQ(Read({"x", "ITEM="}).request.ItemName, "");
  EXPECT_EQ(Read({"x", "ITEM=" + std::string(120, 'n')}).request.ItemName.size(), 90u);
}

TEST(CommandLine, LongArgumentsAreCutToTheirFields) {
  RunState s = Read({std::string(200, 'p'), std::string(200, 'a'), "b"});
  EXPECT_EQ(s.ProfileName.size(), 63u);
  EXPECT_EQ(s.request.ParameterText.size(), 127u);
  EXPECT_EQ(s.request.ParameterKeys.size(), 127u);
}

}  // namespace
}  // namespace poolmetrics
