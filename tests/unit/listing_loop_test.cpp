#include "global/listing_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "fake_rfc_library.h"
#include "profile/password.h"
#include "global/listing_output.h"
#include "run/request.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

namespace fs = std::filesystem;
using A = FakeSystem::Answer;

// A profile directory of its own for each test, with profiles by destination.
class ListingLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 ("pm-global-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  void Profile(const std::string& name, const std::string& destination, bool with_user = true) {
    std::ofstream(directory_ / name) << "Extcompany.: ACME\nDestination: " << destination
                                     << "\nClient.....: 100\n"
                                     << (with_user ? "User.......: monitor\n" : "") << "Password...: "
                                     << EncodeStoredPassword("secret1", 4, "abcdefghijklmnopqrstuvwxyz")
                                     << "\nLanguage...: E\nMode.......: R/3\nHostname...: host\nSysnr......: 00\n"
                                        "Gwhost.....: gw\nGwservice..: sapgw00\n";
  }

  // Runs the listing in `mode` and returns what it printed.
  std::string Run(CallerMode mode, const std::string& listing, const std::string& parameters = "PXA-INFO",
                  int* status = nullptr) {
    Parameters read = ReadParameters(parameters);
    ListingTask task;
    task.mode = mode;
    task.sensors = read.Sensors;
    task.values = read.Values;
    task.profile_directory = directory_.string() + "/";
    Listing names;
    names.Append(listing);
    Progress progress(false, 0);
    Deadline deadline(Clock::now());
    ::testing::internal::CaptureStdout();
    int code = -1;
    try {
      std::vector<std::string_view> listed = names.Names();
      ListingOutput output(task, "Main", static_cast<unsigned>(listed.size()), progress);
      code = RunSystemListing(task, listed, output, library_, deadline);
    } catch (const RunFailure& failure) {
      code = failure.block() ? 1 : 2;
    }
    std::fflush(stdout);
    if (status) *status = code;
    return ::testing::internal::GetCapturedStdout();
  }

  FakeRfcLibrary library_;
  fs::path directory_;
};

std::string Pxa(int gaps) {
  return "\n<Result><Channel>Size of the gaps in PXA</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>#</CustomUnit>\n"
         "<Value>" +
         std::to_string(gaps) +
         "</Value></Result>\n"
         "\n<Result><Channel>No.of generated programs</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>#</CustomUnit>\n"
         "<Value>0</Value></Result>\n";
}

std::string Summary(int systems, int processed, int failed) {
  return "\n<Text>(***) Main: NoSystems=" + std::to_string(systems) + ", Processed=" + std::to_string(processed) +
         ", Failed=" + std::to_string(failed) + "</Text>\n\n</Prtg>\n\n";
}

// States and counters over listings of systems that answer in every way;
// the document holds what the last handled system left in it.
TEST_F(ListingLoop, StatesCountersAndTheLastSystemsChannels) {
  Profile("PRD.P00", "PRD");
  Profile("QAS.P00", "QAS");
  Profile("REF.P00", "REF");
  Profile("EXC.P00", "EXC");
  Profile("NOU.P00", "NOU", false);
  library_.systems["PRD"] = {A::kFigures, 5, {}};
  library_.systems["QAS"] = {A::kFigures, 6, {}};
  library_.systems["EXC"] = {A::kCallFailure, 0, {CallFailureKind::kException, "A<B", {}}};
  library_.systems["NOU"] = {A::kFigures, 7, {}};
  struct {
    const char* label;
    const char* listing;
    std::string document;
  } cases[] = {
      {"two that answer: the second's channels", "PRD.P00#QAS.P00#", Pxa(6) + Summary(2, 2, 0)},
      {"refused logon last: no channels", "PRD.P00#REF.P00#", Summary(2, 1, 1)},
      {"failed call last: its message, escaped", "PRD.P00#EXC.P00#",
       "Error 1012: Exception.: A&lt;B" + Summary(2, 1, 1)},
      {"invalid profile that answers: its channels, but failed", "QAS.P00#NOU.P00#", Pxa(7) + Summary(2, 1, 1)},
      {"missing and empty names count only as systems", "GONE.P00##PRD.P00", Pxa(5) + Summary(3, 1, 0)},
      {"a name leaving the directory is not read", "..\\PRD.P00#", Summary(1, 0, 0)},
  };
  for (const auto& c : cases) {
    int status = -1;
    EXPECT_EQ(Run(CallerMode::kHoldrun, c.listing, "PXA-INFO", &status), "\n<Prtg>\n\n" + c.document) << c.label;
    EXPECT_EQ(status, 0) << c.label;
  }
}

TEST_F(ListingLoop, BrennickChannelLimitCountsOverTheWholeRun) {
  Profile("PRD.P00", "PRD");
  Profile("QAS.P00", "QAS");
  library_.systems["PRD"] = {A::kFigures, 5, {}};
  library_.systems["QAS"] = {A::kFigures, 6, {}};
  // Six channels each: the second system's end past the run's tenth.
  std::string out = Run(CallerMode::kBrennick, "PRD.P00#QAS.P00#", "HEAP-MEMORY");
  EXPECT_NE(out.find("\nStatistic.QAS_P00: "), std::string::npos) << "keyed by the system's label: " << out;
  EXPECT_EQ(out.find("PRD_P00"), std::string::npos) << "only the last system's channels are printed";
  std::size_t shown = 0;
  for (std::size_t at = out.find("Statistic."); at != std::string::npos; at = out.find("Statistic.", at + 1)) ++shown;
  EXPECT_EQ(shown, 4u) << out;  // channels 7 to 10 of the run
}

TEST_F(ListingLoop, AnRfcErrorEndsTheRunAfterWhatWasPrinted) {
  Profile("PRD.P00", "PRD");
  Profile("BLK.P00", "BLK");
  Profile("QAS.P00", "QAS");
  library_.systems["PRD"] = {A::kFigures, 5, {}};
  library_.systems["BLK"] = {A::kCallBlock, 0, {}};
  library_.systems["QAS"] = {A::kFigures, 6, {}};
  int status = -1;
  std::string out = Run(CallerMode::kHoldrun, "PRD.P00#BLK.P00#QAS.P00#", "PXA-INFO", &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out, "\n<Prtg>\n\n");  // the opening; the block is the entry's to print
  EXPECT_EQ(library_.log, (std::vector<std::string>{"open PRD host:00", "call PRD", "close PRD", "open BLK host:00",
                                                    "call BLK", "close BLK"}));
}

// TIMES: "Logon time" and "Call time" follow each system's own channels,
// keyed like them, and count towards the run's channel limit.
TEST_F(ListingLoop, ResponseTimesFollowEachSystemsChannelsAndCount) {
  Profile("PRD.P00", "PRD");
  Profile("QAS.P00", "QAS");
  Profile("DEV.P00", "DEV");
  library_.systems["PRD"] = {A::kFigures, 5, {}};
  library_.systems["QAS"] = {A::kFigures, 6, {}};
  library_.systems["DEV"] = {A::kFigures, 7, {}};
  std::string out = Run(CallerMode::kBrennick, "PRD.P00#QAS.P00#", "PXA-INFO TIMES");
  std::regex milliseconds("Statistic\\.QAS_P00: \\d+");
  EXPECT_EQ(std::regex_replace(out, milliseconds, "Statistic.QAS_P00: n"),
            "\n\n\nMessage.QAS_P00: Size of the gaps in PXA (#)\nStatistic.QAS_P00: n"
            "\n\nMessage.QAS_P00: No.of generated programs (#)\nStatistic.QAS_P00: n"
            "\n\nMessage.QAS_P00: Logon time (mSec)\nStatistic.QAS_P00: n"
            "\n\nMessage.QAS_P00: Call time (mSec)\nStatistic.QAS_P00: n"
            "\n# (***) Main: NoSystems=2, Processed=2, Failed=0\n\n");
  // Third system: channels 9 to 12 of the run, of which the limit leaves two.
  out = Run(CallerMode::kBrennick, "PRD.P00#QAS.P00#DEV.P00#", "PXA-INFO TIMES");
  EXPECT_NE(out.find("No.of generated programs"), std::string::npos) << out;
  EXPECT_EQ(out.find("Logon time"), std::string::npos) << out;
}

// At the deadline the document holds the channels of the last system that
// finished; the system in progress gets "State=Timeout", the names not
// reached no line, and all of them count as failed and in ", Timeout=k".
TEST_F(ListingLoop, TheDeadlineEndsTheRunWithTheSummaryOfWhatFinished) {
  struct {
    const char* label;
    bool in_progress;
    const char* lines;
    const char* summary;
  } cases[] = {
      {"in a logon", true, "\n* PRD line State=Processed\n\n* QAS line State=Timeout\n",
       "NoSystems=5, Processed=1, Failed=3, Timeout=3"},
      {"between two systems", false, "\n* PRD line State=Processed\n", "NoSystems=5, Processed=1, Failed=3, Timeout=3"},
  };
  for (const auto& c : cases) {
    Progress progress(true, 0);
    ::testing::internal::CaptureStdout();
    {
      // "PRD.P00#GONE.P00#QAS.P00##REF.P00#": five names
      ListingTask task;
      task.mode = CallerMode::kHoldrun;
      task.sensors = ReadParameters("PXA-INFO").Sensors;
      ListingOutput output(task, "Main", 5, progress);
      auto figures = std::make_shared<StatisticResult>();
      figures->rows[static_cast<std::size_t>(RowParameter::kPxaInfo)][0].integer = 5;
      output.Finished({ListedProfile{"* PRD line", "PRD.P00", "PRD", true}, Answered{figures, {}}});
      output.Finished({});  // GONE.P00: no profile
      if (c.in_progress) output.InProgress("* QAS line");
      output.EndAtDeadline();  // the last words of a listing run
    }
    std::fflush(stdout);
    std::string out =
        std::regex_replace(::testing::internal::GetCapturedStdout(), std::regex("\\d\\d:\\d\\d:\\d\\d"), "hh:mm:ss");
    EXPECT_EQ(out, std::string("\n<Prtg>\n\n") + c.lines +
                       "\n<Result><Channel>Size of the gaps in PXA</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>#</"
                       "CustomUnit>\n<Value>5</Value></Result>\n\n<Result><Channel>No.of generated "
                       "programs</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>#</CustomUnit>\n<Value>0</Value></"
                       "Result>\n\n<Text>(***) Main: " +
                       c.summary + "</Text>\n\n</Prtg>\n\n\n* hh:mm:ss SAP PoolMetrics now processed...\n")
        << c.label;
  }
}

}  // namespace
}  // namespace poolmetrics
