#include "tools/stored_password.h"

#include <random>

#include "base/text.h"
#include "profile/password.h"

namespace poolmetrics {
namespace {

// A password that every run would refuse is no use stored.
constexpr std::size_t kShortest = 2;

bool Printable(std::string_view text) {
  for (char c : text)
    if (c < 0x21 || c > 0x7E) return false;  // no blank either: editors strip them
  return true;
}

}  // namespace

std::optional<std::string> PasswordRefusal(std::string_view password) {
  for (char c : password)
    if (IsControl(c)) return std::string("the password holds a control character (such as a zero byte or a tab)");
  if (password.size() < kShortest || password.size() > kPasswordBlockLength)
    return Concat({"the password must have ", std::to_string(kShortest), " to ", std::to_string(kPasswordBlockLength),
                   " characters"});
  return std::nullopt;
}

std::string MakeStoredPassword(std::string_view password) {
  std::random_device device;
  std::mt19937 random(device());
  constexpr std::string_view kFiller = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::uniform_int_distribution<int> offset_of(0, 9);
  std::uniform_int_distribution<std::size_t> filler_of(0, kFiller.size() - 1);
  std::string fallback;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string filler;
    for (std::size_t i = password.size(); i < kPasswordBlockLength; ++i) filler += kFiller[filler_of(random)];
    std::string stored = EncodeStoredPassword(password, offset_of(random), filler);
    if (stored.empty()) continue;
    if (Printable(stored)) return stored;
    if (fallback.empty()) fallback = stored;
  }
  return fallback;
}

std::vector<std::string> PasswordEdges(std::string_view password) {
  std::vector<std::string> edges;
  if (password.empty()) return edges;
  if (password.front() == ' ') edges.emplace_back("a leading blank");
  if (password.back() == ' ') edges.emplace_back("a trailing blank");
  // Quotes are told inside the blanks: cmd's `echo "secret" |` gives them both.
  std::size_t first = password.find_first_not_of(' ');
  std::string_view inner = first == std::string_view::npos
                               ? std::string_view()
                               : password.substr(first, password.find_last_not_of(' ') + 1 - first);
  for (auto [quote, name] : {std::pair<char, const char*>{'"', "enclosing double quotes"}, {'\'', "enclosing single quotes"}})
    if (inner.size() >= 2 && inner.front() == quote && inner.back() == quote) edges.emplace_back(name);
  return edges;
}

}  // namespace poolmetrics
