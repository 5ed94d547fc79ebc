#include "rfc/classic/library_text.h"

#include "base/code_page.h"

namespace poolmetrics {

std::optional<std::string> InLibraryCodePage(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    TextCharacter c = FirstCharacter(text);
    std::optional<unsigned char> byte = LegacyCodePageByte(c.code_point);
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    text.remove_prefix(c.length);
  }
  return out;
}

}  // namespace poolmetrics
