// The names of a server listing: profile file names in the profile directory.
#pragma once

#include <string_view>

namespace poolmetrics {

// True when the listed `name` names a file in the profile directory or a
// sub-folder of it ("PRD.P00", "sub\PRD.P00", natively also "sub/PRD.P00").
// False for a name that would reach out of it or that no file can have: with
// a drive or a stream (any colon), starting with a backslash or slash, with a
// ".." component (or one of only dots and blanks that Windows would take for
// one), a device name, or no name at all.
bool StaysInProfileDirectory(std::string_view name);

}  // namespace poolmetrics
