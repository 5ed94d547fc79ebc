// A digest of a text (FNV-1a, 64 bits), as 16 lower-case hex digits. It
// names files by their key and tells a text that changed from the one that
// was digested: any one changed byte always changes it. It is no defence
// against a text made on purpose to match another's digest.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace poolmetrics {

// The digest of a text given in pieces: the same as of the pieces joined.
class ContentDigester {
 public:
  void Add(std::string_view piece) {
    for (unsigned char c : piece) hash_ = (hash_ ^ c) * 1099511628211ull;
  }
  std::string Hex() const;

 private:
  std::uint64_t hash_ = 14695981039346656037ull;
};

std::string ContentDigest(std::string_view text);

}  // namespace poolmetrics
