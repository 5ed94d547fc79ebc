// The NetWeaver library's logon to the system a profile describes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rfc/session.h"

namespace poolmetrics {

// How the library is to log on, decided from the profile, the library's
// sapnwrfc.ini and the classic destination file of the working directory
// before the library gets control.
struct LogonPlan {
  enum class Route {
    kDestination,    // sapnwrfc.ini has the destination: DEST and the logon data
    kDirect,         // ASHOST and SYSNR from the profile (and its overrides)
    kNoCounterpart,  // the R/2 mode: this library has no gateway logon
  };
  Route route = Route::kDirect;
  // A classic "SapRfc." + destination file lies in the working directory
  // but is not what this library reads.
  bool classic_file_not_used = false;
  // The connection parameters (name, value), in the order they are passed.
  std::vector<std::pair<std::string_view, std::string>> parameters;
};

// `has_entry`: sapnwrfc.ini has an entry for the destination;
// `classic_file`: a classic "SapRfc." + destination file exists.
LogonPlan PlanLogon(const LogonDescription& logon, bool has_entry, bool classic_file);

// The plan for `logon` with the sapnwrfc.ini at `ini_path`, the one the
// library reads (ini_path.h), and the working directory's classic file.
LogonPlan PlanLogon(const LogonDescription& logon, const std::string& ini_path);

}  // namespace poolmetrics
