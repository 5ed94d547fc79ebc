// Row layout of an installed structure: the library, not the caller, places
// the elements, by natural alignment as the C compiler of the library's home
// platform lays out the matching record.
#pragma once

#include <string>
#include <vector>

namespace rfcemu {

struct LayoutElement {
  std::string name;
  unsigned type = 0;    // TYPC, TYPP, ... (rfc_api.h)
  unsigned length = 0;  // bytes
  unsigned decimals = 0;
  unsigned offset = 0;  // computed by ComputeLayout
};

// Alignment of a basic type: TYPINT 4, TYPINT2 2, TYPFLOAT 8, every
// character, packed or one-byte type 1. Returns 0 for an unknown code.
unsigned TypeAlignment(unsigned type);

// Sets every element's offset and returns the row length, rounded up to the
// largest alignment among the elements. Fails with a message for an unknown
// type code or a zero length.
bool ComputeLayout(std::vector<LayoutElement>* elements, unsigned* row_length, std::string* err);

}  // namespace rfcemu
