#include "base/device_name.h"

#include <gtest/gtest.h>

#include <string>

#include "base/plain_file_name.h"

namespace poolmetrics {
namespace {

TEST(DeviceName, Rules) {
  struct {
    const char* path;
    bool device;
  } cases[] = {
      // The reserved names, in any case, with or without an extension.
      {"AUX", true},
      {"aux", true},
      {"Con", true},
      {"PRN", true},
      {"NUL", true},
      {"NUL.P00", true},
      {"AUX.P00", true},
      {"nul.tar.gz", true},
      {"COM1", true},
      {"com9.P00", true},
      {"COM0", true},
      {"LPT1", true},
      {"lpt0.txt", true},
      {"CONIN$", true},
      {"conout$.P00", true},
      {"CLOCK$", true},
      {"sub\\clock$.P00", true},
      // Superscript digits: code page 1252 and UTF-8.
      {"COM\xB9", true},
      {"LPT\xB2.P00", true},
      {"COM\xC2\xB3", true},
      // Trailing blanks and dots, a colon, a drive, a directory.
      {"AUX  ", true},
      {"NUL .P00", true},
      {"CON..", true},
      {"sub/NUL.", true},
      {"COM1:", true},
      {"C:NUL", true},
      {"D:\\sub\\AUX.P00", true},
      {"sub/dir/nul", true},
      {"..\\CON", true},
      // The device namespace, whatever follows.
      {"\\\\.\\PhysicalDrive0", true},
      {"\\\\?\\C:\\PRD.P00", true},
      {"//./pipe/x", true},
      {"\\??\\C:\\PRD.P00", true},
      // Ordinary names.
      {"PRD.P00", false},
      {"AUXI.P00", false},
      {"CONSOLE", false},
      {"COM10", false},
      {"COM", false},
      {"LPTX", false},
      {"COM\xB4", false},
      {"COM1X.P00", false},
      {" AUX", false},
      {"AUX\\PRD.P00", false},
      {"AUX.P00\\x", false},
      {"X.NUL", false},
      {"", false},
      {"\\\\server\\share\\PRD.P00", false},
      {"\\\\.x\\PRD.P00", false},
  };
  for (const auto& c : cases) EXPECT_EQ(NamesDevice(c.path), c.device) << c.path;
}

// The names on which the check of the files the program opens and that of
// destinations once disagreed (CLOCK$, a colon after the name, a drive in
// front): one rule now, so a destination, a listed profile and a profile
// opened on Windows are refused alike.
TEST(DeviceName, OneRuleForFilesListingsAndDestinations) {
  struct {
    const char* name;
    bool device;
  } cases[] = {
      {"CLOCK$", true},
      {"clock$.P00", true},
      {"Clock$ .txt", true},
      {"CLOCK$.", true},
      {"NUL.", true},
      {"AUX..", true},
      {"com1. ", true},
      {"NUL:", true},
      {"COM1:x", true},
      {"C:NUL", true},
      {"c:aux.P00", true},
      {"D:CLOCK$", true},
      {"Z:nul .", true},
      // Near misses.
      {"CLOCK", false},
      {"CLOCK$1", false},
      {"NULL.", false},
      {"C:NULL", false},
      {"CC:NUL", false},
      {"C:", false},
      {":NUL", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDeviceName(c.name), c.device) << c.name;
    EXPECT_EQ(NamesDevice(c.name), c.device) << c.name;
    // A device is never a destination; the other names are refused here
    // only for what else they hold (a colon, "..").
    if (c.device) {
      EXPECT_FALSE(IsPlainFileName(c.name)) << c.name;
    }
  }
  EXPECT_TRUE(IsPlainFileName("CLOCK"));
  EXPECT_TRUE(IsPlainFileName("NULL."));
}

}  // namespace
}  // namespace poolmetrics
