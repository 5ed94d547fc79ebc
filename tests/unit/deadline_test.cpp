#include "run/deadline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/console.h"

namespace poolmetrics {
namespace {

TEST(Deadline, PrtgModesAnswerBeforePrtgsDefaultTimeoutLineModesWait) {
  struct {
    CallerMode mode;
    std::optional<unsigned> timeout;
    int seconds;  // -1: none
  } cases[] = {
      {CallerMode::kExeXml, std::nullopt, 50},  {CallerMode::kHoldrun, std::nullopt, 50},
      {CallerMode::kVarnock, std::nullopt, 50}, {CallerMode::kBrennick, std::nullopt, -1},
      {CallerMode::kQuillon, std::nullopt, -1}, {CallerMode::kExeXml, 5u, 5},
      {CallerMode::kQuillon, 900u, 900},
  };
  for (const auto& c : cases) {
    std::optional<unsigned> seconds = RunTimeoutSeconds(c.timeout, c.mode);
    EXPECT_EQ(seconds ? static_cast<int>(*seconds) : -1, c.seconds) << CallerModeName(c.mode);
  }
}

// Armed once: the first limit counts, from the run's start.
TEST(Deadline, ArmedOnceFromTheStart) {
  Clock::time_point start = Clock::now();
  Deadline deadline(start);
  deadline.Arm(30);
  deadline.Arm(5);
  ASSERT_TRUE(deadline.when());
  EXPECT_EQ(*deadline.when(), start + std::chrono::seconds(30));
  EXPECT_EQ(deadline.seconds(), 30u);
  Deadline none(start);
  none.Arm(std::nullopt);
  none.Arm(5);
  EXPECT_FALSE(none.when());
}

TEST(Deadline, MessageNamesTheStepAndTheSystem) {
  EXPECT_EQ(DeadlineMessage(2, QueryStep::kLogon, "PRD"), "Error 1033: Timeout after 2 s in the logon to PRD...");
  EXPECT_EQ(DeadlineMessage(50, QueryStep::kCall, "QAS"), "Error 1033: Timeout after 50 s in the call to QAS...");
  EXPECT_EQ(DeadlineMessage(5, QueryStep::kBeforeLogon, "DEV"),
            "Error 1033: Timeout after 5 s before the logon to DEV...");
}

class LastWords final : public DeadlineHandler {
 public:
  int WriteLastWords() override {
    Print("last words\n");
    return 7;
  }
};

// The watchdog ends the process with the handler's status and text, from
// its own thread, while the main thread is busy elsewhere; settled, it lets
// the run end by itself.
TEST(DeadlineDeathTest, TheWatchdogEndsTheRunUnlessItSettled) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static LastWords words;
        static Deadline deadline(Clock::now());
        deadline.ArmMilliseconds(50);
        DeadlineWatch watch(deadline, words);
        for (;;) watchdog_platform::SleepMilliseconds(1000);
      },
      ::testing::ExitedWithCode(7), "");
  EXPECT_EXIT(
      {
        static LastWords words;
        static Deadline deadline(Clock::now());
        deadline.ArmMilliseconds(50);
        { DeadlineWatch watch(deadline, words); }
        watchdog_platform::SleepMilliseconds(300);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

// A watch made once the deadline has passed answers before its step can
// begin, without waiting for a watchdog thread to notice.
TEST(DeadlineDeathTest, AWatchAfterTheDeadlineAnswersAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static LastWords words;
        static Deadline deadline(Clock::now() - std::chrono::seconds(1));
        deadline.ArmMilliseconds(10);
        DeadlineWatch watch(deadline, words);
        std::_Exit(3);  // the step
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace poolmetrics
