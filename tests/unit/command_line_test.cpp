#include "run/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/run_failure.h"

namespace poolmetrics {
namespace {

Request Read(std::vector<std::string> args) {
  std::vector<const char*> argv = {"PoolMetrics"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  return ReadCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, NoArgumentIs1001) {
  const char* argv[] = {"PoolMetrics"};
  try {
    ReadCommandLine(1, argv);
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
    Request s = Read({c.argument});
    EXPECT_EQ(s.ProfileDirectory, c.directory) << c.argument;
    EXPECT_EQ(s.ProfileName, c.name) << c.argument;
    EXPECT_EQ(s.GlobalMode, c.global) << c.argument;
  }
}

TEST(CommandLine, ParametersAndKeys) {
  Request s = Read({"PRD", "total-rows", "ch=3"});
  EXPECT_EQ(s.Params.Text, "total-rows ch=3");
  EXPECT_EQ(s.Params.ParameterKeys(), "TOTAL-ROWS CH=3");
  EXPECT_EQ(s.FirstWord, "total-rows");
  EXPECT_FALSE(s.ShowProgress);
  for (const char* mark : {"#", "@", "$", "%", "x#y"}) EXPECT_TRUE(Read({"PRD", mark}).ShowProgress) << mark;
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
    const ParameterValues& v = Read({"PRD", c.parameters}).Params.Values;
    EXPECT_EQ(v.host.has_value(), c.host != nullptr) << c.parameters;
    if (c.host && v.host) {
      EXPECT_EQ(*v.host, c.host) << c.parameters;
    }
    EXPECT_EQ(v.sysnr.has_value(), c.sysnr != nullptr) << c.parameters;
    if (c.sysnr && v.sysnr) {
      EXPECT_EQ(*v.sysnr, c.sysnr) << c.parameters;
    }
    EXPECT_EQ(v.channel ? static_cast<int>(*v.channel) : -1, c.channel) << c.parameters;
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
  Request s = Read({"PRD", "TOTAL-ROWS", "ITEM=Prd:Main,x"});
  EXPECT_TRUE(s.GlobalMode);
  EXPECT_EQ(s.ItemName, "Prd Main");
  EXPECT_EQ(s.ProfileName, "Overseer.Prf");

  EXPECT_EQ(Read({"GLOBAL", "item=abc def"}).ItemName, "abc");
  EXPECT_EQ(Read({"x", "ITEM="}).ItemName, "");
  EXPECT_EQ(Read({"x", "ITEM=" + std::string(120, 'n')}).ItemName.size(), 90u);
}

// The field limits what is shown and where the sensor types are searched:
// the values of the keywords are read from the arguments as typed, whatever
// their length.
TEST(CommandLine, LongArgumentsAreCutOnlyWhereShown) {
  Request s = Read({std::string(200, 'p'), std::string(200, 'a'), "b"});
  EXPECT_EQ(s.ProfileName.size(), 63u);
  EXPECT_TRUE(s.ProfileNameCut);
  EXPECT_EQ(s.Params.Text.size(), 202u);
  EXPECT_EQ(s.Params.ParameterText().size(), 127u);
  EXPECT_EQ(s.Params.ParameterKeys().size(), 127u);

  std::string item = "ITEM=" + std::string(100, 'i');
  struct {
    const char* label;
    std::string words;
    int timeout;
    bool times;
  } cases[] = {
      {"a value that ends past the field", item + " " + std::string(14, 'x') + " TIMEOUT=30", 30, false},
      {"a value that starts past it", item + " " + std::string(40, 'x') + " TIMEOUT=30 TIMES", 30, true},
  };
  for (const auto& c : cases) {
    Request r = Read({"x", c.words, "PXA-INFO,NO=07"});
    EXPECT_EQ(r.Params.Values.run.timeout.value_or(0), static_cast<unsigned>(c.timeout)) << c.label;
    EXPECT_EQ(r.Params.Values.run.times, c.times) << c.label;
    EXPECT_EQ(r.Params.Values.sysnr.value_or(""), "07") << c.label;
    // The sensor types are searched in the field only.
    EXPECT_TRUE(r.Params.Sensors.none()) << c.label;
  }
}

// Arguments after the two parameter words are ignored, but for the
// run-control keywords, of which the parameter words' win.
TEST(CommandLine, RunControlFromTheArgumentsAfterTheParameterWords) {
  Request r = Read({"PRD", "TOTAL-ROWS", "#", "TIMEOUT=30", "times", "PXA-INFO", "ITEM=x", ",NO=07"});
  EXPECT_EQ(r.Params.Values.run.timeout.value_or(0), 30u);
  EXPECT_TRUE(r.Params.Values.run.times);
  EXPECT_EQ(r.Params.Sensors, SensorTypesNamedIn("TOTAL-ROWS"));
  EXPECT_FALSE(r.GlobalMode);
  EXPECT_FALSE(r.Params.Values.sysnr);

  EXPECT_EQ(Read({"PRD", "TIMEOUT=5", "x", "TIMEOUT=30", "PARALLEL=3"}).Params.Values.run.timeout.value_or(0), 5u);
  EXPECT_EQ(Read({"PRD", "TIMEOUT=5", "x", "TIMEOUT=30", "PARALLEL=3"}).Params.Values.run.parallel.value_or(0), 3u);
  try {
    Read({"PRD", "TOTAL-ROWS", "x", "TIMEOUT=0"});
    ADD_FAILURE() << "TIMEOUT=0 in the fourth argument";
  } catch (const RunFailure& f) {
    EXPECT_EQ(f.message(), "Error 1035: Invalid Value TIMEOUT=0, use 1 to 900...");
  }
}

// The hidden command line of a parallel run's child carries its task whole.
TEST(CommandLine, AChildsCommandLine) {
  Request child = Read({"::listed-systems", "wire form"});
  ASSERT_TRUE(child.ChildTask);
  EXPECT_EQ(*child.ChildTask, "wire form");
  EXPECT_FALSE(Read({"::listed-systems"}).ChildTask);
  EXPECT_FALSE(Read({"::listed-systems", "a", "b"}).ChildTask);
}

}  // namespace
}  // namespace poolmetrics
