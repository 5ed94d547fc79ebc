// The row layout of the interface's structures in the classic library's
// memory: natural alignment, as the library computes it from the element
// lists. The program computes the same layout here and is built against the
// interface's row lengths, so a drift in either stops the build.
#pragma once

#include "rfc/function_interface.h"

namespace poolmetrics {

constexpr unsigned AlignmentOf(FieldType type) { return type == FieldType::kInt ? 4 : 1; }

constexpr unsigned AlignUp(unsigned offset, unsigned alignment) {
  return (offset + alignment - 1) / alignment * alignment;
}

// The offset of element `index` under natural alignment.
constexpr unsigned ElementOffset(const Structure& s, unsigned index) {
  unsigned offset = 0;
  for (unsigned i = 0;; ++i) {
    offset = AlignUp(offset, AlignmentOf(s.elements[i].type));
    if (i == index) return offset;
    offset += s.elements[i].length;
  }
}

// The row length under natural alignment: the end of the last element,
// rounded up to the largest alignment of the structure.
constexpr unsigned ComputedRowLength(const Structure& s) {
  unsigned largest = 1;
  for (unsigned i = 0; i < s.count; ++i)
    if (AlignmentOf(s.elements[i].type) > largest) largest = AlignmentOf(s.elements[i].type);
  return AlignUp(ElementOffset(s, s.count - 1) + s.elements[s.count - 1].length, largest);
}

// The offset of a field by name; a name that is not in the structure does
// not compile where the offset is a constant.
constexpr unsigned FieldOffset(StructureId id, std::string_view field) {
  const Structure& s = StructureOf(id);
  for (unsigned i = 0; i < s.count; ++i)
    if (s.elements[i].name == field) return ElementOffset(s, i);
  throw "no such field";
}

constexpr bool LayoutsMatchTheInterface() {
  for (const Structure& s : kStructures)
    if (ComputedRowLength(s) != s.row_length) return false;
  return true;
}
static_assert(LayoutsMatchTheInterface(), "a structure's natural layout differs from its row length");

}  // namespace poolmetrics
