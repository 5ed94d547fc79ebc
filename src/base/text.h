// Small text helpers shared by the readers and writers of the run.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/code_page.h"

namespace poolmetrics {

// Upper case as every comparison of the program means it: the letters a to
// z only, so that no locale or code page changes what matches.
constexpr char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
  return true;
}

inline bool Contains(std::string_view text, std::string_view key) { return text.find(key) != std::string_view::npos; }

// True when `text` ends in one of `endings` (and is longer than it).
inline bool EndsInOneOf(std::string_view text, std::initializer_list<std::string_view> endings) {
  for (std::string_view ending : endings)
    if (text.size() > ending.size() && text.substr(text.size() - ending.size()) == ending) return true;
  return false;
}

// The first `n` characters of `text`, or all of it when shorter.
constexpr std::string_view Head(std::string_view text, std::size_t n) { return text.substr(0, n); }

// The characters from position `from` (counting from 0) on, or none.
constexpr std::string_view From(std::string_view text, std::size_t from) {
  return from < text.size() ? text.substr(from) : std::string_view();
}

// Replaces every character `from` by `to` in place.
template <typename Text>
void ReplaceAll(Text& text, char from, char to) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == from) text[i] = to;
}

// The control characters of ASCII: below 0x20, and 0x7F.
constexpr bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// `text` fit for a line of output: a carriage return or line feed from a file
// would start a line of its own for the reader (a forged "Statistic." line),
// and escape sequences would reach a terminal, so every control character
// (C0, DEL and C1, as base/code_page.h reads characters: U+0085 as C2 85,
// or as a byte where it is one of the legacy code page) becomes one
// `replacement`. Text without control characters stays as it is.
inline std::string LineText(std::string_view text, char replacement = '?') {
  std::string line;
  line.reserve(text.size());
  while (!text.empty()) {
    TextCharacter c = FirstCharacter(text);
    if (IsControlCharacter(c.code_point))
      line += replacement;
    else
      line.append(text.data(), c.length);
    text.remove_prefix(c.length);
  }
  return line;
}

template <typename Text>
void UpperCaseInPlace(Text& text) {
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = ToUpperAscii(text[i]);
}

// Joins the pieces of a text.
inline std::string Concat(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view p : pieces) text += p;
  return text;
}

}  // namespace poolmetrics
