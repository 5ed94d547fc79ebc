// FixedText<N>: a text field of N bytes, that is at most N-1 characters and
// a terminating zero, as the run state's fields are defined. Whatever would
// not fit is cut off, never written past the field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace poolmetrics {

template <std::size_t N>
class FixedText {
  static_assert(N >= 2, "a field holds at least one character");

 public:
  static constexpr std::size_t kCapacity = N - 1;
  // The length in the smallest type that holds it: a call's figures are 168
  // fields of 16 bytes, which a length as wide as a pointer would make
  // nearly twice as large (doc/costs.md).
  using Length = std::conditional_t<(N <= 0x100), std::uint8_t,
                                    std::conditional_t<(N <= 0x10000), std::uint16_t, std::size_t>>;

  // Constant-initialised: a field at namespace scope costs nothing at start-up.
  constexpr FixedText() : data_{} {}
  FixedText(std::string_view text) { assign(text); }  // NOLINT: converts like a field assignment

  FixedText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }

  void assign(std::string_view text) {
    size_ = 0;
    append(text);
  }

  // Appends as much of `text` as still fits.
  FixedText& append(std::string_view text) {
    std::size_t n = text.size() < kCapacity - size_ ? text.size() : kCapacity - size_;
    if (n > 0) std::memmove(data_ + size_, text.data(), n);
    size_ = static_cast<Length>(size_ + n);
    data_[size_] = '\0';
    return *this;
  }
  FixedText& operator+=(std::string_view text) { return append(text); }
  FixedText& operator+=(char c) { return append(std::string_view(&c, 1)); }

  void clear() {
    size_ = 0;
    data_[0] = '\0';
  }

  // Cuts the text to its first `length` characters (no effect when shorter).
  void truncate(std::size_t length) {
    if (length < size_) size_ = static_cast<Length>(length);
    data_[size_] = '\0';
  }

  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  bool full() const { return size_ == kCapacity; }
  std::string_view view() const { return {data_, size_}; }
  operator std::string_view() const { return view(); }  // NOLINT: a field reads as text
  const char* c_str() const { return data_; }
  // Writable pointer for the RFC library, which takes `char*` and only reads.
  char* data() { return data_; }
  char& operator[](std::size_t i) { return data_[i]; }
  char operator[](std::size_t i) const { return data_[i]; }

 private:
  char data_[N];  // only data_[0..size_] is ever read
  Length size_ = 0;
};

template <std::size_t N>
bool operator==(const FixedText<N>& a, std::string_view b) {
  return a.view() == b;
}
template <std::size_t N>
bool operator!=(const FixedText<N>& a, std::string_view b) {
  return a.view() != b;
}

}  // namespace poolmetrics
