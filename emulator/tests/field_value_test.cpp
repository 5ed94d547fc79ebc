#include "field_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "rfc/classic/rfc_api.h"

namespace rfcemu {
namespace {

std::string HexOf(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

TEST(FieldValue, EncodesPackedDecimals) {
  const struct {
    long long value;
    unsigned length;
    const char* hex;
  } kCases[] = {
      {12345, 8, "000000000012345C"},
      {0, 8, "000000000000000C"},
      {-7, 4, "0000007D"},
      {-12345, 8, "000000000012345D"},
      {995000, 4, "0995000C"},       // 99.5000 as a rate with four
                                     // decimals
      {9999999, 4, "9999999C"},      // the largest that fits four bytes
      {123456789, 2, "789C"},        // too many digits: the front is cut off
      {10000, 7, "0000000010000C"},  // 100.00 with two decimals
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(HexOf(EncodePacked(c.value, c.length)), c.hex) << c.value << " in " << c.length;
  }
}

TEST(FieldValue, ReadsValuesByTheFieldsType) {
  const struct {
    const char* text;
    unsigned type;
    unsigned length;
    bool ok;
    FieldValue::Kind kind;
    const char* error;
  } kCases[] = {
      {"-42", TYPINT, 4, true, FieldValue::Kind::kNumber, ""},
      {"2147483647", TYPINT, 4, true, FieldValue::Kind::kNumber, ""},
      {"2147483648", TYPINT, 4, false, {}, "'2147483648' does not fit a 4-byte field of this type"},
      {"12.5", TYPINT, 4, false, {}, "'12.5' is not a whole number (or raw:HEX)"},
      {"9999999", TYPP, 4, true, FieldValue::Kind::kNumber, ""},
      {"-0009999999", TYPP, 4, true, FieldValue::Kind::kNumber, ""},
      {"10000000", TYPP, 4, false, {}, "'10000000' does not fit a 4-byte field of this type"},
      {"raw:00 00 12 3D", TYPP, 4, true, FieldValue::Kind::kRaw, ""},
      {"raw:0000000000", TYPP, 4, false, {}, "5 raw bytes do not fit a field of 4"},
      {"raw:0F0", TYPP, 4, false, {}, "raw bytes are written as pairs of hex digits"},
      {"raw:0G", TYPP, 4, false, {}, "'G' is not a hex digit"},
      {"20231231", TYPDATE, 8, true, FieldValue::Kind::kText, ""},
      {"2023-12-31", TYPDATE, 8, false, {}, "a date is written as 8 digits YYYYMMDD"},
      {"235959", TYPTIME, 6, true, FieldValue::Kind::kText, ""},
      {"2359", TYPTIME, 6, false, {}, "a time is written as 6 digits HHMMSS"},
      {"X", TYPC, 1, true, FieldValue::Kind::kText, ""},
      {"XY", TYPC, 1, false, {}, "text of 2 characters does not fit a field of 1"},
  };
  for (const auto& c : kCases) {
    FieldValue value;
    std::string err;
    EXPECT_EQ(ParseFieldValue(c.text, c.type, c.length, &value, &err), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value.kind, c.kind) << c.text;
    } else {
      EXPECT_EQ(err, c.error) << c.text;
    }
  }
}

TEST(FieldValue, ConvertsToTheCallersDeclaredType) {
  FieldValue number;
  number.number = -123456;
  std::int32_t int32 = 0;
  std::string bytes = EncodeField(number, TYPINT, 4);
  ASSERT_EQ(bytes.size(), 4u);
  std::memcpy(&int32, bytes.data(), 4);
  EXPECT_EQ(int32, -123456);
  EXPECT_EQ(HexOf(EncodeField(number, TYPP, 4)), "0123456D");
  EXPECT_EQ(EncodeField(number, TYPC, 10), "-123456   ");
  EXPECT_EQ(EncodeField(number, TYPC, 3), "-12");  // cut, never overrun

  FieldValue text;
  text.kind = FieldValue::Kind::kText;
  text.bytes = "AB";
  EXPECT_EQ(EncodeField(text, TYPC, 4), "AB  ");

  FieldValue raw;
  raw.kind = FieldValue::Kind::kRaw;
  raw.bytes = std::string("\x12\x3F", 2);  // half-bytes written as they are
  EXPECT_EQ(HexOf(EncodeField(raw, TYPP, 4)), "123F0000");
}

TEST(FieldValue, RendersPackedFieldsAsDecimalText) {
  const struct {
    std::string bytes;
    unsigned decimals;
    const char* text;  // null: not a packed number
  } kCases[] = {
      {EncodePacked(-1234500, 4), 4, "-123.4500"},
      {EncodePacked(995000, 4), 4, "99.5000"},
      {EncodePacked(5, 7), 2, "0.05"},
      {EncodePacked(12345, 8), 0, "12345"},
      {EncodePacked(0, 8), 0, "0"},
      {EncodePacked(-7, 1), 3, "-0.007"},       // more decimals than digits
      {std::string("\x00\x0D", 2), 2, "0.00"},  // never a negative zero
      {std::string("\x12\x3F", 2), 0, "123"},   // F and B are signs too
      {std::string("\x12\x3B", 2), 1, "-12.3"},
      {std::string("\x1A\x3C", 2), 0, nullptr},  // a half-byte that is no digit
      {std::string("\x12\x34", 2), 0, nullptr},  // no sign
      {"", 0, nullptr},
  };
  for (const auto& c : kCases) {
    std::string text = "untouched";
    EXPECT_EQ(RenderPacked(c.bytes, c.decimals, &text), c.text != nullptr) << HexOf(c.bytes);
    if (c.text != nullptr) {
      EXPECT_EQ(text, c.text) << HexOf(c.bytes);
    }
  }
}

TEST(FieldValue, DefaultsAreStablePerSystemAndDifferBetweenSystems) {
  const FieldValue prd = DefaultFieldValue("PRD", "TOTAL_ROWS.UPDATE", TYPP, 8);
  EXPECT_EQ(prd.number, DefaultFieldValue("PRD", "TOTAL_ROWS.UPDATE", TYPP, 8).number);
  EXPECT_NE(prd.number, DefaultFieldValue("QAS", "TOTAL_ROWS.UPDATE", TYPP, 8).number);
  EXPECT_NE(DefaultRowCount("PRD", "BUFFER_NAMES"), DefaultRowCount("QAS", "BUFFER_NAMES"));

  // Defaults of every kind read back as valid values of their field.
  const FieldValue date = DefaultFieldValue("PRD", "STARTUP_DATE", TYPDATE, 8);
  const FieldValue time = DefaultFieldValue("PRD", "STARTUP_TIME", TYPTIME, 6);
  FieldValue reread;
  std::string err;
  EXPECT_TRUE(ParseFieldValue(date.bytes, TYPDATE, 8, &reread, &err)) << date.bytes;
  EXPECT_TRUE(ParseFieldValue(time.bytes, TYPTIME, 6, &reread, &err)) << time.bytes;
  EXPECT_LE(std::stoi(date.bytes.substr(4, 2)), 12);
  EXPECT_LE(std::stoi(time.bytes.substr(0, 2)), 23);
  EXPECT_LT(DefaultFieldValue("PRD", "SAP_CURSOR_CACHE_TOTAL.ID_HITR", TYPP, 4).number, 10000000);
}

}  // namespace
}  // namespace rfcemu
