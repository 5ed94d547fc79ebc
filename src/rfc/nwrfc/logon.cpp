#include "rfc/nwrfc/logon.h"

#include <string>

#include "base/file.h"
#include "base/plain_file_name.h"
#include "rfc/nwrfc/destination_entry.h"
#include "rfc/system_number.h"

namespace poolmetrics {
namespace {

// The system number as the classic library's logon reads it, written with
// two digits, as this library expects it.
std::string SystemNumberText(std::string_view text) {
  std::string number = std::to_string(SystemNumber(text));
  return number.size() < 2 ? "0" + number : number;
}

}  // namespace

LogonPlan PlanLogon(const LogonDescription& logon, bool has_entry, bool classic_file) {
  LogonPlan plan;
  auto add = [&](std::string_view name, std::string_view value) { plan.parameters.emplace_back(name, value); };
  if (has_entry) {
    // The entry gives the address; the profile the logon data. The
    // ",HOST=" and ",NO=" overrides are for the direct logon only, as with
    // the classic library's destination file.
    plan.route = LogonPlan::Route::kDestination;
    add("DEST", logon.destination);
  } else if (logon.mode == "R/2") {
    plan.route = LogonPlan::Route::kNoCounterpart;
    return plan;
  } else {
    plan.classic_file_not_used = classic_file;
    if (!logon.hostname.empty()) add("ASHOST", logon.hostname);
    add("SYSNR", SystemNumberText(logon.sysnr));
  }
  add("CLIENT", logon.client);
  add("USER", logon.user);
  add("PASSWD", logon.password);
  if (!logon.language.empty()) add("LANG", logon.language);
  return plan;
}

LogonPlan PlanLogon(const LogonDescription& logon, const std::string& ini_path) {
  // A destination that is no plain file name names no file of ours to look
  // at (the profile check refuses it before any logon anyway).
  bool plain = !logon.destination.empty() && IsPlainFileName(logon.destination);
  bool has_entry = false, classic_file = false;
  if (plain) {
    File ini = File::OpenRead(ini_path.c_str());
    has_entry = HasDestinationEntry(ini.get(), logon.destination);
    if (!has_entry) classic_file = CanOpen(("SapRfc." + std::string(logon.destination)).c_str());
  }
  return PlanLogon(logon, has_entry, classic_file);
}

}  // namespace poolmetrics
