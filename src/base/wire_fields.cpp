#include "base/wire_fields.h"

#include "base/decimal_number.h"

namespace poolmetrics {

void AppendField(std::string& out, std::string_view field) {
  out += std::to_string(field.size());
  out += ':';
  out += field;
}

void AppendNumberField(std::string& out, std::int64_t number) { AppendField(out, std::to_string(number)); }

std::optional<std::string> FieldReader::Next() {
  std::optional<std::string_view> field = NextView();
  if (!field) return std::nullopt;
  return std::string(*field);
}

std::optional<std::string_view> FieldReader::NextView() {
  std::size_t colon = text_.find(':');
  if (colon == std::string_view::npos || colon > 9) return std::nullopt;
  std::optional<std::uint64_t> digits = ParseDecimal(text_.substr(0, colon), 999999999);
  if (!digits || *digits > text_.size() - colon - 1) return std::nullopt;
  auto length = static_cast<std::size_t>(*digits);  // at most nine digits: fits any size_t here
  std::string_view field = text_.substr(colon + 1, length);
  text_.remove_prefix(colon + 1 + length);
  return field;
}

std::optional<std::int64_t> FieldReader::NextNumber() {
  std::optional<std::string_view> field = NextView();
  if (!field || field->empty()) return std::nullopt;
  bool negative = (*field)[0] == '-';
  std::optional<std::uint64_t> magnitude = ParseDecimal(field->substr(negative ? 1 : 0), 0x7fffffffffffffffull);
  if (!magnitude) return std::nullopt;
  return negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
}

}  // namespace poolmetrics
