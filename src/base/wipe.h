// Wiping a secret (a password and its copies) from memory before the memory
// goes back: whatever reads the process's memory later (a dump, a debugger,
// the next owner of a freed block) finds zeros in its place.
#pragma once

#include <cstddef>
#include <string>

#include "base/fixed_text.h"

namespace poolmetrics {

// Sets the `size` bytes at `data` to zero, through writes the compiler keeps
// although nothing reads the bytes afterwards.
void WipeBytes(void* data, std::size_t size);

// Zeros every unit `text` holds or held in its buffer (its whole capacity),
// then empties it. The buffer stays the string's own.
template <typename Char>
void WipeText(std::basic_string<Char>& text) {
  text.resize(text.capacity());  // within the capacity: the same buffer
  WipeBytes(text.data(), text.size() * sizeof(Char));
  text.clear();
}

// Zeros the whole field, then empties it.
template <std::size_t N>
void WipeText(FixedText<N>& text) {
  WipeBytes(text.data(), N);
  text.clear();
}

}  // namespace poolmetrics
