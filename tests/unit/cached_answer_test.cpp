#include "run/cached_answer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/content_digest.h"
#include "rfc/destination_entries.h"

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
TEST(CachedAnswer, FileRoundTrip) {
  CachedAnswer answered{Answered{std::make_shared<const StatisticResult>(Figures()), {120, 34}}, 1700000000, FixedText<9>("10:15:30")};
  CachedAnswer failed{CallFailed{{CallFailureKind::kException, "NO_DATA", std::nullopt}, {1, 2}, " - Look for Trace-File"},
                    1700000001, FixedText<9>("10:15:31")};
  CachedAnswer refused{LogonRefused{"RFC_ERROR_LOGON_FAILURE: Name or password is incorrect"}, 1700000002,
                     FixedText<9>("10:15:32")};
  for (const CachedAnswer* answer : {&answered, &failed, &refused}) {
    std::string text = CachedAnswerText("key", *answer);
    std::optional<CachedAnswer> read = ReadCachedAnswer(text, "key");
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(read->outcome.index(), answer->outcome.index());
    EXPECT_EQ(read->fetched, answer->fetched);
    EXPECT_EQ(read->fetched_time, answer->fetched_time.view());
    EXPECT_EQ(CachedAnswerText("key", *read), text) << "read back whole";
    EXPECT_FALSE(ReadCachedAnswer(text, "other key"));
    for (std::size_t cut = 0; cut < text.size(); cut += 7)
      EXPECT_FALSE(ReadCachedAnswer(text.substr(0, cut), "key")) << "cut at " << cut;
  }
  std::optional<CachedAnswer> read_failed = ReadCachedAnswer(CachedAnswerText("k", failed), "k");
  ASSERT_TRUE(read_failed);
  const auto& f = std::get<CallFailed>(read_failed->outcome);
  EXPECT_EQ(f.failure.exception, "NO_DATA");
  EXPECT_EQ(f.trace_hint.value_or(""), " - Look for Trace-File");
  std::optional<CachedAnswer> read_refused = ReadCachedAnswer(CachedAnswerText("k", refused), "k");
  ASSERT_TRUE(read_refused);
  EXPECT_EQ(std::get<LogonRefused>(read_refused->outcome).reason,
            "RFC_ERROR_LOGON_FAILURE: Name or password is incorrect");
  std::optional<CachedAnswer> read_answered = ReadCachedAnswer(CachedAnswerText("k", answered), "k");
  ASSERT_TRUE(read_answered);
  const auto& a = std::get<Answered>(read_answered->outcome);
  EXPECT_EQ(a.statistic->rows[0][2].packed.digits, "000000012345678");
  EXPECT_TRUE(a.statistic->rows[0][2].packed.negative);
  EXPECT_EQ(a.statistic->rows[1][4].integer, -2147483647);
  EXPECT_EQ(a.times.logon_ms, 120u);
}

// Whatever byte of a cached answer changes, to whatever value, the file is
// refused as a whole: no change serves another document.
TEST(CachedAnswer, EveryChangedByteIsRefused) {
  // Figures in every field, as a busy system's answer has them.
  StatisticResult figures = Figures();
  for (auto& row : figures.rows)
    for (std::size_t i = 0; i < row.size(); ++i) {
      row[i].integer = 1234567 + static_cast<std::int32_t>(i);
      row[i].packed.digits = "000000012345678";
    }
  CachedAnswer answered{Answered{std::make_shared<const StatisticResult>(figures), {120, 34}}, 1700000000,
                      FixedText<9>("10:15:30")};
  CachedAnswer failed{CallFailed{{CallFailureKind::kException, "NO_DATA", "the library's word"}, {1, 2}, ""},
                    1700000001, FixedText<9>("10:15:31")};
  CachedAnswer refused{LogonRefused{"RFC_ERROR_COMMUNICATION: partner 'nohost:sapgw07' not reached"}, 1700000002,
                     FixedText<9>("10:15:32")};
  for (const CachedAnswer* answer : {&answered, &failed, &refused}) {
    const std::string key = CacheKey({"PRD", "100", "MONITOR", "", "E", "R/3", "prdhost", "00", "", ""}, "3:abc");
    const std::string text = CachedAnswerText(key, *answer);
    ASSERT_TRUE(ReadCachedAnswer(text, key));
    for (std::size_t at = 0; at < text.size(); ++at) {
      const unsigned char byte = static_cast<unsigned char>(text[at]);
      // A digit one up, a bit of each place flipped, and the byte gone.
      std::string changes[10];
      for (int bit = 0; bit < 8; ++bit) changes[bit] = text, changes[bit][at] = static_cast<char>(byte ^ (1u << bit));
      changes[8] = text, changes[8][at] = (byte >= '0' && byte <= '9') ? static_cast<char>('0' + (byte - '0' + 1) % 10)
                                                                        : static_cast<char>(byte + 1);
      changes[9] = text.substr(0, at) + text.substr(at + 1);
      for (const std::string& changed : changes) {
        ASSERT_FALSE(ReadCachedAnswer(changed, key)) << "byte " << at << " of " << text.size() << " changed";
      }
    }
  }
}

// Only what the SAP system or the network gave is kept; what the key holds
// is the logon, never its password.
TEST(CachedAnswer, WhatIsKeptAndTheKey) {
  const struct {
    const char* label;
    SystemOutcome outcome;
    bool keepable;
  } kCases[] = {
      {"refused by SAP", LogonRefused{"RFC_ERROR_LOGON_FAILURE: Name or password is incorrect"}, true},
      {"host not reached", LogonRefused{"RFC_ERROR_COMMUNICATION: partner not reached"}, true},
      {"a fault of this side", LogonRefused{"SapRfc.QAS could not be copied", true}, false},
      {"a failed call", CallFailed{}, true},
      {"no logon tried", NotTried{}, false},
      {"an error block", ErrorBlock{}, false},
  };
  for (const auto& c : kCases) EXPECT_EQ(Cacheable(c.outcome), c.keepable) << c.label;
  LogonDescription logon{"PRD", "100", "MONITOR", "secret1", "E", "R/3", "prdhost", "00", "gw", "sapgw00"};
  std::string key = CacheKey(logon);
  EXPECT_EQ(key.find("secret1"), std::string::npos);
  LogonDescription other_password = logon;
  other_password.password = "changed";
  EXPECT_EQ(CacheKey(other_password), key);
  // Each part tells two logons apart, also where a value's end moves.
  LogonDescription moved = logon;
  moved.destination = "PRD1";
  moved.client = "00";
  EXPECT_NE(CacheKey(moved), key);
  // The destination entries decide the system as much as the profile does.
  EXPECT_NE(CacheKey(logon, "1:-1:-1:-"), CacheKey(logon, "16:0123456789abcdef1:-1:-"));
}

// The destination entries either library could read: the classic
// SapRfc.<dest>, and sapnwrfc.ini beside the program and in the working
// directory. Any change to any of them gives another state; the same files
// in two folders the same state; no file's text shows in it.
TEST(CachedAnswer, DestinationEntries) {
  namespace fs = std::filesystem;
  const fs::path home = fs::current_path();
  const fs::path folder = fs::temp_directory_path() /
                          ("pm-entries-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(folder);
  for (const char* sub : {"A", "B", "bin"}) fs::create_directories(folder / sub);
  const std::string beside = (folder / "bin").string() + "/";
  auto write = [](const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; };
  auto state_in = [&](const char* sub) {
    fs::current_path(folder / sub);
    std::string state = DestinationEntries("PRD", beside);
    fs::current_path(home);
    return state;
  };
  const std::string bare = state_in("A");
  EXPECT_EQ(state_in("B"), bare);
  const struct {
    const char* label;
    const char* file;  // in folder A, or beside the program
    std::string text;
  } kChanges[] = {
      {"SapRfc.PRD", "A/SapRfc.PRD", "DEST=PRD\r\nTYPE=A\r\nASHOST=sapprd02\r\nSYSNR=00\r\n"},
      {"SapRfc.PRD, another host", "A/SapRfc.PRD", "DEST=PRD\r\nTYPE=A\r\nASHOST=sapprd03\r\nSYSNR=00\r\n"},
      {"SapRfc.PRD, empty", "A/SapRfc.PRD", ""},
      {"sapnwrfc.ini in the working directory", "A/sapnwrfc.ini", "DEST=PRD\nASHOST=sapprd02\nPASSWD=secret1\n"},
      {"sapnwrfc.ini beside the program", "bin/sapnwrfc.ini", "DEST=PRD\nASHOST=sapprd02\nSYSNR=00\n"},
  };
  std::vector<std::string> seen{bare};
  for (const auto& c : kChanges) {
    write(folder / c.file, c.text);
    std::string state = state_in("A");
    for (const std::string& before : seen) EXPECT_NE(state, before) << c.label;
    EXPECT_EQ(state.find("sapprd"), std::string::npos) << c.label;
    EXPECT_EQ(state.find("secret1"), std::string::npos) << c.label;
    seen.push_back(state);
  }
  // Folder B with the same files as A: the same state.
  fs::copy_file(folder / "A/SapRfc.PRD", folder / "B/SapRfc.PRD");
  fs::copy_file(folder / "A/sapnwrfc.ini", folder / "B/sapnwrfc.ini");
  EXPECT_EQ(state_in("B"), seen.back());
  // Another destination's file is none of PRD's.
  fs::rename(folder / "A/SapRfc.PRD", folder / "A/SapRfc.QAS");
  EXPECT_NE(state_in("A"), seen.back());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace poolmetrics
