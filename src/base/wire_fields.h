// The fields in which a parallel run and its children talk (the child's
// task, a system's header and record): each field its length in decimal
// digits, a colon, and its bytes, so that a field can hold anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

void AppendField(std::string& out, std::string_view field);
// A signed whole number as a field: "-12", "34".
void AppendNumberField(std::string& out, std::int64_t number);

// Reads the fields of a text one after the other; the text must outlive the
// reader. A field whose length is
// not a decimal number of at most nine digits, or that runs past the text,
// ends the reading: Next gives none from then on.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}
  std::optional<std::string> Next();
  // The same without a copy: the field within the text, which must outlive it.
  std::optional<std::string_view> NextView();
  // The next field as a signed whole number; none when it is no such number.
  std::optional<std::int64_t> NextNumber();
  bool done() const { return text_.empty(); }

 private:
  std::string_view text_;
};

}  // namespace poolmetrics
