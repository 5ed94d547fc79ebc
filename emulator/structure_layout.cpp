#include "structure_layout.h"

#include <algorithm>

#include "rfc/classic/rfc_api.h"

namespace rfcemu {

unsigned TypeAlignment(unsigned type) {
  switch (type) {
    case TYPINT: return 4;
    case TYPINT2: return 2;
    case TYPFLOAT: return 8;
    case TYPC:
    case TYPDATE:
    case TYPP:
    case TYPTIME:
    case TYPX:
    case TYPNUM:
    case TYPINT1: return 1;
    default: return 0;
  }
}

bool ComputeLayout(std::vector<LayoutElement>* elements, unsigned* row_length, std::string* err) {
  unsigned offset = 0;
  unsigned widest = 1;
  for (std::size_t i = 0; i < elements->size(); ++i) {
    LayoutElement& element = (*elements)[i];
    const unsigned alignment = TypeAlignment(element.type);
    if (alignment == 0) {
      *err = "element " + std::to_string(i + 1) + " (" + element.name + ") has unknown type " +
             std::to_string(element.type);
      return false;
    }
    if (element.length == 0) {
      *err = "element " + std::to_string(i + 1) + " (" + element.name + ") has length 0";
      return false;
    }
    offset = (offset + alignment - 1) / alignment * alignment;
    element.offset = offset;
    offset += element.length;
    widest = std::max(widest, alignment);
  }
  *row_length = (offset + widest - 1) / widest * widest;
  return true;
}

}  // namespace rfcemu
