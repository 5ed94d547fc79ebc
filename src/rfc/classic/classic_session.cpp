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
  ClassicSession(const ClassicRfc& rfc, std::uint32_t handle) : rfc_(rfc), handle_(handle) {}
  ~ClassicSession() override { rfc_.RfcClose(handle_); }
  ClassicSession(const ClassicSession&) = delete;
  ClassicSession& operator=(const ClassicSession&) = delete;

  CallOutcome CallSummaryStatistic() override { return poolmetrics::CallSummaryStatistic(rfc_, handle_); }

 private:
  const ClassicRfc& rfc_;
  std::uint32_t handle_;
};

class ClassicLibrary final : public RfcLibrary {
 public:
  explicit ClassicLibrary(const ClassicRfc& rfc) : rfc_(rfc) {}

  OpenOutcome Open(const LogonDescription& logon, SessionEvents& events) override {
    // Anew for every system: the handler is the program's own, whatever the
    // library did since.
    InstallRfcErrorHandler(rfc_);
    ClassicLogon opened = OpenConnection(rfc_, logon, events);
    if (opened.handle == 0) return OpenFailure{std::nullopt, false, std::move(opened.reason), opened.local};
    return std::make_unique<ClassicSession>(rfc_, opened.handle);
  }

  std::string FileName() const override { return kRfcLibraryFile; }
  std::string TraceFile() const override { return kTraceFile; }
  bool CarriesText(std::string_view text) const override { return InLibraryCodePage(text).has_value(); }

 private:
  const ClassicRfc& rfc_;
};

}  // namespace

RfcLibrary* ClassicRfcLibrary(std::string* failure) {
  const ClassicRfc* rfc = LoadClassicRfc(failure);
  if (!rfc) return nullptr;
  // Lives as long as the process, as the library itself.
  static ClassicLibrary* library = new ClassicLibrary(*rfc);
  return library;
}

}  // namespace poolmetrics
