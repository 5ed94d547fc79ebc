#include "profile/listed_name.h"

#include <gtest/gtest.h>

namespace poolmetrics {
namespace {

TEST(ListedName, StaysInProfileDirectory) {
  struct {
    const char* name;
    bool stays;
  } cases[] = {
      {"PRD.P00", true},
      {"sub\\PRD.P00", true},
      {"sub/PRD.P00", true},
      {"a\\b/c\\PRD.P00", true},
      {".\\PRD.P00", true},
      {"PRD..P00", true},
      {"..PRD.P00", true},
      {"sub..\\PRD.P00", true},
      {"R&D <1>.P00", true},
      // Out of the directory: "..", and the components Windows makes ".." of.
      {"..\\..\\outside\\EVIL.P00", false},
      {"../outside/EVIL.P00", false},
      {"sub\\..\\..\\EVIL.P00", false},
      {"sub/..", false},
      {"..", false},
      {"...\\EVIL.P00", false},
      {".. \\EVIL.P00", false},
      {". .\\EVIL.P00", false},
      // From a root, a drive or a share.
      {"\\EVIL.P00", false},
      {"/etc/EVIL.P00", false},
      {"\\\\server\\share\\EVIL.P00", false},
      {"C:\\EVIL.P00", false},
      {"C:EVIL.P00", false},
      {"c:/EVIL.P00", false},
      {"PRD.P00:stream", false},
      // Devices, and nothing at all.
      {"AUX.P00", false},
      {"sub\\NUL.P00", false},
      {"COM1", false},
      {"\\\\.\\COM1", false},
      // CLOCK$, trailing dots and a colon after the name are devices here as
      // for every file the program opens.
      {"CLOCK$", false},
      {"sub\\clock$.P00", false},
      {"NUL.", false},
      {"sub/Aux. .P00", false},
      {"COM1:", false},
      {"C:NUL", false},
      {"CLOCK.P00", true},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(StaysInProfileDirectory(c.name), c.stays) << c.name;
}

}  // namespace
}  // namespace poolmetrics
