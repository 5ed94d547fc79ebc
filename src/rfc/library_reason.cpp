#include "rfc/library_reason.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

std::string_view Trimmed(std::string_view text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

}  // namespace

std::string LibraryReason(std::string_view key, std::string_view message) {
  key = Trimmed(key);
  message = Trimmed(message);
  if (key.empty() || message.empty()) return std::string(key.empty() ? message : key);
  return Concat({key, ": ", message});
}

}  // namespace poolmetrics
