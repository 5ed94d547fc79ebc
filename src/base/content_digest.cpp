#include "base/content_digest.h"

namespace poolmetrics {

std::string ContentDigester::Hex() const {
  std::string digits(16, '0');
  std::uint64_t hash = hash_;
  for (int i = 15; i >= 0; --i, hash >>= 4) digits[i] = "0123456789abcdef"[hash & 0xf];
  return digits;
}

std::string ContentDigest(std::string_view text) {
  ContentDigester digester;
  digester.Add(text);
  return digester.Hex();
}

}  // namespace poolmetrics
