#include "output/value_formats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "rfc/classic/call.h"

namespace poolmetrics {
namespace {

// A packed field of `n` bytes holding the decimal digits `digits` (right-
// aligned) and the sign half-byte `sign` (0xC positive, 0xD negative).
std::vector<unsigned char> Packed(unsigned n, const char* digits, unsigned char sign = 0xC) {
  std::vector<unsigned char> nibbles(2 * n, 0);
  std::size_t count = std::strlen(digits);
  for (std::size_t i = 0; i < count; ++i) nibbles[2 * n - 1 - count + i] = static_cast<unsigned char>(digits[i] - '0');
  nibbles[2 * n - 1] = sign;
  std::vector<unsigned char> bytes(n);
  for (unsigned i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(nibbles[2 * i] << 4 | nibbles[2 * i + 1]);
  return bytes;
}

// The field as the classic library hands it over, decoded as every library's
// result carries it: sign and digits.
FieldValue Field(const std::vector<unsigned char>& bytes, ValueFormat format) {
  FieldValue field;
  if (format == ValueFormat::kInt)
    std::memcpy(&field.integer, bytes.data(), sizeof field.integer);
  else
    field.packed = DecodePacked(bytes.data(), static_cast<unsigned>(bytes.size()));
  return field;
}

TEST(ValueFormats, DecodePackedKeepsEveryDigitAndTheSign) {
  PackedDigits p = DecodePacked(Packed(8, "12345").data(), 8);
  EXPECT_EQ(p.digits.view(), "000000000012345");
  EXPECT_FALSE(p.negative);
  EXPECT_TRUE(DecodePacked(Packed(7, "9987", 0xD).data(), 7).negative);
  const unsigned char raw[2] = {0xAB, 0x1F};  // half-bytes above 9 are kept as they are
  EXPECT_EQ(DecodePacked(raw, 2).digits.view(), "AB1");
  EXPECT_FALSE(DecodePacked(raw, 2).negative);
}

TEST(ValueFormats, FormatPacked) {
  EXPECT_EQ(FormatPacked(DecodePacked(Packed(8, "12345").data(), 8), 0).view(), "+000000000012345");
  EXPECT_EQ(FormatPacked(DecodePacked(Packed(4, "995000").data(), 4), 4).view(), "+099.5000");
  EXPECT_EQ(FormatPacked(DecodePacked(Packed(7, "9987", 0xD).data(), 7), 2).view(), "-00000000099.87");
}

TEST(ValueFormats, EveryFormatOnATableOfValues) {
  struct {
    const char* label;
    std::vector<unsigned char> field;
    ValueFormat format;
    const char* text;
  } cases[] = {
      {"packed zero", Packed(8, "0"), ValueFormat::kPacked8, "0"},
      {"packed 12345", Packed(8, "12345"), ValueFormat::kPacked8, "12345"},
      {"packed negative keeps its sign", Packed(8, "12345", 0xD), ValueFormat::kPacked8, "-12345"},
      {"packed negative zero", Packed(8, "0", 0xD), ValueFormat::kPacked8, "0"},
      {"packed 15 digits", Packed(8, "123456789012345"), ValueFormat::kPacked8, "123456789012345"},
      {"packed half-byte above 9", {0, 0, 0, 0, 0, 0, 0x0A, 0x5C}, ValueFormat::kPacked8, "5"},
      {"rate 99.5", Packed(4, "995000"), ValueFormat::kRate4, "099.5000"},
      {"rate 100", Packed(4, "1000000"), ValueFormat::kRate4, "100.0000"},
      {"rate negative", Packed(4, "995000", 0xD), ValueFormat::kRate4, "-099.5000"},
      {"percent 100", Packed(7, "10000"), ValueFormat::kPercent, "100.00"},
      {"percent 99.87", Packed(7, "9987"), ValueFormat::kPercent, " 99.87"},
      {"percent 5", Packed(7, "500"), ValueFormat::kPercent, " 05.00"},
      {"percent 0", Packed(7, "0"), ValueFormat::kPercent, " 00.00"},
      {"percent negative", Packed(7, "500", 0xD), ValueFormat::kPercent, "-05.00"},
      {"percent negative 100", Packed(7, "10000", 0xD), ValueFormat::kPercent, "-100.00"},
      {"int", {0x39, 0x30, 0, 0}, ValueFormat::kInt, "12345"},
      {"int negative", {0xFF, 0xFF, 0xFF, 0xFF}, ValueFormat::kInt, "-1"},
      {"int zero", {0, 0, 0, 0}, ValueFormat::kInt, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatField(Field(c.field, c.format), c.format).view(), c.text) << c.label;
}

// LIMITS' "EM in use": a share in percent, two decimals, rounded half away
// from zero, the extremes of a 4-byte field included.
TEST(ValueFormats, Share) {
  struct {
    std::int64_t part, whole;
    const char* text;
  } cases[] = {
      {0, 4096, "0.00"},     {3277, 4096, "80.00"},       {4096, 4096, "100.00"},
      {1, 3, "33.33"},       {2, 3, "66.67"},             {1, 200000, "0.00"},
      {1, 20000, "0.01"},    {5000, 4096, "122.07"},      {-1, 3, "-33.33"},
      {2147483647, 1, "214748364700.00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatShare(c.part, c.whole).view(), c.text) << c.part << " of " << c.whole;
}

}  // namespace
}  // namespace poolmetrics
