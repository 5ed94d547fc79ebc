// The answer store in a folder of the test's own: which cached answers serve,
// the turn of a run that finds none, what Keep keeps and clears away, and
// (natively) the files of a key that are none of the cache folder's own.
#include "run/cache_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "base/content_digest.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace poolmetrics {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kKey = "PRD|host|00|client|user";

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

SystemOutcome Figures() {
  StatisticResult s;
  s.startup_date = "20230102";
  s.rows[1][4].integer = 4711;
  return Answered{std::make_shared<const StatisticResult>(s), {120, 34}};
}

// The text of a cached answer of `key` fetched `age` seconds ago.
std::string AnswerOfAge(std::string_view key, std::int64_t age) {
  return CachedAnswerText(key, CachedAnswer{Figures(), Now() - age, FixedText<9>("10:15:30")});
}

class CacheFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A new folder of its own: other trees may run these tests meanwhile.
    std::random_device random;
    do dir_ = fs::temp_directory_path() / ("answer-store-test-" + std::to_string(random()));
    while (!fs::create_directory(dir_));
    std::string why;
    std::optional<CacheFolder> store = CacheFolder::OpenIn(Folder(), &why);
    ASSERT_TRUE(store) << why;
    store_.emplace(std::move(*store));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // The cache folder's folder, ended by its separator.
  std::string Folder() const { return (dir_ / "store").string() + static_cast<char>(fs::path::preferred_separator); }
  // The file of `key` with `ending`.
  std::string KeyFile(std::string_view key, std::string_view ending) const {
    return Folder() + ContentDigest(key) + std::string(ending);
  }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
  }
  static bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

  // Consults the cache folder for `key` with CACHE=`seconds`; a run that finds no
  // answer holds the turn in `turn_`.
  std::optional<CachedAnswer> Consult(std::string_view key, unsigned seconds = 60) {
    turn_.reset();
    return store_->Consult(std::string(key), seconds, turn_, &unused_);
  }
  // Takes the turn of `key`, keeps `outcome` and ends the turn.
  void KeepAnswer(std::string_view key, const SystemOutcome& outcome, const std::string& trace_file = "") {
    ASSERT_FALSE(Consult(key));
    ASSERT_TRUE(turn_) << unused_;
    turn_->Keep(outcome, trace_file);
    turn_.reset();
  }

  fs::path dir_;
  std::optional<CacheFolder> store_;
  std::optional<CacheFolder::Turn> turn_;
  std::string unused_;
};

// A cached answer serves while it is younger than CACHE=n by this machine's
// clock; a run that it does not serve gets the key's turn.
TEST_F(CacheFolderTest, ServesAnAnswerWithinItsAge) {
  const struct {
    const char* label;
    std::int64_t age;
    bool served;
  } cases[] = {
      {"just fetched", 0, true},          {"within its age", 50, true},        {"at its age", 60, false},
      {"long past its age", 7200, false}, {"dated in the future", -10, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Write(KeyFile(kKey, ".answer"), AnswerOfAge(kKey, c.age));
    std::optional<CachedAnswer> kept = Consult(kKey, 60);
    EXPECT_EQ(unused_, "");
    EXPECT_EQ(kept.has_value(), c.served);
    EXPECT_EQ(turn_.has_value(), !c.served);
    if (!kept) continue;
    EXPECT_EQ(kept->fetched_time, "10:15:30");
    ASSERT_TRUE(std::holds_alternative<Answered>(kept->outcome));
    EXPECT_EQ(std::get<Answered>(kept->outcome).statistic->rows[1][4].integer, 4711);
  }
}

// A file that is not a whole answer of this key is none: the run gets the
// turn, the cache folder stays in use, and the answer it keeps replaces the file.
TEST_F(CacheFolderTest, ADamagedFileIsNoAnswer) {
  std::string whole = AnswerOfAge(kKey, 0);
  std::string damaged = whole;
  damaged[damaged.size() / 2] ^= 1;
  const struct {
    const char* label;
    std::string text;
  } cases[] = {
      {"damaged", damaged},
      {"cut short", whole.substr(0, whole.size() - 1)},
      {"empty", ""},
      {"of another key", AnswerOfAge("another key", 0)},
      {"larger than any answer", whole + std::string(300 * 1024, 'x')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Write(KeyFile(kKey, ".answer"), c.text);
    EXPECT_FALSE(Consult(kKey));
    EXPECT_EQ(unused_, "");
    ASSERT_TRUE(turn_);
    turn_->Keep(Figures(), "");
    turn_.reset();
    EXPECT_TRUE(Consult(kKey)) << "kept in its place";
  }
}

// The first run of a key holds its turn, with its temporary file made
// before the logon; Keep puts the answer in place, and the next run is
// served from it without a turn.
TEST_F(CacheFolderTest, KeepServesTheNextRun) {
  EXPECT_FALSE(Consult(kKey));
  EXPECT_EQ(unused_, "");
  ASSERT_TRUE(turn_);
  EXPECT_TRUE(Exists(KeyFile(kKey, ".tmp")));
  EXPECT_TRUE(Exists(KeyFile(kKey, ".lock")));
  std::int64_t before = Now();
  turn_->Keep(Figures(), "");
  std::int64_t after = Now();
  EXPECT_FALSE(Exists(KeyFile(kKey, ".tmp")));
  EXPECT_TRUE(Exists(KeyFile(kKey, ".answer")));
  turn_.reset();

  std::optional<CachedAnswer> kept = Consult(kKey);
  ASSERT_TRUE(kept);
  EXPECT_FALSE(turn_);
  EXPECT_EQ(unused_, "");
  EXPECT_GE(kept->fetched, before);
  EXPECT_LE(kept->fetched, after);
  ASSERT_TRUE(std::holds_alternative<Answered>(kept->outcome));
  EXPECT_EQ(std::get<Answered>(kept->outcome).statistic->rows[1][4].integer, 4711);
  EXPECT_FALSE(Consult("another key")) << "one key's answer serves no other";
}

// A run that ends without keeping anything (a deadline, a fault of its own)
// leaves no temporary file and no answer.
TEST_F(CacheFolderTest, ATurnWithoutKeepLeavesNoTemporaryFile) {
  EXPECT_FALSE(Consult(kKey));
  ASSERT_TRUE(turn_);
  ASSERT_TRUE(Exists(KeyFile(kKey, ".tmp")));
  turn_.reset();
  EXPECT_FALSE(Exists(KeyFile(kKey, ".tmp")));
  EXPECT_FALSE(Exists(KeyFile(kKey, ".answer")));
  EXPECT_FALSE(Consult(kKey));
  EXPECT_TRUE(turn_) << "the next run gets the turn";
}

// Only what SAP or the network answered is kept; whatever Keep is given,
// the turn leaves no temporary file.
TEST_F(CacheFolderTest, KeepsOnlyCacheableOutcomes) {
  const struct {
    const char* label;
    SystemOutcome outcome;
    bool kept;
  } cases[] = {
      {"answered", Figures(), true},
      {"failed call", CallFailed{{CallFailureKind::kException, "NO_DATA", std::nullopt}, {1, 2}, " - hint"}, true},
      {"logon refused by SAP", LogonRefused{"RFC_ERROR_LOGON_FAILURE: Name or password is incorrect"}, true},
      {"logon refused on this side", LogonRefused{"no memory", true}, false},
      {"not tried", NotTried{true}, false},
      {"RFC error block", ErrorBlock{"RfcCall", "KEY", "status", "message", "intstat"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    KeepAnswer(c.label, c.outcome);
    EXPECT_EQ(Exists(KeyFile(c.label, ".answer")), c.kept);
    EXPECT_FALSE(Exists(KeyFile(c.label, ".tmp")));
    std::optional<CachedAnswer> kept = Consult(c.label);
    ASSERT_EQ(kept.has_value(), c.kept);
    if (kept) {
      EXPECT_EQ(kept->outcome.index(), c.outcome.index());
    }
  }
}

// A failed call without a hint keeps the trace file's hint as Keep reads it,
// so that the runs it serves name what the fetching run's trace file said.
TEST_F(CacheFolderTest, AFailedCallKeepsTheTraceFilesHint) {
  std::string trace = (dir_ / "Dev_Rfc.Trc").string();
  Write(trace, "ERROR       partner not reached\n");
  const struct {
    const char* label;
    std::string trace_file;
    const char* hint;
  } cases[] = {
      {"trace file", trace, " - partner not reached"},
      {"no trace file", (dir_ / "missing.trc").string(), " - Look for Trace-File"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    KeepAnswer(c.label, CallFailed{{CallFailureKind::kException, "NO_DATA", std::nullopt}, {1, 2}, std::nullopt},
               c.trace_file);
    std::optional<CachedAnswer> kept = Consult(c.label);
    ASSERT_TRUE(kept);
    ASSERT_TRUE(std::holds_alternative<CallFailed>(kept->outcome));
    EXPECT_EQ(std::get<CallFailed>(kept->outcome).trace_hint.value_or("(none)"), c.hint);
  }
}

// A Keep clears away the answer and temporary files older than their life
// (of any key); younger ones, lock files and other files stay.
TEST_F(CacheFolderTest, KeepRemovesOldAnswerAndTemporaryFiles) {
  const struct {
    const char* name;
    long age;
    bool stays;
  } files[] = {
      {"0123456789abcdef.answer", kCachedFileLifeSeconds + 60, false},
      {"fedcba9876543210.tmp", kCachedFileLifeSeconds + 60, false},
      {"00000000aaaaaaaa.answer", kCachedFileLifeSeconds - 60, true},
      {"00000000bbbbbbbb.tmp", kCachedFileLifeSeconds - 60, true},
      {"00000000cccccccc.lock", kCachedFileLifeSeconds + 60, true},
      {"notes.txt", kCachedFileLifeSeconds + 60, true},
  };
  for (const auto& f : files) {
    std::string path = Folder() + f.name;
    Write(path, "left by an earlier run");
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(f.age));
  }
  KeepAnswer(kKey, Figures());
  for (const auto& f : files) EXPECT_EQ(Exists(Folder() + f.name), f.stays) << f.name;
  EXPECT_TRUE(Exists(KeyFile(kKey, ".answer")));
}

#ifndef _WIN32

// The cache folder's folder is made for its owner alone, and a folder that others
// could change is not used.
TEST_F(CacheFolderTest, OpensOnlyAPrivateFolder) {
  struct stat info;
  ASSERT_EQ(stat((dir_ / "store").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  const struct {
    const char* label;
    const char* why;
  } cases[] = {
      {"writable by others", "is writable by others"},
      {"link", "is a link"},
      {"plain file", "is no folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string path = (dir_ / c.label).string();
    std::string label = c.label;
    int made = 0;
    if (label == "writable by others") made = mkdir(path.c_str(), 0700) | chmod(path.c_str(), 0777);
    if (label == "link") made = symlink((dir_ / "store").c_str(), path.c_str());
    if (label == "plain file") Write(path, "");
    ASSERT_EQ(made, 0);
    std::string why;
    EXPECT_FALSE(CacheFolder::OpenIn(path + "/", &why));
    EXPECT_EQ(why, c.why);
  }
}

// A key's file that is none of the cache folder's own plain files is left alone:
// no answer, no turn, and `unused` names the file and what it is.
TEST_F(CacheFolderTest, AForeignFileLeavesTheStoreUnused) {
  const struct {
    const char* ending;
    const char* kind;
    const char* fault;
  } cases[] = {
      {".answer", "link", "is a link"},        {".answer", "hard link", "is a hard link"},
      {".answer", "fifo", "is no plain file"}, {".lock", "link", "is a link"},
      {".lock", "dangling link", "is a link"}, {".lock", "hard link", "is a hard link"},
      {".lock", "folder", "is no plain file"}, {".tmp", "link", "is a link"},
      {".tmp", "dangling link", "is a link"},  {".tmp", "hard link", "is a hard link"},
      {".tmp", "fifo", "is no plain file"},
  };
  std::string target = (dir_ / "outside").string();
  std::string nowhere = (dir_ / "nowhere").string();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " at " + c.ending);
    std::string key = std::string(c.kind) + c.ending;
    std::string path = KeyFile(key, c.ending);
    // What a link reaches: a fresh answer of the key, never served.
    std::string answer = AnswerOfAge(key, 0);
    Write(target, answer);
    std::string kind = c.kind;
    int made = -1;
    if (kind == "link") made = symlink(target.c_str(), path.c_str());
    if (kind == "dangling link") made = symlink(nowhere.c_str(), path.c_str());
    if (kind == "hard link") made = link(target.c_str(), path.c_str());
    if (kind == "fifo") made = mkfifo(path.c_str(), 0600);
    if (kind == "folder") made = mkdir(path.c_str(), 0700);
    ASSERT_EQ(made, 0);

    EXPECT_FALSE(Consult(key));
    EXPECT_FALSE(turn_);
    EXPECT_EQ(unused_, "its file " + ContentDigest(key) + c.ending + " " + c.fault);
    EXPECT_TRUE(Exists(path)) << "left alone";
    EXPECT_EQ(Read(target), answer) << "what it reaches is left alone";
    EXPECT_FALSE(Exists(nowhere)) << "made through the link";
    if (std::string(c.ending) != ".tmp") {
      EXPECT_FALSE(Exists(KeyFile(key, ".tmp")));
    }
  }
}

// Runs of one key wait for the run that holds its turn and are then served
// what it kept. (The lock is a process's, so the waiting run is a child.)
TEST_F(CacheFolderTest, AWaitingRunIsServedWhatTheTurnKept) {
  EXPECT_FALSE(Consult(kKey));
  ASSERT_TRUE(turn_);
  int told[2];
  ASSERT_EQ(pipe(told), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(told[0]);
    std::optional<CacheFolder::Turn> turn;
    std::string unused;
    std::optional<CachedAnswer> kept =
        store_->Consult(std::string(kKey), 60, turn, &unused, [&] { (void)!write(told[1], "w", 1); });
    _exit(kept && std::holds_alternative<Answered>(kept->outcome) ? 0 : 1);
  }
  close(told[1]);
  char c = 0;
  EXPECT_EQ(read(told[0], &c, 1), 1) << "the child was told before it waited";
  close(told[0]);
  turn_->Keep(Figures(), "");
  turn_.reset();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "served what the turn kept";
}

#endif  // _WIN32

}  // namespace
}  // namespace poolmetrics
