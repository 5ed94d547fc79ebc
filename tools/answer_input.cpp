#include "tools/answer_input.h"

#include <cstdio>

#include "base/file_system.h"
#include "base/terminal.h"

namespace poolmetrics {

std::optional<std::string> ReadAnswerLine() {
  constexpr std::size_t kLongest = 4096;
  UseBinaryMode(stdin);
  std::string line;
  int c = std::getchar();
  if (c == EOF) return std::nullopt;
  for (; c != EOF && c != '\n'; c = std::getchar())
    if (line.size() < kLongest) line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> Ask(std::string_view question, bool hidden) {
  // Hidden before the question shows: what is typed as soon as it does is
  // never shown.
  std::optional<HiddenTyping> typing;
  if (hidden) typing.emplace();
  std::fwrite(question.data(), 1, question.size(), stderr);
  std::fflush(stderr);
  return ReadAnswerLine();
}

}  // namespace poolmetrics
