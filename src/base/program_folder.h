// The folder that holds the running program: where an installation keeps
// what belongs to it (the RFC library, sapnwrfc.ini, the answer store).
// (program_folder_posix.cpp, program_folder_win32.cpp)
#pragma once

#include <string>

namespace poolmetrics {

// The directory that holds the running program, with a trailing separator,
// or empty when it cannot be told.
std::string ProgramDirectory();

}  // namespace poolmetrics
