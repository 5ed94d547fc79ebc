#include "base/wipe.h"

namespace poolmetrics {

void WipeBytes(void* data, std::size_t size) {
  // Writes through a volatile pointer are the program's observable
  // behaviour: they stay, unlike a memset of memory that is freed next.
  volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = 0;
}

}  // namespace poolmetrics
