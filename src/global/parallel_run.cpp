#include "global/parallel_run.h"

#include <string>

#include "base/console.h"
#include "base/text.h"
#include "global/child_report.h"
#include "global/child_task.h"
#include "global/listed_system.h"

namespace poolmetrics {
namespace {

// A child outlives its parent's deadline by this much before it ends
// itself: by then the parent has ended it, unless the parent was killed.
constexpr unsigned kChildGraceMilliseconds = 2000;

ChildTask TaskFor(const ListingTask& listing, std::optional<Clock::time_point> until) {
  ChildTask task{listing, std::nullopt};
  if (until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*until - Clock::now()).count();
    task.milliseconds_left = static_cast<unsigned>(left > 0 ? left : 0) + kChildGraceMilliseconds;
  }
  return task;
}

// The run ends at an RFC error, as a sequential run does: with its report
// (the block, or PRTG's error document), out before the children are ended.
int EndWithRfcError(const ErrorBlock& block) {
  ReportErrorBlock(block);
  OutputDelivered();
  return 1;
}

}  // namespace

int RunListingInParallel(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                         unsigned width, RfcLibrary& library, Deadline& deadline) {
  ProcessChildSet children;  // its children end with it at the latest
  ParallelRun run(task, names, output, width, library, deadline, children);
  return run.Run();
}

ParallelRun::ParallelRun(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                         unsigned width, RfcLibrary& library, Deadline& deadline, ChildSet& children)
    : task_(task),
      names_(names),
      output_(output),
      library_(library),
      deadline_(deadline),
      children_(children),
      until_(deadline.when()),
      schedule_(names.size(), width),
      systems_(names.size() < width ? names.size() : width),
      answers_(names.size()),
      arguments_(ChildArguments(TaskFor(task, until_))) {}

int ParallelRun::Run() {
  for (;;) {
    if (std::optional<int> status = HandOut()) return *status;
    if (std::optional<int> status = PrintReady()) return *status;
    if (schedule_.done()) return End();
    if (DeadlinePassed()) return EndAtDeadline();
    children_.Wait(Working(), until_);
    Collect();
  }
}

std::optional<int> ParallelRun::HandOut() {
  for (std::size_t place = 0; place < systems_.size(); ++place) {
    if (systems_[place]) continue;
    std::optional<std::size_t> next = schedule_.NextToStart();
    if (!next) return std::nullopt;
    if (Give(place, *next)) continue;
    schedule_.StartFailed(*next);
    if (schedule_.running() > 0) return std::nullopt;  // tried again once a place is free
    if (std::optional<int> status = HandleHere(*next)) return status;
  }
  return std::nullopt;
}

// Sends the name of system `index` to the place's child, started first
// where there is none or its last one ended; true when the child took it.
// A place whose child did not is emptied.
bool ParallelRun::Give(std::size_t place, std::size_t index) {
  bool ready = children_.Running(place) || children_.Start(place, arguments_);
  if (ready && children_.Send(place, Concat({names_[index], "\n"}))) {
    systems_[place] = index;
    return true;
  }
  children_.Drop(place);
  return false;
}

void ParallelRun::Collect() {
  for (std::size_t place = 0; place < systems_.size(); ++place) {
    if (!systems_[place]) continue;
    std::size_t index = *systems_[place];
    ChildReport report = ReadChildReport(children_.Output(place));
    if (!report.finished() && children_.Running(place)) continue;
    // An RFC error ends the run at its system, as in a sequential run: none
    // after it is started.
    if (report.EndsRun()) schedule_.StopAfter(index);
    schedule_.Finished(index);
    answers_[index] = children_.TakeOutput(place);
    systems_[place].reset();
    if (report.EndsRun() || !report.finished()) children_.Drop(place);
  }
}

std::optional<int> ParallelRun::PrintReady() {
  while (std::optional<std::size_t> next = schedule_.NextToPrint())
    if (std::optional<int> status = PrintAnswer(*next)) return status;
  return std::nullopt;
}

// What the child of system `index` wrote becomes what the run prints: the
// one place where a child's report turns into the system's outcome. A
// system whose child ended without a record (ended from outside, say,
// whatever its exit code) failed.
std::optional<int> ParallelRun::PrintAnswer(std::size_t index) {
  ChildReport report = ReadChildReport(answers_[index]);
  answers_[index].clear();
  PrintAside(report.printed);
  if (report.block) return EndWithRfcError(*report.block);
  ListedSystem system;
  if (report.system)
    system = std::move(*report.system);
  else if (report.line)
    system.profile = ListedProfile{*report.line, report.label.value_or(""), "", false};
  if (const auto* block = std::get_if<ErrorBlock>(&system.outcome)) return EndWithRfcError(*block);
  output_.Finished(system);
  return std::nullopt;
}

std::optional<int> ParallelRun::HandleHere(std::size_t index) {
  if (std::optional<int> status = PrintReady()) return status;
  schedule_.NextToStart();
  schedule_.Finished(index);
  schedule_.NextToPrint();  // it prints now
  // The deadline is kept by the watchdog meanwhile, as in a sequential run:
  // the query's steps are the deadline's.
  ListedSystem system = QueryListedSystem(
      task_, names_[index], library_,
      [this](const std::string& line, const std::string&) { output_.InProgress(line); }, deadline_);
  if (const auto* block = std::get_if<ErrorBlock>(&system.outcome)) return EndWithRfcError(*block);
  output_.Finished(system);
  return std::nullopt;
}

bool ParallelRun::DeadlinePassed() const { return until_ && Clock::now() >= *until_; }

int ParallelRun::EndAtDeadline() {
  for (std::size_t place = 0; place < systems_.size(); ++place) {
    if (systems_[place] != schedule_.printed()) continue;
    children_.Kill(place);
    ChildReport report = ReadChildReport(children_.Output(place));
    PrintAside(report.printed);
    if (report.block) return EndWithRfcError(*report.block);
    if (report.line) output_.InProgress(*report.line);
  }
  output_.EndAtDeadline();
  OutputDelivered();  // out before the children are ended
  return 0;           // the children end with their set
}

int ParallelRun::End() {
  output_.End();
  OutputDelivered();
  children_.CloseInputs();  // their end: each child ends
  return 0;
}

std::vector<std::size_t> ParallelRun::Working() const {
  std::vector<std::size_t> places;
  for (std::size_t place = 0; place < systems_.size(); ++place)
    if (systems_[place]) places.push_back(place);
  return places;
}

}  // namespace poolmetrics
