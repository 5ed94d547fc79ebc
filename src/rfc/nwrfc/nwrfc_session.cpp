#include "rfc/nwrfc/nwrfc_session.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "base/file.h"
#include "base/wipe.h"
#include "rfc/nwrfc/call.h"
#include "rfc/nwrfc/ini_path.h"
#include "rfc/nwrfc/logon.h"
#include "rfc/library_reason.h"
#include "rfc/nwrfc/sap_text.h"

namespace poolmetrics {
namespace {

// The trace file of this library in the working directory: dev_rfc.log, or
// dev_rfc.trc of older patch levels.
constexpr const char* kTraceLog = "dev_rfc.log";
constexpr const char* kTraceTrc = "dev_rfc.trc";

// Whether a failed logon's `error` is of the program's own side: only a
// logon failure and a communication failure (and an ABAP failure, should a
// logon give one) are SAP's or the network's answer. The library's own
// groups (EXTERNAL_*) cover a destination missing from sapnwrfc.ini, a
// parameter it cannot use (RFC_INVALID_PARAMETER) and its own trouble.
bool LocalOpenError(const nwrfc::RFC_ERROR_INFO& error) {
  switch (error.group) {
    case nwrfc::LOGON_FAILURE:
    case nwrfc::COMMUNICATION_FAILURE:
    case nwrfc::ABAP_APPLICATION_FAILURE:
    case nwrfc::ABAP_RUNTIME_FAILURE: return false;
    default: break;
  }
  return error.code != nwrfc::RFC_LOGON_FAILURE && error.code != nwrfc::RFC_COMMUNICATION_FAILURE;
}

class NetWeaverSession final : public Session {
 public:
  NetWeaverSession(const NwRfc& rfc, nwrfc::RFC_CONNECTION_HANDLE connection) : rfc_(rfc), connection_(connection) {}
  // Also after a failure that made the library close the connection itself:
  // its handle is still to be given back.
  ~NetWeaverSession() override {
    nwrfc::RFC_ERROR_INFO ignored;
    rfc_.RfcCloseConnection(connection_, &ignored);
  }
  NetWeaverSession(const NetWeaverSession&) = delete;
  NetWeaverSession& operator=(const NetWeaverSession&) = delete;

  CallOutcome CallSummaryStatistic() override { return poolmetrics::CallSummaryStatistic(rfc_, connection_); }

 private:
  const NwRfc& rfc_;
  nwrfc::RFC_CONNECTION_HANDLE connection_;
};

class NetWeaverLibrary final : public RfcLibrary {
 public:
  NetWeaverLibrary(const NwRfc& rfc, std::string file_name, std::string program_directory)
      : rfc_(rfc), file_name_(std::move(file_name)), program_directory_(std::move(program_directory)) {}

  OpenOutcome Open(const LogonDescription& logon, SessionEvents& events) override {
    // Once, before the first logon: every later one reads the same file.
    if (!ini_path_) ini_path_ = ChooseIniPath(rfc_, program_directory_);
    LogonPlan plan = PlanLogon(logon, *ini_path_);
    if (plan.route == LogonPlan::Route::kNoCounterpart) {
      OpenFailure failure;
      failure.unsupported_mode = true;
      return failure;
    }
    if (plan.classic_file_not_used) events.ClassicDestinationFileNotUsed(logon.destination);

    // The texts, then the records that point into them.
    std::vector<SapText> texts;
    texts.reserve(2 * plan.parameters.size());
    for (const auto& [name, value] : plan.parameters) {
      texts.push_back(ToSapText(name));
      texts.push_back(ToSapText(value));
    }
    std::vector<nwrfc::RFC_CONNECTION_PARAMETER> parameters;
    for (std::size_t i = 0; i < texts.size(); i += 2) parameters.push_back({texts[i].c_str(), texts[i + 1].c_str()});

    nwrfc::RFC_ERROR_INFO error{};
    std::fflush(stdout);  // what the library prints itself comes after our lines
    nwrfc::RFC_CONNECTION_HANDLE connection =
        rfc_.RfcOpenConnection(parameters.data(), static_cast<unsigned>(parameters.size()), &error);
    // The library keeps no text of the logon: its copies, the password's
    // among them, are wiped at once.
    for (auto& parameter : plan.parameters) WipeText(parameter.second);
    for (SapText& text : texts) WipeText(text);
    if (!connection) {
      constexpr std::size_t kKey = sizeof error.key / sizeof error.key[0];
      constexpr std::size_t kMessage = sizeof error.message / sizeof error.message[0];
      return OpenFailure{std::nullopt, false,
                         LibraryReason(FromSapText(error.key, kKey), FromSapText(error.message, kMessage)),
                         LocalOpenError(error)};
    }
    return std::make_unique<NetWeaverSession>(rfc_, connection);
  }

  std::string TraceFile() const override { return CanOpen(kTraceLog) ? kTraceLog : kTraceTrc; }

  std::string Identification() const override {
    unsigned major = 0, minor = 0, patch = 0;
    const nwrfc::SAP_UC* version = rfc_.RfcGetVersion(&major, &minor, &patch);
    std::string text = FromSapText(version, 128);
    if (text.empty()) text = std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
    return file_name_ + ", NetWeaver RFC " + text;
  }

  std::string FileName() const override { return file_name_; }

  // The library speaks UTF-16: ToSapText hands it every character of a
  // UTF-8 text as it is.
  bool CarriesText(std::string_view) const override { return true; }

 private:
  const NwRfc rfc_;  // its sessions refer to it: each ends before the library
  std::string file_name_;
  std::string program_directory_;
  std::optional<std::string> ini_path_;  // the sapnwrfc.ini the library reads, once chosen
};

}  // namespace

std::unique_ptr<RfcLibrary> MakeNetWeaverLibrary(const NwRfc& rfc, std::string file_name,
                                                 std::string program_directory) {
  return std::make_unique<NetWeaverLibrary>(rfc, std::move(file_name), std::move(program_directory));
}

std::unique_ptr<RfcLibrary> NetWeaverRfcLibrary(OperationLookup& lookup, const std::string& program_directory) {
  NwRfc rfc = FindNwRfc(lookup);
  if (!lookup.failure().empty()) return nullptr;
  return MakeNetWeaverLibrary(rfc, kNwRfcLibraryFile, program_directory);
}

}  // namespace poolmetrics
