// Values of the emulated function module's parameters: how a landscape file
// writes them, how they are put into a caller's field, and the defaults a
// system reports for the values its landscape entry leaves out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rfcemu {

struct FieldValue {
  enum class Kind { kNumber, kText, kRaw };
  Kind kind = Kind::kNumber;
  long long number = 0;  // kNumber
  std::string bytes;     // kText: the characters; kRaw: the bytes as given
};

// Reads the text of a value for a field of the given type and length:
// "raw:" followed by hex digits (blanks allowed between byte pairs) gives
// the bytes exactly, at most `length` of them; otherwise TYPC takes the text
// (at most `length` characters), TYPDATE exactly 8 digits, TYPTIME exactly
// 6 digits, and the numeric types a decimal integer, optionally signed, that
// fits the field (TYPP: at most 2*length-1 digits).
bool ParseFieldValue(std::string_view text, unsigned type, unsigned length, FieldValue* value, std::string* err);

// SAP's packed decimal of `length` bytes: 2*length-1 digits, most significant
// first, then the sign half-byte, C for positive and zero, D for negative.
// Digits that do not fit are cut off at the front.
std::string EncodePacked(long long value, unsigned length);

// A packed field as decimal text with `decimals` digits after the point, as
// the NetWeaver library's RfcGetString renders it: a minus sign for the
// sign half-bytes B and D, no leading zeros, at least one digit before the
// point ("-123.4500", "0.0500", "12345"). A zero is never negative. Fails
// when a digit half-byte is no digit or the sign half-byte is one.
bool RenderPacked(std::string_view bytes, unsigned decimals, std::string* text);

// The `length` bytes that a field of the caller's declared type receives.
// Numbers are converted to that type (native byte order for integers and
// floats, decimal text for character types); text is blank-padded; raw
// bytes are copied and the rest of the field zero-filled. Whatever does not
// fit is cut off.
std::string EncodeField(const FieldValue& value, unsigned type, unsigned length);

// 32-bit FNV-1a of a text; the seed of every default.
std::uint32_t Fingerprint(std::string_view text);

// The value a system reports for a field that its landscape entry leaves
// out, derived from the system's name and the value's name ("PARAM" or
// "PARAM.FIELD"), so that two systems report different figures.
FieldValue DefaultFieldValue(std::string_view system, std::string_view key, unsigned type, unsigned length);

// The number of rows a system returns in a table its entry does not size.
unsigned DefaultRowCount(std::string_view system, std::string_view table);

}  // namespace rfcemu
