// The standard descriptors 0, 1 and 2 of the process.
#pragma once

namespace poolmetrics {

// Called first thing at start-up. A process started with standard input,
// output or error closed would hand that number to the next file it opens,
// and what the program prints would land in that file (the lock file, the
// destination ini file). Each one that is closed is opened on the null
// device, so that it stays taken.
void EnsureStandardDescriptors();

}  // namespace poolmetrics
