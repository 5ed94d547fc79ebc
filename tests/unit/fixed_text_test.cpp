#include "base/fixed_text.h"

#include <gtest/gtest.h>

namespace poolmetrics {
namespace {

TEST(FixedText, CutsAtItsWidth) {
  FixedText<6> text("abcdefgh");
  EXPECT_EQ(text.view(), "abcde");
  text += "xyz";
  EXPECT_EQ(text.view(), "abcde");
  EXPECT_STREQ(text.c_str(), "abcde");
  text = "ab";
  text += "cdefg";
  EXPECT_EQ(text.view(), "abcde");
  text.truncate(2);
  EXPECT_EQ(text.view(), "ab");
  text.truncate(10);
  EXPECT_EQ(text.view(), "ab");
}

}  // namespace
}  // namespace poolmetrics
