// The stored password form of a profile's "Password...:" line: 24 characters,
// a head of four digits (check digit, key offset, two-digit length) and a
// 20-character body, permuted and XORed with a window of PasswordKey.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/fixed_text.h"

namespace poolmetrics {

constexpr std::size_t kStoredPasswordLength = 24;
constexpr std::size_t kPasswordBlockLength = 20;
constexpr std::size_t kPasswordKeyLength = 32;

// 32 non-zero bytes, all below 0x20: XOR with such a byte keeps a printable
// character printable (only bits 0 to 4 flip), so stored forms of ordinary
// passwords stay ordinary text. Stored forms made with one key decode only
// with that same key.
constexpr std::array<unsigned char, kPasswordKeyLength> kPasswordKey = {
    0x13, 0x07, 0x1C, 0x05, 0x11, 0x0B, 0x1E, 0x02, 0x17, 0x0D, 0x19, 0x04, 0x1A, 0x08, 0x15, 0x0E,
    0x03, 0x1D, 0x09, 0x16, 0x01, 0x12, 0x0C, 0x1F, 0x06, 0x18, 0x0F, 0x14, 0x0A, 0x1B, 0x10, 0x11};

struct DecodedPassword {
  bool form_ok = false;                       // 24 characters and a head of four digits
  bool check_ok = false;                      // the check digit matches the body
  FixedText<kPasswordBlockLength + 1> plain;  // valid only when check_ok
};

// Decodes a stored form. With `stop_at_form_fault` (a single-system run) a
// form fault ends the decoding at once; otherwise the body is still decoded
// and checked, as the listing of a global run needs.
DecodedPassword DecodeStoredPassword(std::string_view stored, bool stop_at_form_fault);

// The check digit of a 20-character block: the sum of the codes of its ASCII
// digits and letters, modulo 10.
int PasswordCheckDigit(std::string_view block);

// Builds a stored form of `password` (at most 20 characters) with key offset
// `offset` (0 to 9) and `filler` completing the block (at least 20 - size
// characters). Returns an empty text when the result would hold a zero byte,
// a carriage return or a line feed; the caller then tries another offset or
// filler.
std::string EncodeStoredPassword(std::string_view password, int offset, std::string_view filler);

}  // namespace poolmetrics
