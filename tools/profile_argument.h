// The profile argument of a PoolMetrics command line, as the program reads
// it, for the commands that name a profile the same way.
#pragma once

#include <string>

#include "run/request.h"

namespace poolmetrics {

// What PoolMetrics reads from the profile argument `name` alone: the file
// name (".P00" added to a name without a three-character extension) and the
// directory given with it.
Request ProfileRequest(const char* name);

// The profile's path as the argument gives it: directory and file name.
std::string GivenProfilePath(const Request& request);

// Why the argument names no profile of one system (the global sensor file,
// a name too long for the program); empty when it names one.
std::string NoSystemProfile(const Request& request);

}  // namespace poolmetrics
