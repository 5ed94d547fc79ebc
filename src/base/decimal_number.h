// Decimal whole numbers in the texts the program reads: parameter values,
// profile fields, the lengths and counts of the child protocol. One reader,
// so that every place agrees on what a number is (digits '0' to '9' only:
// no sign, no blanks, no locale).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace poolmetrics {

constexpr bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// `text` as a whole, when it is one or more digits whose value is at most
// `max`; none otherwise (an empty text, any other character, a larger value).
constexpr std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t max) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (!IsDecimalDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > max) return std::nullopt;
  }
  return value;
}

// The digits at the start of `text`, read up to the first other character:
// their value (0 when there are none) and how many characters were read.
// Reading stops at the first digit that takes the value past `cap`, so the
// value is never more than ten times `cap` plus nine.
struct LeadingDecimal {
  std::uint64_t value = 0;
  std::size_t length = 0;
};
constexpr LeadingDecimal ReadLeadingDecimal(std::string_view text, std::uint64_t cap) {
  LeadingDecimal number;
  while (number.length < text.size() && IsDecimalDigit(text[number.length])) {
    number.value = number.value * 10 + static_cast<std::uint64_t>(text[number.length++] - '0');
    if (number.value > cap) break;
  }
  return number;
}

}  // namespace poolmetrics
