// The progress lines that frame a run when the parameters ask for them.
#pragma once

#include <string>
#include <string_view>

#include "output/document_writer.h"
#include "profile/system_definition.h"
#include "rfc/session.h"
#include "base/console.h"
#include "run/run_failure.h"
#include "base/text.h"
#include "base/time_of_day.h"

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

// The lines a logon has to say: "* SapRfc.Ini.......: " + destination + "<"
// before the destination's ini file is copied. In a global run they stand
// inside the open document, written as its form needs.
class ProgressEvents final : public SessionEvents {
 public:
  explicit ProgressEvents(const DocumentWriter* open_document = nullptr) : open_document_(open_document) {}

  void DestinationFileUsed(std::string_view destination) override {
    std::string line = Concat({"* SapRfc.Ini.......: ", destination, "<"});
    PrintLine(open_document_ ? open_document_->Line(line) : line);
  }

 private:
  const DocumentWriter* open_document_;
};

}  // namespace poolmetrics
