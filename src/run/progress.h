// The progress lines that frame a run when the parameters ask for them.
#pragma once

#include <string>
#include <string_view>

#include "output/document_writer.h"
#include "profile/system_definition.h"
#include "rfc/session.h"
#include "run/console.h"
#include "run/run_failure.h"
#include "run/text.h"
#include "run/time_of_day.h"

namespace poolmetrics {

constexpr std::string_view kProgramName = "PoolMetrics";
constexpr std::string_view kProgramVersion = "Vers 4.3 / 29.08.22";

// "* hh:mm:ss SAP PoolMetrics Vers ...", the first progress line of a run.
inline std::string HeaderLine(std::string_view start_time) {
  return Concat({"* ", start_time, " SAP ", kProgramName, " ", kProgramVersion});
}

// "* hh:mm:ss PRD.P00, host, PRD, 00, 100": the line that names a system.
inline std::string SystemLine(std::string_view time, std::string_view profile, const SystemDefinition& s) {
  return Concat({"* ", time, " ", profile, ", ", s.Hostname, ", ", s.Destination, ", ", s.Sysnr, ", ", s.Client});
}

// Prints a progress line. The lines name profiles, hosts, destinations and
// parameters read from files: their control characters are shown as "?".
inline void PrintProgressLine(std::string_view line) { PrintLine(LineText(line)); }

// A blank line and "* hh:mm:ss SAP PoolMetrics now processed...", the last.
inline void PrintDoneLine() { PrintLine(Concat({"\n* ", TimeOfDay(), " SAP ", kProgramName, " now processed..."})); }

// "* RFC-Library......: " + the library's file name and version, when the
// NetWeaver library serves the run; runs through the classic library print
// no such line, as they never did.
inline void PrintLibraryLine(const RfcLibrary& library) {
  std::string identification = library.Identification();
  if (!identification.empty()) PrintProgressLine(Concat({"* RFC-Library......: ", identification}));
}

// The lines a logon has to say: "* SapRfc.Ini.......: " + destination + "<"
// before the destination's ini file is copied, in every run; with progress
// marks, that a classic destination file was not used. In a global run they
// stand inside the open document, written as its form needs.
class ProgressEvents final : public SessionEvents {
 public:
  explicit ProgressEvents(bool show_progress, const DocumentWriter* open_document = nullptr)
      : show_progress_(show_progress), open_document_(open_document) {}

  void DestinationFileUsed(std::string_view destination) override {
    Say(Concat({"* SapRfc.Ini.......: ", destination, "<"}));
  }

  void ClassicDestinationFileNotUsed(std::string_view destination) override {
    if (show_progress_)
      Say(Concat({"* SapRfc.", destination, " not used: no DEST=", destination, " in sapnwrfc.ini, direct logon"}));
  }

 private:
  void Say(const std::string& line) const { PrintLine(open_document_ ? open_document_->Line(line) : line); }

  bool show_progress_;
  const DocumentWriter* open_document_;
};

}  // namespace poolmetrics
