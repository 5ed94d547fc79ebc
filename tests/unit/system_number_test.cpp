#include "rfc/system_number.h"

#include <gtest/gtest.h>

namespace poolmetrics {
namespace {

// Both libraries' logons take the system number from here: a profile
// reaches the same system through either.
TEST(SystemNumber, LeadingDigitsAfterBlanksAndTabs) {
  struct {
    const char* text;
    int number;
  } cases[] = {
      {"00", 0},
      {"7", 7},
      {"07", 7},
      {" \t12", 12},
      {"12x", 12},
      {"1 2", 1},
      {"", 0},
      {"  ", 0},
      {"ab", 0},
      {"-1", 0},
      {"+5", 0},
      {"\n5", 0},  // only blanks and tabs are skipped
      {"999999", 999999},
      // Reading stops at the first digit past 999999, that digit read.
      {"1000000", 1000000},
      {"12345678", 1234567},
      {"99999999999999999999", 9999999},
      // Leading zeros never take the number past the cap.
      {"0000000000000000000000042", 42},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemNumber(c.text), c.number) << '"' << c.text << '"';
}

}  // namespace
}  // namespace poolmetrics
