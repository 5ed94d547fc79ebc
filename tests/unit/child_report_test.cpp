#include "global/child_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace poolmetrics {
namespace {

ListedSystem Answering() {
  auto figures = std::make_shared<StatisticResult>();
  figures->startup_date = "20230102";
  figures->rows[static_cast<std::size_t>(RowParameter::kPxaInfo)][0].integer = -5;
  return {ListedProfile{"* 10:00:00 PRD.P00, host, PRD, 00, 100", "PRD", "PRD", true}, Answered{figures, {12, 34}}};
}

// Every outcome a child can report comes back as it was: what the record
// of the one read back holds is the record it was read from.
TEST(ChildReport, EveryOutcomeComesBackWhole) {
  ListedProfile invalid{"* line", "label", "QAS", false};
  struct {
    const char* label;
    ListedSystem system;
  } cases[] = {
      {"answered", Answering()},
      {"call failed", {invalid, CallFailed{{CallFailureKind::kException, "NO_DATA", "said"}, {1, 2}, "hint"}}},
      {"logon refused", {invalid, LogonRefused{"RFC_ERROR_LOGON_FAILURE: no", false}}},
      {"logon refused here", {invalid, LogonRefused{"SapRfc.QAS could not be copied", true}}},
      {"not tried: the mode", {invalid, NotTried{true}}},
      {"no profile", {}},
  };
  for (const auto& c : cases) {
    std::string record = ChildRecord(c.system);
    ChildReport report = ReadChildReport(record);
    ASSERT_TRUE(report.system) << c.label;
    EXPECT_EQ(report.system->outcome.index(), c.system.outcome.index()) << c.label;
    EXPECT_EQ(report.system->profile.has_value(), c.system.profile.has_value()) << c.label;
    EXPECT_EQ(ChildRecord(*report.system), record) << c.label;
  }
  ChildReport answered = ReadChildReport(ChildRecord(Answering()));
  const auto& figures = std::get<Answered>(answered.system->outcome);
  EXPECT_EQ(figures.statistic->rows[static_cast<std::size_t>(RowParameter::kPxaInfo)][0].integer, -5);
  EXPECT_EQ(figures.times.call_ms, 34u);
  EXPECT_EQ(answered.system->profile->destination, "PRD");
}

// What a child prints between its header and its record can be anything
// the RFC library writes, marks of the format included.
TEST(ChildReport, HeaderPrintedTextAndRecordComeBackApart) {
  ListedSystem system = Answering();
  std::string header = ChildHeader(system.profile->line, system.profile->label);
  std::string record = ChildRecord(system);
  struct {
    const char* label;
    std::string printed;
  } cases[] = {
      {"nothing printed", ""},
      {"the destination-file line", "* SapRfc.Ini.......: PRD<\n"},
      {"the format's own marks", header + record + "\x1ePoolMetrics outcome 0000000"},
      {"binary bytes", std::string("\0\xff\r\n:12:", 8)},
  };
  for (const auto& c : cases) {
    ChildReport report = ReadChildReport(header + c.printed + record);
    EXPECT_EQ(report.line.value_or("none"), system.profile->line) << c.label;
    EXPECT_EQ(report.label.value_or("none"), system.profile->label) << c.label;
    EXPECT_EQ(report.printed, c.printed) << c.label;
    ASSERT_TRUE(report.system) << c.label;
    EXPECT_EQ(ChildRecord(*report.system), record) << c.label;
  }
}

TEST(ChildReport, WhatAChildThatDidNotFinishLeaves) {
  ListedSystem system = Answering();
  std::string header = ChildHeader(system.profile->line, system.profile->label);
  std::string record = ChildRecord(system);
  std::string block = "RFC error\noperation/code  : RfcReceive\n";
  struct {
    const char* label;
    std::string output;
    bool line, finished;
    std::string printed;
  } cases[] = {
      {"nothing yet", "", false, false, ""},
      {"part of the header: not yet told", header.substr(0, header.size() - 3), false, false,
       header.substr(0, header.size() - 3)},
      {"the header, then the logon hangs", header + "* SapRfc.Ini.......: PRD<\n", true, false,
       "* SapRfc.Ini.......: PRD<\n"},
      {"ended by the error handler: the block is printed", header + block, true, false, block},
      {"no profile read: the record alone", ChildRecord(ListedSystem{}), false, true, ""},
      {"a record cut short is printed text", header + record.substr(1), true, false, record.substr(1)},
  };
  for (const auto& c : cases) {
    ChildReport report = ReadChildReport(c.output);
    EXPECT_EQ(report.line.has_value(), c.line) << c.label;
    EXPECT_EQ(report.system.has_value(), c.finished) << c.label;
    EXPECT_EQ(report.printed, c.printed) << c.label;
  }
}

// An RFC error that ends a child comes back as its block, never as a
// system's outcome.
TEST(ChildReport, AnErrorRecordIsTheBlock) {
  ErrorBlock sent{"RfcReceive", "RFC_ERROR_COMMUNICATION", "3", "partner not reached", "4"};
  ChildReport report = ReadChildReport(ChildHeader("* line", "PRD") + "printed\n" + ChildErrorRecord(sent));
  ASSERT_TRUE(report.block);
  EXPECT_FALSE(report.system);
  EXPECT_EQ(report.block->message, "partner not reached");
  EXPECT_EQ(report.block->internal_status, "4");
  EXPECT_EQ(report.printed, "printed\n");
}

}  // namespace
}  // namespace poolmetrics
