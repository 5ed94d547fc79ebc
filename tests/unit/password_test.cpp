#include "profile/password.h"

#include <gtest/gtest.h>

namespace poolmetrics {
namespace {

constexpr std::string_view kFiller = "abcdefghijklmnopqrstuvwxyz";

TEST(Password, KeyHasThirtyTwoNonZeroBytes) {
  for (unsigned char b : kPasswordKey) EXPECT_NE(b, 0);
}

TEST(Password, EncodeDecodeRoundTripsForEveryOffsetAndLength) {
  for (int offset = 0; offset <= 9; ++offset) {
    for (std::string password : {"ab", "secret1", "Sap!Pass#2026", "12345678901234567890"}) {
      std::string stored = EncodeStoredPassword(password, offset, kFiller);
      ASSERT_EQ(stored.size(), kStoredPasswordLength) << password << " offset " << offset;
      DecodedPassword decoded = DecodeStoredPassword(stored, true);
      EXPECT_TRUE(decoded.form_ok && decoded.check_ok) << password << " offset " << offset;
      EXPECT_EQ(decoded.plain.view(), password) << "offset " << offset;
    }
  }
}

TEST(Password, SamePasswordWithOtherOffsetOrFillerDecodesAlike) {
  std::string a = EncodeStoredPassword("monitor", 0, "0123456789abcdefghij");
  std::string b = EncodeStoredPassword("monitor", 9, "ZYXWVUTSRQPONMLKJIHG");
  ASSERT_NE(a, b);
  EXPECT_EQ(DecodeStoredPassword(a, true).plain.view(), "monitor");
  EXPECT_EQ(DecodeStoredPassword(b, true).plain.view(), "monitor");
}

TEST(Password, FormFaults) {
  std::string stored = EncodeStoredPassword("secret1", 3, kFiller);
  struct {
    const char* label;
    std::string text;
  } cases[] = {
      {"23 characters", stored.substr(0, 23)},
      {"25 characters (a trailing blank)", stored + " "},
      {"empty", ""},
      {"head decodes to a letter", std::string(1, static_cast<char>('a' ^ kPasswordKey[0])) + stored.substr(1)},
      {"fourth head character a letter",
       stored.substr(0, 3) + static_cast<char>('x' ^ kPasswordKey[3]) + stored.substr(4)},
  };
  for (const auto& c : cases) {
    DecodedPassword strict = DecodeStoredPassword(c.text, true);
    EXPECT_FALSE(strict.form_ok) << c.label;
    EXPECT_FALSE(strict.check_ok) << c.label << ": strict decoding stops at the form fault";
  }
  // Listing mode decodes on: a letter in the head still leaves a usable body.
  DecodedPassword listing =
      DecodeStoredPassword(stored.substr(0, 3) + static_cast<char>('x' ^ kPasswordKey[3]) + stored.substr(4), false);
  EXPECT_FALSE(listing.form_ok);
}

TEST(Password, CheckFaultUnlessTheSumModuloTenIsKept) {
  std::string stored = EncodeStoredPassword("secret1", 0, kFiller);
  std::string changed = stored;
  changed[10] = static_cast<char>(changed[10] ^ 0x01);  // an ASCII letter to its neighbour: sum changes by 1
  DecodedPassword d = DecodeStoredPassword(changed, true);
  EXPECT_TRUE(d.form_ok);
  EXPECT_FALSE(d.check_ok);
}

TEST(Password, LengthDigits) {
  EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword("", 1, "abcdefghijklmnopqrst"), true).plain.view(), "");
  EXPECT_EQ(DecodeStoredPassword(EncodeStoredPassword("x", 1, kFiller), true).plain.view(), "x");
  // A length above 20 yields the whole block: build the head by hand.
  std::string stored = EncodeStoredPassword("abcdefghijklmnopqrst", 2, "");
  stored[2] = static_cast<char>('9' ^ kPasswordKey[2]);
  stored[3] = static_cast<char>('9' ^ kPasswordKey[3]);
  DecodedPassword d = DecodeStoredPassword(stored, true);
  EXPECT_TRUE(d.check_ok);
  EXPECT_EQ(d.plain.view(), "abcdefghijklmnopqrst");
}

TEST(Password, CheckDigitCountsOnlyAsciiDigitsAndLetters) {
  EXPECT_EQ(PasswordCheckDigit("a"), 'a' % 10);
  EXPECT_EQ(PasswordCheckDigit("a!#~ \x80"), 'a' % 10);
  EXPECT_EQ(PasswordCheckDigit("Z9"), ('Z' + '9') % 10);
}

TEST(Password, EncodeRefusesWhatCannotBeStored) {
  EXPECT_EQ(EncodeStoredPassword("123456789012345678901", 0, ""), "");  // 21 characters
  EXPECT_EQ(EncodeStoredPassword("abc", 10, kFiller), "");              // offset out of range
  EXPECT_EQ(EncodeStoredPassword("abc", 0, "short"), "");               // block not filled
  // A password character equal to its key byte would store a zero byte.
  std::string zero(1, static_cast<char>(kPasswordKey[0]));
  EXPECT_EQ(EncodeStoredPassword(zero, 0, kFiller), "");
}

}  // namespace
}  // namespace poolmetrics
