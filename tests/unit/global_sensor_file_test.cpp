#include "global/global_sensor_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run/command_line.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMark = "Sensor=\"SAP PoolMetrics\"";

// A directory of its own for each test, holding the run's file.
class GlobalSensorFile : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ =
        fs::temp_directory_path() / ("pm-gbl-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                     "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  // Writes `name` with `lines` and reads it for the request that `args` make.
  GlobalAllocation Read(const char* name, const std::string& lines, const Request& request) {
    std::ofstream(directory_ / name) << lines;
    ProfileLocation location;
    location.ProfilePath = (directory_ / name).string();
    return ReadGlobalSensorFile(request, location);
  }

  static Request Command(std::vector<std::string> args) {
    std::vector<const char*> argv = {"PoolMetrics"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    return ReadCommandLine(static_cast<int>(argv.size()), argv.data());
  }

  fs::path directory_;
};

// A global-file run goes by its allocation text: its item, its label kind,
// its parameters (":" a blank; values read from the whole text, past the
// field of 127 characters that is shown), with the command line's run
// control winning; the request stays as typed.
TEST_F(GlobalSensorFile, AGlobalFileRunGoesByItsAllocation) {
  const Request request = Command({"GLOBAL", "prdmem", "TIMEOUT=5 #"});
  std::string allocation = "PXA-INFO:TOTAL-ROWS:" + std::string(90, 'x') + ":TIMEOUT=20:PARALLEL=4";
  GlobalAllocation run = Read(kGlobalSensorFile,
                              "# GSNG: PRDMEM      PRD.P00#QAS.P00#\n"
                              "# GSNX: PRDMEM     " +
                                  allocation + "," + kMark + ",Item=Prd:Main,Host\n",
                              request);
  EXPECT_EQ(run.item_name, "Prd Main");
  EXPECT_EQ(run.label_kind, SystemLabelKind::kHost);
  EXPECT_EQ(run.listing.Names().at(1), "QAS.P00");

  std::string text = allocation;
  for (char& c : text) c = c == ':' ? ' ' : c;
  EXPECT_EQ(run.parameters.Text, text);
  EXPECT_EQ(run.parameters.ParameterText(), text.substr(0, 127));
  EXPECT_EQ(run.parameters.Sensors, SensorTypesNamedIn("PXA-INFO TOTAL-ROWS"));
  EXPECT_EQ(run.parameters.Values.run.timeout.value_or(0), 5u);
  EXPECT_EQ(run.parameters.Values.run.parallel.value_or(0), 4u);

  EXPECT_EQ(request.Params.Text, "prdmem TIMEOUT=5 #");
  EXPECT_TRUE(request.ItemName.empty());
}

// An item run's item is the command line's; its parameters are its words
// read again with ":" as a blank.
TEST_F(GlobalSensorFile, AnItemRunGoesByItsCommandLine) {
  const Request request = Command({"x", "TOTAL-ROWS", "ITEM=Prd:Main,x"});
  GlobalAllocation run = Read(kItemProfile, "Extcompany.: x\n# Gsng: 0123456789  PRD.P00#\n", request);
  EXPECT_EQ(run.item_name, "Prd Main");
  EXPECT_EQ(run.label_kind, SystemLabelKind::kProfile);
  EXPECT_EQ(run.listing.Names().at(0), "PRD.P00");
  EXPECT_EQ(run.parameters.Text, "TOTAL-ROWS ITEM=Prd Main,x");
  EXPECT_EQ(run.parameters.Sensors, SensorTypesNamedIn("TOTAL-ROWS"));
  EXPECT_EQ(request.Params.Text, "TOTAL-ROWS ITEM=Prd:Main,x");
}

// A value out of range in the allocation ends the run after the file's own
// checks, whatever the command line gives.
TEST_F(GlobalSensorFile, TheAllocationsFaultEndsTheRun) {
  const Request request = Command({"GLOBAL", "KEY", "TIMEOUT=5"});
  try {
    Read(kGlobalSensorFile,
         std::string("# GSNG: KEY         PRD.P00#\n# GSNX: KEY        TOTAL-ROWS:TIMEOUT=0,") + kMark + ",Item=A\n",
         request);
    FAIL();
  } catch (const RunFailure& f) {
    EXPECT_EQ(f.message(), "Error 1035: Invalid Value TIMEOUT=0, use 1 to 900...");
  }
}

}  // namespace
}  // namespace poolmetrics
