// The store's own files natively: what a link, a hard link, a FIFO or a
// leftover at a name does to reading, creating and removing it.
#include "base/own_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace poolmetrics {
namespace {

class OwnFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/own-file-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    target_ = dir_ + "/outside";
    Write(target_, "precious");
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
  static std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }
  std::string At(const char* name) const { return dir_ + "/" + name; }
  // Puts a `kind` of file at `path`.
  void Plant(const std::string& kind, const std::string& path) const {
    int made = -1;
    if (kind == "link") made = symlink(target_.c_str(), path.c_str());
    if (kind == "dangling link") made = symlink((dir_ + "/nowhere").c_str(), path.c_str());
    if (kind == "hard link") made = link(target_.c_str(), path.c_str());
    if (kind == "fifo") made = mkfifo(path.c_str(), 0600);
    if (kind == "folder") made = mkdir(path.c_str(), 0700);
    ASSERT_EQ(made, 0) << kind;
  }

  std::string dir_;
  std::string target_;
};

const struct {
  const char* kind;
  const char* why;
} kForeign[] = {
    {"link", "is a link"},           {"dangling link", "is a link"}, {"hard link", "is a hard link"},
    {"fifo", "is no plain file"},    {"folder", "is no plain file"},
};

TEST_F(OwnFileTest, ForeignFilesAreLeftAloneAndSaySo) {
  for (const auto& c : kForeign) {
    SCOPED_TRACE(c.kind);
    std::string path = At(c.kind);
    Plant(c.kind, path);
    std::string why;
    EXPECT_FALSE(OpenOwnFile(path, &why));
    EXPECT_EQ(why, c.why);
    EXPECT_FALSE(CreateOwnFile(path, &why));
    EXPECT_EQ(why, c.why);
    RemoveOwnFile(path);
    struct stat info;
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << "removed";
    EXPECT_EQ(Read(target_), "precious");
    EXPECT_NE(access((dir_ + "/nowhere").c_str(), F_OK), 0) << "made through the link";
  }
}

TEST_F(OwnFileTest, OwnFilesAreReadReplacedAndRemoved) {
  std::string why = "stale";
  EXPECT_FALSE(OpenOwnFile(At("missing"), &why));
  EXPECT_EQ(why, "") << "nothing of that name is no fault";

  // A leftover of a run that ended half-way is replaced by a new file, 0600.
  std::string path = At("leftover.tmp");
  Write(path, "half an answer");
  File made = CreateOwnFile(path, &why);
  ASSERT_TRUE(made);
  EXPECT_EQ(why, "");
  std::fputs("whole", made.get());
  made.reset();
  EXPECT_EQ(Read(path), "whole");
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_TRUE(OpenOwnFile(path, &why));

  RemoveOwnFile(path, 3600);
  EXPECT_EQ(access(path.c_str(), F_OK), 0) << "younger than the limit";
  RemoveOwnFile(path);
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

TEST_F(OwnFileTest, AnotherUsersFileIsNotUsed) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  std::string path = At("foreign.answer");
  Write(path, "an answer");
  ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  std::string why;
  EXPECT_FALSE(OpenOwnFile(path, &why));
  EXPECT_EQ(why, "belongs to another user");
  RemoveOwnFile(path);
  EXPECT_EQ(Read(path), "an answer");
}

}  // namespace
}  // namespace poolmetrics
