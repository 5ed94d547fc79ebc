#include "run/kept_answer.h"

#include <gtest/gtest.h>

namespace poolmetrics {
namespace {

StatisticResult Figures() {
  StatisticResult s;
  s.startup_date = "20230102";
  s.startup_time = "101530";
  s.rfc_error = "none";
  s.number_of_tables = -7;
  s.rows[1][4].integer = -2147483647;  // EXTENDED_MEMORY_USAGE.QUOTA_DIA, an INT
  s.rows[0][2].packed.negative = true;  // DB_ACCESSES.INSERT, packed
  s.rows[0][2].packed.digits = "000000012345678";
  s.row_counts[9] = 42;
  return s;
}

// Every answer that runs may share comes back from its file as it went in;
// the key is checked inside the file.
TEST(KeptAnswer, FileRoundTrip) {
  KeptAnswer answered{Answered{std::make_shared<const StatisticResult>(Figures()), {120, 34}}, 1700000000, FixedText<9>("10:15:30")};
  KeptAnswer failed{CallFailed{{CallFailureKind::kException, "NO_DATA", std::nullopt}, {1, 2}, " - Look for Trace-File"},
                    1700000001, FixedText<9>("10:15:31")};
  KeptAnswer refused{LogonRefused{"RFC_ERROR_LOGON_FAILURE: Name or password is incorrect"}, 1700000002,
                     FixedText<9>("10:15:32")};
  for (const KeptAnswer* answer : {&answered, &failed, &refused}) {
    std::string text = AnswerFileText("key", *answer);
    std::optional<KeptAnswer> read = ReadAnswerFile(text, "key");
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(read->outcome.index(), answer->outcome.index());
    EXPECT_EQ(read->fetched, answer->fetched);
    EXPECT_EQ(read->fetched_time, answer->fetched_time.view());
    EXPECT_EQ(AnswerFileText("key", *read), text) << "read back whole";
    EXPECT_FALSE(ReadAnswerFile(text, "other key"));
    for (std::size_t cut = 0; cut < text.size(); cut += 7)
      EXPECT_FALSE(ReadAnswerFile(text.substr(0, cut), "key")) << "cut at " << cut;
  }
  std::optional<KeptAnswer> read_failed = ReadAnswerFile(AnswerFileText("k", failed), "k");
  ASSERT_TRUE(read_failed);
  const auto& f = std::get<CallFailed>(read_failed->outcome);
  EXPECT_EQ(f.failure.exception, "NO_DATA");
  EXPECT_EQ(f.trace_hint.value_or(""), " - Look for Trace-File");
  std::optional<KeptAnswer> read_refused = ReadAnswerFile(AnswerFileText("k", refused), "k");
  ASSERT_TRUE(read_refused);
  EXPECT_EQ(std::get<LogonRefused>(read_refused->outcome).reason,
            "RFC_ERROR_LOGON_FAILURE: Name or password is incorrect");
  std::optional<KeptAnswer> read_answered = ReadAnswerFile(AnswerFileText("k", answered), "k");
  ASSERT_TRUE(read_answered);
  const auto& a = std::get<Answered>(read_answered->outcome);
  EXPECT_EQ(a.statistic->rows[0][2].packed.digits, "000000012345678");
  EXPECT_TRUE(a.statistic->rows[0][2].packed.negative);
  EXPECT_EQ(a.statistic->rows[1][4].integer, -2147483647);
  EXPECT_EQ(a.times.logon_ms, 120u);
}

// Only what the SAP system gave is kept; what the key holds is the logon,
// never its password.
TEST(KeptAnswer, WhatIsKeptAndTheKey) {
  EXPECT_TRUE(Keepable(LogonRefused{}));
  EXPECT_FALSE(Keepable(NotTried{}));
  EXPECT_FALSE(Keepable(ErrorBlock{}));
  LogonDescription logon{"PRD", "100", "MONITOR", "secret1", "E", "R/3", "prdhost", "00", "gw", "sapgw00"};
  std::string key = AnswerKey(logon);
  EXPECT_EQ(key.find("secret1"), std::string::npos);
  LogonDescription other_password = logon;
  other_password.password = "changed";
  EXPECT_EQ(AnswerKey(other_password), key);
  // Each part tells two logons apart, also where a value's end moves.
  LogonDescription moved = logon;
  moved.destination = "PRD1";
  moved.client = "00";
  EXPECT_NE(AnswerKey(moved), key);
}

}  // namespace
}  // namespace poolmetrics
