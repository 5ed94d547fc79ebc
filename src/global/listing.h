// The server listing of a global run: profile names, each ended by "#", as
// the item profile and the global sensor file list them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace poolmetrics {

// How the channels of each system of a global run are labelled.
enum class SystemLabelKind : char { kProfile = '1', kAlias = '2', kHost = '3', kSid = '4' };

class Listing {
 public:
  // The listing grows with the landscape: a fixed width would drop the
  // systems past it without a word, or cut a name in half.
  void Append(std::string_view text) { text_ += text; }
  bool empty() const { return text_.empty(); }

  // The names in listing order: every "#" ends one, and so does the end of
  // the listing ("A##B" holds three, the empty one included). They point
  // into the listing, which must outlive them.
  std::vector<std::string_view> Names() const;

 private:
  std::string text_;
};

}  // namespace poolmetrics
