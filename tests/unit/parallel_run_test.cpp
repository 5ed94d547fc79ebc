#include "global/parallel_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fake_rfc_library.h"
#include "global/child_report.h"
#include "global/child_task.h"
#include "global/listing_schedule.h"
#include "profile/password.h"
#include "run/command_line.h"
#include "run/request.h"

namespace poolmetrics {
namespace {

// Drives a schedule: starts what it allows ("s2"), lets the running system
// that comes first in `finish_order` finish ("f2"), prints what it allows
// ("p2"), until every system is printed.
std::string Drive(std::size_t names, unsigned width, std::vector<std::size_t> finish_order) {
  ListingSchedule schedule(names, width);
  std::vector<bool> running(names, false);
  std::string events;
  auto note = [&events](char what, std::size_t i) {
    events += (events.empty() ? "" : " ") + std::string(1, what) + std::to_string(i);
  };
  while (!schedule.done()) {
    while (auto i = schedule.NextToStart()) {
      running[*i] = true;
      note('s', *i);
    }
    if (schedule.running() > width) return "too many running: " + events;
    for (auto it = finish_order.begin(); it != finish_order.end(); ++it) {
      if (!running[*it]) continue;
      running[*it] = false;
      schedule.Finished(*it);
      note('f', *it);
      finish_order.erase(it);
      break;
    }
    while (auto i = schedule.NextToPrint()) note('p', *i);
  }
  return events;
}

TEST(ListingSchedule, StartsInListingOrderAndPrintsInListingOrder) {
  struct {
    const char* label;
    std::size_t names;
    unsigned width;
    std::vector<std::size_t> finish_order;
    const char* events;
  } cases[] = {
      {"one at a time is the sequential run", 3, 1, {0, 1, 2}, "s0 f0 p0 s1 f1 p1 s2 f2 p2"},
      {"in order", 3, 3, {0, 1, 2}, "s0 s1 s2 f0 p0 f1 p1 f2 p2"},
      {"a later system waits for the first", 3, 3, {2, 1, 0}, "s0 s1 s2 f2 f1 f0 p0 p1 p2"},
      {"a free place starts the next name", 4, 2, {1, 0, 3, 2}, "s0 s1 f1 s2 f0 p0 p1 s3 f3 f2 p2 p3"},
      {"a slow first system holds back the printing, not the starting",
       5,
       2,
       {1, 2, 3, 4, 0},
       "s0 s1 f1 s2 f2 s3 f3 s4 f4 f0 p0 p1 p2 p3 p4"},
      {"wider than the listing", 2, 64, {1, 0}, "s0 s1 f1 f0 p0 p1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Drive(c.names, c.width, c.finish_order), c.events) << c.label;
}

// A child that cannot be started gives its place back; it is tried again
// once a running system has finished.
// A system whose child ended in the RFC error handler ends the run: the
// systems before it are still printed, none after it is started or printed.
TEST(ListingSchedule, TheRunEndsAtASystemThatEndedIt) {
  ListingSchedule schedule(5, 3);
  EXPECT_EQ(schedule.NextToStart(), 0u);
  EXPECT_EQ(schedule.NextToStart(), 1u);
  EXPECT_EQ(schedule.NextToStart(), 2u);
  schedule.Finished(1);
  schedule.StopAfter(1);
  EXPECT_EQ(schedule.NextToStart(), std::nullopt);
  EXPECT_EQ(schedule.NextToPrint(), std::nullopt) << "the first is still running";
  schedule.Finished(2);  // a later one ends all the same
  schedule.Finished(0);
  EXPECT_EQ(schedule.NextToPrint(), 0u);
  EXPECT_EQ(schedule.NextToPrint(), 1u);
  EXPECT_EQ(schedule.NextToPrint(), std::nullopt);
  EXPECT_TRUE(schedule.done());
}

TEST(ListingSchedule, AFailedStartIsTriedAgainAfterTheNextFinish) {
  ListingSchedule schedule(3, 3);
  EXPECT_EQ(schedule.NextToStart(), 0u);
  EXPECT_EQ(schedule.NextToStart(), 1u);
  schedule.StartFailed(1);
  EXPECT_EQ(schedule.NextToStart(), std::nullopt) << "waits for a place";
  schedule.Finished(0);
  EXPECT_EQ(schedule.NextToStart(), 1u);
  EXPECT_EQ(schedule.NextToPrint(), 0u);
  EXPECT_EQ(schedule.printed(), 1u) << "the first not printed is the one a deadline finds in progress";
}

// What a child does for a name it is sent: writes `written`, and ends
// then when `ends` (ended from outside, or after an error record).
struct ScriptedAnswer {
  std::string written;
  bool ends = false;
};

// Children scripted by name. Each Wait lets the child of the first name in
// `order` that a waited child holds answer; with none of them left to
// answer, a Wait lasts until its limit, as a hung child's would.
class FakeChildSet final : public ChildSet {
 public:
  std::map<std::string, ScriptedAnswer> answers;  // by listed name
  std::vector<std::string> order;                 // the names, in the order their children answer
  std::set<unsigned> failing_starts;              // the starts, counted from 0, that fail
  std::vector<std::string> log;                   // "start 0", "start 1 failed", "send 0 A", "kill 0", ...

  bool Start(std::size_t place, const std::vector<std::string>&) override {
    bool fails = failing_starts.count(starts_++) > 0;
    Note("start", place, fails ? " failed" : "");
    children_.erase(place);
    if (!fails) children_[place] = {};
    return !fails;
  }
  bool Running(std::size_t place) const override { return children_.count(place) && !children_.at(place).ended; }
  bool Send(std::size_t place, std::string_view text) override {
    if (!Running(place)) return false;
    children_[place].name = std::string(text.substr(0, text.size() - 1));  // without its line feed
    Note("send", place, " " + children_[place].name);
    return true;
  }
  void Wait(const std::vector<std::size_t>& places, std::optional<Clock::time_point> until) override {
    for (auto name = order.begin(); name != order.end(); ++name)
      for (std::size_t place : places) {
        Child& child = children_.at(place);
        if (child.name != *name) continue;
        child.output += answers.at(*name).written;
        child.ended = answers.at(*name).ends;
        order.erase(name);
        return;
      }
    if (until) {
      std::this_thread::sleep_until(*until);
      return;
    }
    ADD_FAILURE() << "waits for ever";
    for (std::size_t place : places) children_.at(place).ended = true;
  }
  const std::string& Output(std::size_t place) const override { return children_.at(place).output; }
  std::string TakeOutput(std::size_t place) override { return std::move(children_.at(place).output); }
  void Kill(std::size_t place) override { Note("kill", place); }
  void Drop(std::size_t place) override {
    if (children_.erase(place)) Note("drop", place);
  }
  void CloseInputs() override {
    for (const auto& child : children_) Note("close", child.first);
  }

 private:
  struct Child {
    std::string name;  // the last one sent
    std::string output;
    bool ended = false;
  };
  void Note(const char* what, std::size_t place, const std::string& more = "") {
    log.push_back(what + (" " + std::to_string(place)) + more);
  }
  std::map<std::size_t, Child> children_;  // by place
  unsigned starts_ = 0;
};

// What a child writes for a system that answers: its header, what it
// printed meanwhile, its record.
std::string Answers(const std::string& system, const std::string& printed, bool processed = true) {
  ListedSystem answer{ListedProfile{"* " + system + " line", system, system, true}, LogonRefused{}};
  if (processed) answer.outcome = Answered{std::make_shared<StatisticResult>(), {}};
  return ChildHeader(answer.profile->line, answer.profile->label) + printed + ChildRecord(answer);
}

// The channels that the last system printed leaves in the run's Brennick
// document: an answer's (its statistic all zeros).
std::string ChannelsOf(const std::string& system) {
  return "\n\nMessage." + system + ": Size of the gaps in PXA (#)\nStatistic." + system + ": 0\n\nMessage." + system +
         ": No.of generated programs (#)\nStatistic." + system + ": 0";
}

// The same cut short: the child still works on the system, or was ended.
std::string Begins(const std::string& system, const std::string& printed) {
  return ChildHeader("* " + system + " line", system) + printed;
}

const ErrorBlock kBlock{"RfcReceive", "RFC_ERROR_COMMUNICATION", "", "connection lost", ""};

// A parallel run over scripted children that prints through the real
// listing output (captured standard output), with progress lines; a system
// handled in the parent reads its profile from a directory of the test's
// own and logs on through a fake library.
class ParallelRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("pm-parallel-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    task_.mode = CallerMode::kBrennick;
    task_.sensors = ReadParameters("PXA-INFO").Sensors;
    task_.profile_directory = directory_.string() + "/";
    library_.systems["PRD"] = {FakeSystem::Answer::kFigures, 5, {}};
    std::ofstream(directory_ / "H.P00") << "Extcompany.: ACME\nDestination: PRD\nClient.....: 100\nUser.......: monitor\n"
                                        << "Password...: "
                                        << EncodeStoredPassword("secret1", 4, "abcdefghijklmnopqrstuvwxyz")
                                        << "\nLanguage...: E\nMode.......: R/3\nHostname...: host\nSysnr......: 00\n"
                                           "Gwhost.....: gw\nGwservice..: sapgw00\n";
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  // Runs `names`, or only what `drive` does with the run when given;
  // returns what was printed, times of day as "hh:mm:ss".
  std::string Run(const std::vector<std::string>& names, unsigned width, FakeChildSet& children, int& status,
                  std::optional<unsigned> milliseconds = std::nullopt,
                  const std::function<int(ParallelRun&)>& drive = nullptr) {
    std::vector<std::string_view> listed(names.begin(), names.end());
    Progress progress(true, 0);
    Deadline deadline(Clock::now());
    deadline.Arm(RunKind::kListing, milliseconds ? std::optional<std::chrono::milliseconds>(*milliseconds)
                                                 : std::nullopt);
    ::testing::internal::CaptureStdout();
    {
      ListingOutput output(task_, "Main", static_cast<unsigned>(listed.size()), progress);
      deadline.AnswerWith(output);
      ParallelRun run(task_, listed, output, width, library_, deadline, children);
      status = drive ? drive(run) : run.Run();
    }
    std::fflush(stdout);
    return std::regex_replace(::testing::internal::GetCapturedStdout(), std::regex("\\d\\d:\\d\\d:\\d\\d"),
                              "hh:mm:ss");
  }

  ListingTask task_;
  FakeRfcLibrary library_;
  std::filesystem::path directory_;
};

TEST_F(ParallelRunTest, PrintsInListingOrderWhateverTheChildrenDo) {
  using Log = std::vector<std::string>;
  const std::string summary = "\n\n* hh:mm:ss SAP PoolMetrics now processed...\n";
  struct {
    const char* label;
    std::vector<std::string> names;
    unsigned width;
    std::map<std::string, ScriptedAnswer> answers;
    std::vector<std::string> order;
    std::set<unsigned> failing_starts;
    int status;
    std::string printed;
    Log log;
  } cases[] = {
      {"children finish out of order; a free child takes the next name",
       {"A", "B", "C", "D"},
       2,
       {{"A", {Answers("A", "a\n")}}, {"B", {Answers("B", "b\n")}}, {"C", {Answers("C", "c\n")}},
        {"D", {Answers("D", "d\n", false)}}},
       {"B", "A", "D", "C"},
       {},
       0,
       "\na\n\n* A line State=Processed\nb\n\n* B line State=Processed\nc\n\n* C line State=Processed\n"
       "d\n\n* D line State=Rfc Failure\n\n# (***) Main: NoSystems=4, Processed=3, Failed=1\n" + summary,
       Log{"start 0", "send 0 A", "start 1", "send 1 B", "send 1 C", "send 0 D", "close 0", "close 1"}},
      {"a child that ends without a record failed its system; its place gets a new child",
       {"A", "B", "C"},
       2,
       {{"A", {Answers("A", "")}}, {"B", {Begins("B", "b so far\n"), true}}, {"C", {Answers("C", "")}}},
       {"B", "A", "C"},
       {},
       0,
       "\n\n* A line State=Processed\nb so far\n\n* B line State=Rfc Failure\n\n* C line State=Processed\n" +
           ChannelsOf("C") + "\n# (***) Main: NoSystems=3, Processed=2, Failed=1\n" + summary,
       Log{"start 0", "send 0 A", "start 1", "send 1 B", "drop 1", "start 1", "send 1 C", "close 0", "close 1"}},
      {"a start that fails while others run is tried again once a place frees",
       {"A", "B", "C"},
       3,
       {{"A", {Answers("A", "")}}, {"B", {Answers("B", "")}}, {"C", {Answers("C", "")}}},
       {"A", "C", "B"},
       {1},
       0,
       "\n\n* A line State=Processed\n\n* B line State=Processed\n\n* C line State=Processed\n" +
           ChannelsOf("C") + "\n# (***) Main: NoSystems=3, Processed=3, Failed=0\n" + summary,
       Log{"start 0", "send 0 A", "start 1 failed", "send 0 B", "start 1", "send 1 C", "close 0", "close 1"}},
      {"a start that fails with none running: the parent handles the system",
       {"H.P00", "B"},
       2,
       {{"B", {Answers("B", "b\n")}}},
       {"B"},
       {0},
       0,
       "\n\n* hh:mm:ss H.P00, host, PRD, 00, 100 State=Processed\nb\n\n* B line State=Processed\n" +
           ChannelsOf("B") + "\n# (***) Main: NoSystems=2, Processed=2, Failed=0\n" + summary,
       Log{"start 0 failed", "start 1", "send 1 B", "close 1"}},
      {"an RFC error ends the run at its system: none after it is started",
       {"A", "B", "C", "D"},
       2,
       {{"A", {Answers("A", "a\n")}}, {"B", {Begins("B", "b\n") + ChildErrorRecord(kBlock), true}}},
       {"B", "A"},
       {},
       1,
       "\na\n\n* A line State=Processed\nb\n" + ErrorBlockText(kBlock),
       Log{"start 0", "send 0 A", "start 1", "send 1 B", "drop 1"}},
  };
  for (const auto& c : cases) {
    FakeChildSet children;
    children.answers = c.answers;
    children.order = c.order;
    children.failing_starts = c.failing_starts;
    int status = -1;
    EXPECT_EQ(Run(c.names, c.width, children, status), c.printed) << c.label;
    EXPECT_EQ(status, c.status) << c.label;
    EXPECT_EQ(children.log, c.log) << c.label;
    EXPECT_TRUE(children.order.empty()) << c.label << ": a child never heard its name";
  }
  EXPECT_EQ(library_.log, (std::vector<std::string>{"open PRD host:00", "call PRD", "close PRD"}));
}

// At the deadline the first system not printed is in progress: what its
// child printed so far, then its state line; the names not reached count
// as timeouts. An RFC error its child reported just now is the run's
// outcome instead.
TEST_F(ParallelRunTest, TheDeadlineEndsTheRunAtTheSystemInProgress) {
  FakeChildSet children;
  children.answers = {{"A", {Begins("A", "a so far\n")}}, {"B", {Answers("B", "b\n")}}};
  children.order = {"A", "B"};
  int status = -1;
  EXPECT_EQ(Run({"A", "B", "C"}, 2, children, status, 50),
            "\na so far\n\n* A line State=Timeout\n\n# (***) Main: NoSystems=3, Processed=0, Failed=3, Timeout=3\n"
            "\n\n* hh:mm:ss SAP PoolMetrics now processed...\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(children.log, (std::vector<std::string>{"start 0", "send 0 A", "start 1", "send 1 B", "send 1 C",
                                                    "kill 0"}));

  FakeChildSet erring;
  erring.answers = {{"A", {Begins("A", "a\n") + ChildErrorRecord(kBlock)}}};
  erring.order = {"A"};
  auto deadline_after_a_wait = [&erring](ParallelRun& run) {
    EXPECT_EQ(run.HandOut(), std::nullopt);
    erring.Wait({0}, std::nullopt);  // the record arrives, and the deadline passes before it is collected
    return run.EndAtDeadline();
  };
  EXPECT_EQ(Run({"A", "B"}, 1, erring, status, std::nullopt, deadline_after_a_wait), "\na\n" + ErrorBlockText(kBlock));
  EXPECT_EQ(status, 1);
}

// The child's task travels whole on its command line, through the one
// reader of command lines; anything else there is no task.
TEST(ChildTask, RoundTripThroughTheCommandLine) {
  ChildTask task;
  task.listing.mode = CallerMode::kBrennick;
  task.listing.label_kind = SystemLabelKind::kSid;
  task.listing.sensors = SensorTypesNamedIn("PXA-INFO TOTAL-ROWS");
  task.listing.values.host = "sap:app 2";
  task.listing.values.sysnr = "";
  task.listing.values.channel = 2;
  task.listing.values.run.times = true;
  task.listing.values.run.cache = 55;
  task.listing.values.run.credentials = CredentialSection::kLinux;
  // The values are each process's own: they never travel.
  task.listing.credentials = LogonCredentials{"monitor", "Qz8-Lynx.Env"};
  task.listing.show_progress = true;
  task.listing.profile_directory = "C:\\Sensors \"dir\"\\";
  // Every byte, in a value from a file: none may be lost on the way.
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  for (std::optional<unsigned> left : {std::optional<unsigned>(12345), std::optional<unsigned>()}) {
    task.milliseconds_left = left;
    task.listing.values.host = left ? "sap:app 2" : bytes;
    task.listing.profile_directory = left ? "C:\\Sensors \"dir\"\\" : "\xd0\x9f\xe6\x97\xa5 *?%\\" + bytes;
    std::vector<std::string> args = ChildArguments(task);
    // Nothing a command line could split, quote, expand or convert.
    EXPECT_EQ(args[1].find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.:,=+/#@%"),
              std::string::npos)
        << args[1];
    std::vector<const char*> argv = {"PoolMetrics"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    Request request = ReadCommandLine(static_cast<int>(argv.size()), argv.data());
    ASSERT_TRUE(request.ChildTask);
    std::optional<ChildTask> read = ReadChildTask(*request.ChildTask);
    ASSERT_TRUE(read);
    const ListingTask& l = read->listing;
    EXPECT_EQ(l.mode, task.listing.mode);
    EXPECT_EQ(l.label_kind, task.listing.label_kind);
    EXPECT_EQ(l.sensors, task.listing.sensors);
    EXPECT_EQ(l.values.host, task.listing.values.host);
    EXPECT_EQ(l.values.sysnr, task.listing.values.sysnr);
    EXPECT_EQ(l.values.channel, task.listing.values.channel);
    EXPECT_EQ(l.values.run.times, task.listing.values.run.times);
    EXPECT_EQ(l.values.run.cache, task.listing.values.run.cache);
    EXPECT_EQ(l.values.run.credentials, CredentialSection::kLinux);
    EXPECT_FALSE(l.credentials);
    EXPECT_EQ(args[1].find("Lynx"), std::string::npos);
    EXPECT_EQ(l.show_progress, task.listing.show_progress);
    EXPECT_EQ(l.profile_directory, task.listing.profile_directory);
    EXPECT_EQ(read->milliseconds_left, left);
  }

  task.listing.values.host = "sap:app 2";
  task.listing.profile_directory = "C:\\x*\\";
  std::string good = ChildArguments(task)[1];
  ASSERT_TRUE(ReadChildTask(good));
  auto with = [&good](std::string_view escape, std::string_view instead) {
    std::string text = good;
    return text.replace(text.find(escape), escape.size(), instead);
  };
  for (const std::string& damaged :
       {std::string(), std::string("x"), good + "1:x", good.substr(0, good.size() - 1),
        std::string("6:Other") + good.substr(8),
        // Escapes the parent never writes: the byte itself, a byte that
        // stands for itself, small hex digits, one cut short.
        with("%20", " "), with("%20", "%41"), with("%2A", "%2a"), with("%2A", "*"), good + "%", good + "%0"})
    EXPECT_FALSE(ReadChildTask(damaged)) << damaged;
}

}  // namespace
}  // namespace poolmetrics
