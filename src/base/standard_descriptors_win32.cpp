#include "base/standard_descriptors.h"

namespace poolmetrics {

// Nothing to do on Windows: the C runtime marks its descriptors 0, 1 and 2
// as taken at start-up, whether or not a handle stands behind them, so no
// file opened later can get one of their numbers. The program's own files
// are Windows handles (the standard handles are never reused either).
void EnsureStandardDescriptors() {}

}  // namespace poolmetrics
