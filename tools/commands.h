// The commands of PoolMetricsProfile. Each returns the process's exit
// status: 0 when it did what it was asked, 1 otherwise.
#pragma once

#include <string_view>

#include "profile/system_definition.h"

namespace poolmetrics {

// encode: reads one password (typed hidden at a terminal, else a line of
// standard input) and prints its stored form.
int EncodeCommand();

// check FILE: reads the profile as a global run does and says every fault
// it finds, or the line "FILE: valid profile of DEST (client C, user U)".
int CheckCommand(const char* path, UserAndPassword logon);

// test NAME: logs on with the profile that a run of PoolMetrics with NAME
// would read, calls the function module once and says what it reached, or
// why not and what to check.
int TestCommand(const char* name);

// new NAME: asks for a profile's values and writes it as the new file NAME
// (".P00" added as the program adds it), then checks it as check does.
int NewCommand(const char* name);

}  // namespace poolmetrics
