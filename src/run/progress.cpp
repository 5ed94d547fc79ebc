#include "run/progress.h"

#include "base/console.h"
#include "base/text.h"
#include "base/time_of_day.h"

namespace poolmetrics {
namespace {

void PrintProgressLine(std::string_view line) { PrintAsideLine(LineText(line)); }

std::string SystemLineAt(std::string_view time, std::string_view profile, const SystemDefinition& s) {
  return Concat({"* ", time, " ", profile, ", ", s.Hostname, ", ", s.Destination, ", ", s.Sysnr, ", ", s.Client});
}

}  // namespace

std::string SystemLine(std::string_view profile, const SystemDefinition& system) {
  return SystemLineAt(TimeOfDay(), profile, system);
}

Progress::Progress(bool shown, std::time_t start_time) : shown_(shown), start_time_(start_time) {}

void Progress::SingleRunStarts(std::string_view profile, const SystemDefinition& system,
                               std::string_view parameters) const {
  if (!shown_) return;
  PrintProgressLine(Concat({"* ", TimeOfDay(start_time_), " SAP ", kProgramName, " ", kProgramVersion}));
  FixedText<9> now = TimeOfDay();
  // A line holds up to 123 characters.
  FixedText<124> line(SystemLineAt(now, profile, system) + " State=Processing");
  PrintProgressLine(line);
  line = Concat({"* ", now, " ", kProgramName, " - ", ShownParameters(parameters), " State=Executing"});
  PrintProgressLine(line);
}

void Progress::GlobalRunStarts(std::string_view parameters) const {
  if (!shown_) return;
  FixedText<9> started = TimeOfDay(start_time_);
  PrintProgressLine(Concat({"* ", started, " SAP ", kProgramName, " ", kProgramVersion}));
  // A global run shows its parameters up to " @".
  FixedText<124> line(Concat({"* ", started, " ", parameters.substr(0, parameters.find(" @")), " State=Executing"}));
  PrintProgressLine(line);
}

void Progress::SystemDone(const DocumentWriter& document, std::string_view line, std::string_view state) const {
  if (!shown_) return;
  // The state lines stand inside the document: in the XML modes a profile
  // named "R&D.P00" must not break it.
  PrintAsideLine(Concat({"\n", document.Line(line), " State=", state}));
}

void Progress::RunDone() const {
  if (shown_) PrintAsideLine(Concat({"\n* ", TimeOfDay(), " SAP ", kProgramName, " now processed..."}));
}

void Progress::LibraryUsed(const RfcLibrary& library) const {
  if (!shown_) return;
  std::string identification = library.Identification();
  if (!identification.empty()) PrintProgressLine(Concat({"* RFC-Library......: ", identification}));
}

void LogonEvents::DestinationFileUsed(std::string_view destination) {
  Say(Concat({"* SapRfc.Ini.......: ", destination, "<"}));
}

void LogonEvents::ClassicDestinationFileNotUsed(std::string_view destination) {
  if (show_progress_)
    Say(Concat({"* SapRfc.", destination, " not used: no DEST=", destination, " in sapnwrfc.ini, direct logon"}));
}

void LogonEvents::CachedAnswerServed(std::string_view fetched_time) {
  if (show_progress_) Say(Concat({"* Answer kept......: fetched ", fetched_time, ", no logon"}));
}

void LogonEvents::CacheUnused(std::string_view why) {
  if (show_progress_) Say(Concat({"* PoolMetrics.cache not used: ", why, ", logon as without it"}));
}

void LogonEvents::Say(const std::string& line) const {
  PrintAsideLine(open_document_ ? open_document_->Line(line) : line);
}

std::string ShownParameters(std::string_view parameters) {
  std::string_view text = parameters.substr(0, parameters.find('#'));
  text = text.substr(0, text.find('@'));
  if (text == "(Parameters " || text == "(No " || text.empty()) return "(No Parameters)";
  return std::string(text);
}

}  // namespace poolmetrics
