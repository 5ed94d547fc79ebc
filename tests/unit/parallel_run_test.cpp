#include "global/listing_schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "global/child_report.h"
#include "global/child_task.h"
#include "run/command_line.h"

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
