#include "rfc/classic/classic_session.h"

#include "rfc/classic/call.h"
#include "rfc/classic/classic_library.h"
#include "rfc/classic/error_handler.h"
#include "rfc/classic/library_text.h"
#include "rfc/classic/logon.h"
#include "rfc/trace_hint.h"

namespace poolmetrics {
namespace {

class ClassicSession final : public Session {
 public:
  ClassicSession(const ClassicRfc& rfc, InstalledStructures& installed) : rfc_(rfc), installed_(installed) {}
  // The logon's record goes after the connection is closed.
  ~ClassicSession() override {
    if (handle_ != 0) rfc_.RfcClose(handle_);
  }
  ClassicSession(const ClassicSession&) = delete;
  ClassicSession& operator=(const ClassicSession&) = delete;

  // Logs on; the session serves once the result has a handle.
  ClassicLogon LogOn(const LogonDescription& logon, SessionEvents& events) {
    ClassicLogon opened = OpenConnection(rfc_, logon, events, record_);
    handle_ = opened.handle;
    return opened;
  }

  CallOutcome CallSummaryStatistic() override {
    return poolmetrics::CallSummaryStatistic(rfc_, installed_, handle_);
  }

 private:
  const ClassicRfc& rfc_;
  InstalledStructures& installed_;
  LogonRecord record_;
  std::uint32_t handle_ = 0;
};

class ClassicLibrary final : public RfcLibrary {
 public:
  explicit ClassicLibrary(const ClassicRfc& rfc) : rfc_(rfc) {}

  OpenOutcome Open(const LogonDescription& logon, SessionEvents& events) override {
    // Anew for every system: the handler is the program's own, whatever the
    // library did since.
    InstallRfcErrorHandler(rfc_);
    // The session first: the library may point into its logon record until
    // the connection is closed.
    auto session = std::make_unique<ClassicSession>(rfc_, installed_);
    ClassicLogon opened = session->LogOn(logon, events);
    if (opened.handle == 0) return OpenFailure{std::nullopt, false, std::move(opened.reason), opened.local};
    return OpenOutcome(std::move(session));
  }

  std::string FileName() const override { return kRfcLibraryFile; }
  std::string TraceFile() const override { return kTraceFile; }
  bool CarriesText(std::string_view text) const override { return InLibraryCodePage(text).has_value(); }

 private:
  const ClassicRfc rfc_;  // its sessions and the error handler refer to it
  InstalledStructures installed_;
};

}  // namespace

std::unique_ptr<RfcLibrary> ClassicRfcLibrary(OperationLookup& lookup, const std::string&) {
  ClassicRfc rfc = FindClassicRfc(lookup);
  if (!lookup.failure().empty()) return nullptr;
  return std::make_unique<ClassicLibrary>(rfc);
}

}  // namespace poolmetrics
