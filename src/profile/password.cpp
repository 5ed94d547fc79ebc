#include "profile/password.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kAlphabet = "01234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Key byte k, counting from 1 as the stored form's description does.
char KeyByte(std::size_t k) { return static_cast<char>(kPasswordKey[k - 1]); }

// Body position (from 1) of block character i (from 1): the block takes the
// body characters 1, 20, 2, 19, ... alternately from the front and the back.
constexpr std::size_t BodyPositionOf(std::size_t i) {
  return (i % 2 == 1) ? (i + 1) / 2 : kPasswordBlockLength + 1 - i / 2;
}

int DigitValue(char c) { return IsDigit(c) ? c - '0' : 0; }

}  // namespace

int PasswordCheckDigit(std::string_view block) {
  unsigned sum = 0;
  for (char c : block)
    if (kAlphabet.find(c) != std::string_view::npos) sum += static_cast<unsigned char>(c);
  return static_cast<int>(sum % 10);
}

DecodedPassword DecodeStoredPassword(std::string_view stored, bool stop_at_form_fault) {
  DecodedPassword result;
  char head[4] = {};
  std::size_t head_size = stored.size() < 4 ? stored.size() : 4;
  for (std::size_t k = 1; k <= head_size; ++k) head[k - 1] = static_cast<char>(stored[k - 1] ^ KeyByte(k));

  result.form_ok = stored.size() == kStoredPasswordLength && head_size == 4 && IsDigit(head[0]) && IsDigit(head[1]) &&
                   IsDigit(head[2]) && IsDigit(head[3]);
  if (!result.form_ok && stop_at_form_fault) return result;

  // After a form fault (listing mode only) a head character that is not a
  // digit reads as 0: the definition is invalid whatever follows.
  int offset = DigitValue(head[1]);
  std::size_t length = static_cast<std::size_t>(DigitValue(head[2]) * 10 + DigitValue(head[3]));

  char body[kPasswordBlockLength] = {};
  std::string_view stored_body = From(stored, 4).substr(0, kPasswordBlockLength);
  for (std::size_t i = 1; i <= stored_body.size(); ++i)
    body[i - 1] = static_cast<char>(stored_body[i - 1] ^ KeyByte(static_cast<std::size_t>(offset) + i));

  // A body character that decodes to the zero byte is left out of the block.
  FixedText<kPasswordBlockLength + 1> block;
  for (std::size_t i = 1; i <= kPasswordBlockLength; ++i) {
    char c = body[BodyPositionOf(i) - 1];
    if (c != '\0') block += c;
  }

  result.check_ok = PasswordCheckDigit(block) == DigitValue(head[0]) && IsDigit(head[0]);
  if (result.check_ok) result.plain = Head(block, length);
  return result;
}

std::string EncodeStoredPassword(std::string_view password, int offset, std::string_view filler) {
  if (password.size() > kPasswordBlockLength || offset < 0 || offset > 9 ||
      password.size() + filler.size() < kPasswordBlockLength)
    return {};
  std::string block(password);
  block += filler.substr(0, kPasswordBlockLength - password.size());

  std::string stored(kStoredPasswordLength, ' ');
  const char head[4] = {static_cast<char>('0' + PasswordCheckDigit(block)), static_cast<char>('0' + offset),
                        static_cast<char>('0' + password.size() / 10), static_cast<char>('0' + password.size() % 10)};
  for (std::size_t k = 1; k <= 4; ++k) stored[k - 1] = static_cast<char>(head[k - 1] ^ KeyByte(k));
  for (std::size_t i = 1; i <= kPasswordBlockLength; ++i) {
    std::size_t position = BodyPositionOf(i);
    stored[4 + position - 1] = static_cast<char>(block[i - 1] ^ KeyByte(static_cast<std::size_t>(offset) + position));
  }
  for (char c : stored)
    if (c == '\0' || c == '\r' || c == '\n') return {};
  return stored;
}

}  // namespace poolmetrics
