#include "output/value_formats.h"

#include <cstdio>

#include "base/text.h"

namespace poolmetrics {

ValueText FormatPacked(const PackedDigits& packed, unsigned d) {
  std::string_view digits = packed.digits;
  if (d > digits.size()) d = static_cast<unsigned>(digits.size());
  ValueText text(packed.negative ? "-" : "+");
  std::size_t integer_digits = digits.size() - d;
  text += digits.substr(0, integer_digits);
  if (d > 0) {
    text += '.';
    text += digits.substr(integer_digits);
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

ValueText FormatShare(std::int64_t part, std::int64_t whole) {
  // In hundredths of a percent, rounded half away from zero.
  std::int64_t scaled = part * 20000 / whole;
  std::int64_t hundredths = (scaled + (scaled < 0 ? -1 : 1)) / 2;
  std::int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "", static_cast<long long>(magnitude / 100),
                static_cast<long long>(magnitude % 100));
  return ValueText(text);
}

ValueText FormatField(const FieldValue& field, ValueFormat format) {
  switch (format) {
    case ValueFormat::kInt: return FormatInteger(field.integer);
    case ValueFormat::kPacked8: return StripLeadingZeros(FormatPacked(field.packed, 0));
    case ValueFormat::kRate4: {
      ValueText packed = FormatPacked(field.packed, 4);
      ValueText text(packed[0] == '-' ? "-" : "");  // the sign is dropped unless negative
      text += From(packed, 1);
      return text;
    }
    case ValueFormat::kPercent: {
      ValueText packed = FormatPacked(field.packed, 2);  // sign, 11 digits, point, 2 digits
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
