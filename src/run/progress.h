// Progress: every progress line of a run ("* ..."), printed before and
// between the document's parts when the parameters carry a progress mark.
// Lines name profiles, hosts, destinations and parameters read from files:
// their control characters are shown as "?", and a line that stands inside a
// global run's open document is written as the document's form needs it.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "output/document_writer.h"
#include "profile/system_definition.h"
#include "rfc/session.h"

namespace poolmetrics {

constexpr std::string_view kProgramName = "PoolMetrics";
constexpr std::string_view kProgramVersion = "Vers 4.3 / 29.08.22";

class Progress {
 public:
  // `shown`: the parameters carry a progress mark. `start_time`: when the
  // run started.
  Progress(bool shown, std::time_t start_time);

  bool shown() const { return shown_; }

  // A single run, before its logon: the header line, the line that names
  // the system ("State=Processing") and the parameters ("State=Executing").
  void SingleRunStarts(std::string_view profile, const SystemDefinition& system, std::string_view parameters) const;
  // A global run, before its document: the header line and its parameters.
  void GlobalRunStarts(std::string_view parameters) const;
  // A blank line and a global run's system's line (SystemLine) with
  // " State=" and the state word, inside the open document.
  void SystemDone(const DocumentWriter& document, std::string_view line, std::string_view state) const;
  // A blank line and "* hh:mm:ss SAP PoolMetrics now processed...".
  void RunDone() const;
  // "* RFC-Library......: " + the library's file name and version, when the
  // NetWeaver library serves the run; the classic library has no
  // identification of its own, and its runs print no such line.
  void LibraryUsed(const RfcLibrary& library) const;

 private:
  bool shown_;
  std::time_t start_time_;
};

// State words of a global run's systems.
constexpr std::string_view kProcessedState = "Processed";
constexpr std::string_view kFailedState = "Rfc Failure";
constexpr std::string_view kTimeoutState = "Timeout";

// "* hh:mm:ss PRD.P00, host, PRD, 00, 100": the line that names a system,
// with the time of day now.
std::string SystemLine(std::string_view profile, const SystemDefinition& system);

// The lines a logon has to say: "* SapRfc.Ini.......: " + destination + "<"
// before the destination's ini file is copied, in every run; with progress
// marks, that a classic destination file was not used. In a global run they
// stand inside the open document, written as its form needs: the writer
// `open_document` names must outlive the events.
class LogonEvents final : public SessionEvents {
 public:
  explicit LogonEvents(bool show_progress, const DocumentWriter* open_document = nullptr)
      : show_progress_(show_progress), open_document_(open_document) {}
  void DestinationFileUsed(std::string_view destination) override;
  void ClassicDestinationFileNotUsed(std::string_view destination) override;

  // With progress marks, in place of a logon's lines: the system's answer
  // came from the answers that runs share, fetched at `fetched_time`.
  void CachedAnswerServed(std::string_view fetched_time);
  // With progress marks: the shared answers cannot be used (`why`), so the
  // run logs on as without them.
  void CacheUnused(std::string_view why);

 private:
  void Say(const std::string& line) const;

  bool show_progress_;
  const DocumentWriter* open_document_;
};

// The parameters as a single run's "State=Executing" line shows them:
// without the progress marks, and "(No Parameters)" when nothing is left.
std::string ShownParameters(std::string_view parameters);

}  // namespace poolmetrics
