#include "field_value.h"

#include <algorithm>
#include <cstring>

#include "rfc/classic/rfc_api.h"

namespace rfcemu {
namespace {

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseRaw(std::string_view hex, std::string* bytes, std::string* err) {
  bytes->clear();
  int high = -1;
  for (char c : hex) {
    if (c == ' ' || c == '\t') {
      if (high >= 0) {
        *err = "raw bytes are written as pairs of hex digits";
        return false;
      }
      continue;
    }
    const int digit = HexDigit(c);
    if (digit < 0) {
      *err = std::string("'") + c + "' is not a hex digit";
      return false;
    }
    if (high < 0) {
      high = digit;
    } else {
      bytes->push_back(static_cast<char>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0 || bytes->empty()) {
    *err = "raw bytes are written as pairs of hex digits";
    return false;
  }
  return true;
}

// Decimal integer, optionally signed, of at most 18 digits.
bool ParseInteger(std::string_view text, long long* number, unsigned* digits) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (!IsDigits(text) || text.size() > 18) return false;
  long long value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  std::size_t first = text.find_first_not_of('0');
  *digits = first == std::string_view::npos ? 1u : static_cast<unsigned>(text.size() - first);
  *number = negative ? -value : value;
  return true;
}

std::string Decimal(long long number) { return std::to_string(number); }

unsigned long long Power10(unsigned exponent) {
  unsigned long long power = 1;
  for (unsigned i = 0; i < exponent; ++i) power *= 10;
  return power;
}

template <typename T>
std::string NativeBytes(T value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

std::string TwoDigits(unsigned n) {
  return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

}  // namespace

bool ParseFieldValue(std::string_view text, unsigned type, unsigned length, FieldValue* value, std::string* err) {
  if (text.size() >= 4 && (text.substr(0, 4) == "raw:" || text.substr(0, 4) == "RAW:")) {
    value->kind = FieldValue::Kind::kRaw;
    if (!ParseRaw(text.substr(4), &value->bytes, err)) return false;
    if (value->bytes.size() > length) {
      *err = std::to_string(value->bytes.size()) + " raw bytes do not fit a field of " + std::to_string(length);
      return false;
    }
    return true;
  }
  switch (type) {
    case TYPC:
      if (text.size() > length) {
        *err =
            "text of " + std::to_string(text.size()) + " characters does not fit a field of " + std::to_string(length);
        return false;
      }
      value->kind = FieldValue::Kind::kText;
      value->bytes = std::string(text);
      return true;
    case TYPDATE:
    case TYPTIME: {
      const std::size_t digits = type == TYPDATE ? 8 : 6;
      if (text.size() != digits || !IsDigits(text)) {
        *err = type == TYPDATE ? "a date is written as 8 digits YYYYMMDD" : "a time is written as 6 digits HHMMSS";
        return false;
      }
      value->kind = FieldValue::Kind::kText;
      value->bytes = std::string(text);
      return true;
    }
    default: {
      long long number = 0;
      unsigned digits = 0;
      if (!ParseInteger(text, &number, &digits)) {
        *err = "'" + std::string(text) + "' is not a whole number (or raw:HEX)";
        return false;
      }
      bool fits = true;
      if (type == TYPP) fits = digits <= 2 * length - 1;
      if (type == TYPINT) fits = number >= INT32_MIN && number <= INT32_MAX;
      if (type == TYPINT2) fits = number >= INT16_MIN && number <= INT16_MAX;
      if (type == TYPINT1) fits = number >= 0 && number <= 255;
      if (!fits) {
        *err = "'" + std::string(text) + "' does not fit a " + std::to_string(length) + "-byte field of this type";
        return false;
      }
      value->kind = FieldValue::Kind::kNumber;
      value->number = number;
      return true;
    }
  }
}

std::string EncodePacked(long long value, unsigned length) {
  std::string bytes(length, '\0');
  if (length == 0) return bytes;
  unsigned long long magnitude =
      value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  // Half-bytes from the least significant end: the sign, then the digits.
  const unsigned half_bytes = 2 * length;
  for (unsigned i = 0; i < half_bytes; ++i) {
    unsigned nibble;
    if (i == 0) {
      nibble = value < 0 ? 0xD : 0xC;
    } else {
      nibble = static_cast<unsigned>(magnitude % 10);
      magnitude /= 10;
    }
    const unsigned byte = length - 1 - i / 2;
    const unsigned shift = i % 2 == 0 ? 0 : 4;
    bytes[byte] = static_cast<char>(static_cast<unsigned char>(bytes[byte]) | (nibble << shift));
  }
  return bytes;
}

bool RenderPacked(std::string_view bytes, unsigned decimals, std::string* text) {
  if (bytes.empty()) return false;
  std::string digits;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const unsigned high = byte >> 4;
    const unsigned low = byte & 0xF;
    if (high > 9) return false;
    digits += static_cast<char>('0' + high);
    if (i + 1 < bytes.size()) {
      if (low > 9) return false;
      digits += static_cast<char>('0' + low);
    } else if (low < 0xA) {
      return false;  // the last half-byte is the sign
    }
  }
  const unsigned sign = static_cast<unsigned char>(bytes.back()) & 0xF;
  if (decimals > digits.size()) digits.insert(0, decimals - digits.size(), '0');
  std::string whole = digits.substr(0, digits.size() - decimals);
  const std::string fraction = digits.substr(digits.size() - decimals);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.empty()) whole = "0";
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  *text = (sign == 0xB || sign == 0xD) && !zero ? "-" : "";
  *text += whole;
  if (decimals > 0) *text += "." + fraction;
  return true;
}

std::string EncodeField(const FieldValue& value, unsigned type, unsigned length) {
  std::string bytes;
  char pad = '\0';
  switch (value.kind) {
    case FieldValue::Kind::kRaw: bytes = value.bytes; break;
    case FieldValue::Kind::kText:
      bytes = value.bytes;
      if (type == TYPC || type == TYPDATE || type == TYPTIME || type == TYPNUM) pad = ' ';
      break;
    case FieldValue::Kind::kNumber: {
      const long long n = value.number;
      switch (type) {
        case TYPP: bytes = EncodePacked(n, length); break;
        case TYPINT: bytes = NativeBytes(static_cast<std::int32_t>(static_cast<std::uint32_t>(n))); break;
        case TYPINT2: bytes = NativeBytes(static_cast<std::int16_t>(static_cast<std::uint16_t>(n))); break;
        case TYPINT1: bytes = std::string(1, static_cast<char>(static_cast<unsigned char>(n))); break;
        case TYPFLOAT: bytes = NativeBytes(static_cast<double>(n)); break;
        case TYPNUM: {
          std::string digits = Decimal(n < 0 ? -n : n);
          if (digits.size() < length) digits.insert(0, length - digits.size(), '0');
          bytes = digits.substr(digits.size() - length);
          break;
        }
        case TYPX:
          for (unsigned i = 0; i < length; ++i) {
            const unsigned shift = 8 * (length - 1 - i);
            bytes.push_back(shift < 64 ? static_cast<char>(static_cast<unsigned long long>(n) >> shift & 0xFF) : '\0');
          }
          break;
        default:  // character, date and time fields take the decimal text
          bytes = Decimal(n);
          pad = ' ';
          break;
      }
      break;
    }
  }
  bytes.resize(length, pad);
  return bytes;
}

namespace {

std::uint32_t Continue(std::uint32_t hash, std::string_view text) {
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

// The fingerprint of system + "/" + name, without making that text: a
// default is asked for every field of every call.
std::uint32_t FingerprintOf(std::string_view system, std::string_view name) {
  return Continue(Continue(Continue(2166136261u, system), "/"), name);
}

}  // namespace

std::uint32_t Fingerprint(std::string_view text) { return Continue(2166136261u, text); }

FieldValue DefaultFieldValue(std::string_view system, std::string_view key, unsigned type, unsigned length) {
  const std::uint32_t seed = FingerprintOf(system, key);
  FieldValue value;
  switch (type) {
    case TYPC:
      value.kind = FieldValue::Kind::kText;
      value.bytes = length == 1 ? "X" : "";
      break;
    case TYPDATE:
      value.kind = FieldValue::Kind::kText;
      value.bytes = std::to_string(2015 + seed % 10) + TwoDigits(1 + seed / 10 % 12) + TwoDigits(1 + seed / 120 % 28);
      break;
    case TYPTIME:
      value.kind = FieldValue::Kind::kText;
      value.bytes = TwoDigits(seed % 24) + TwoDigits(seed / 24 % 60) + TwoDigits(seed / 1440 % 60);
      break;
    case TYPP: value.number = static_cast<long long>(seed % Power10(std::min(2 * length - 1, 6u))); break;
    case TYPINT2: value.number = seed % 10000; break;
    case TYPINT1: value.number = seed % 100; break;
    case TYPX: value.number = 0; break;
    default: value.number = seed % 100000; break;
  }
  return value;
}

unsigned DefaultRowCount(std::string_view system, std::string_view table) {
  return FingerprintOf(system, table) % 20;
}

}  // namespace rfcemu
