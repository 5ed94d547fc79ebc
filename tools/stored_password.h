// The stored form of a typed password, as a profile's "Password...:" line
// carries it, and what a typed password must be for one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace poolmetrics {

// Why `password` cannot be stored ("the password must have 2 to 20
// characters", ...); none when it can.
std::optional<std::string> PasswordRefusal(std::string_view password);

// A stored form of `password` (which PasswordRefusal accepts), with a
// random key offset and filler, so that two forms of one password differ:
// printable where one can be found, else any form a profile line can carry.
// Empty when none can be made.
std::string MakeStoredPassword(std::string_view password);

// What a password read from a pipe has at its edges that was likely not
// meant as part of it: "a leading blank", "a trailing blank", "enclosing
// double quotes", "enclosing single quotes" (cmd's echo keeps the quotes and
// the blank before "|"). Each is kept in the password all the same.
std::vector<std::string> PasswordEdges(std::string_view password);

}  // namespace poolmetrics
