#include "output/value_formats.h"

#include <cstdio>
#include <cstring>

#include "run/text.h"

namespace poolmetrics {

ValueText FormatPacked(const unsigned char* field, unsigned n, unsigned d) {
  constexpr char kHex[] = "0123456789ABCDEF";
  char digits[2 * 32];
  if (n > 32) n = 32;
  for (unsigned i = 0; i < n; ++i) {
    digits[2 * i] = kHex[field[i] >> 4];
    digits[2 * i + 1] = kHex[field[i] & 0x0F];
  }
  ValueText text(digits[2 * n - 1] == 'D' ? "-" : "+");
  unsigned integer_digits = 2 * n - 1 - d;
  text += std::string_view(digits, integer_digits);
  if (d > 0) {
    text += '.';
    text += std::string_view(digits + integer_digits, d);
  }
  return text;
}

ValueText StripLeadingZeros(std::string_view formatted) {
  std::size_t first = formatted.find_first_of("123456789", 1);
  if (first == std::string_view::npos) return ValueText("0");
  // A negative figure shown without its sign would read as a positive one.
  ValueText text(formatted.substr(0, 1) == "-" ? "-" : "");
  text += formatted.substr(first);
  return text;
}

ValueText FormatInteger(long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld", value);
  return ValueText(text);
}

ValueText FormatField(const unsigned char* field, ValueFormat format) {
  switch (format) {
    case ValueFormat::kInt: {
      std::int32_t value;
      std::memcpy(&value, field, sizeof value);
      return FormatInteger(value);
    }
    case ValueFormat::kPacked8: return StripLeadingZeros(FormatPacked(field, 8, 0));
    case ValueFormat::kRate4: {
      ValueText packed = FormatPacked(field, 4, 4);
      ValueText text(packed[0] == '-' ? "-" : "");  // the sign is dropped unless negative
      text += From(packed, 1);
      return text;
    }
    case ValueFormat::kPercent: {
      ValueText packed = FormatPacked(field, 7, 2);  // sign, 11 digits, point, 2 digits
      ValueText text(std::string_view(packed).substr(9, 6));
      if (packed[0] != '-') {
        if (text[0] == '0') text[0] = ' ';
        return text;
      }
      // A negative rate keeps its sign: in place of the leading zero, or before.
      if (text[0] == '0') {
        text[0] = '-';
        return text;
      }
      ValueText negative("-");
      negative += text;
      return negative;
    }
    case ValueFormat::kCount: break;
  }
  return ValueText("0");
}

}  // namespace poolmetrics
