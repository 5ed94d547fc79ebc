#include "run/parallel_run.h"

#include <memory>
#include <string>

#include "base/console.h"
#include "base/text.h"
#include "run/child_process.h"
#include "run/deadline.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

// A child outlives its parent's deadline by this much before it ends
// itself: by then the parent has ended it, unless the parent was killed.
constexpr unsigned kChildGraceMilliseconds = 2000;

// A child's own deadline: should its parent be gone, it ends without a word.
class ChildDeadline final : public DeadlineHandler {
 public:
  int WriteLastWords() override { return 2; }
};

ChildTask TaskFor(const RunState& state, std::string_view name) {
  ChildTask task;
  task.mode = state.request.Mode;
  task.label_kind = state.LabelKind;
  task.times = state.request.Values.times;
  task.profile_directory = std::string(state.ProfileDirectory);
  task.name = std::string(name);
  task.parameters = std::string(state.request.ParameterText);
  if (state.Deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*state.Deadline - Clock::now()).count();
    task.milliseconds_left = static_cast<unsigned>(left > 0 ? left : 0) + kChildGraceMilliseconds;
  }
  return task;
}

// What a child gave, as the run prints it. A child that ended without its
// record (ended by a signal, say) had its system fail.
ListedSystemOutcome OutcomeOf(ChildReport& report) {
  if (report.outcome) return std::move(*report.outcome);
  ListedSystemOutcome failed;
  failed.read = report.line.has_value();
  failed.line = report.line.value_or("");
  failed.label = report.label.value_or("");
  return failed;
}

}  // namespace

ListingSchedule::ListingSchedule(std::size_t names, unsigned width)
    : finished_(names, false), width_(width > 0 ? width : 1) {}

std::optional<std::size_t> ListingSchedule::NextToStart() {
  if (waiting_ || running_ >= width_ || started_ >= finished_.size()) return std::nullopt;
  ++running_;
  return started_++;
}

void ListingSchedule::StartFailed(std::size_t index) {
  if (index + 1 != started_ || running_ == 0) return;
  --started_;
  --running_;
  waiting_ = running_ > 0;
}

void ListingSchedule::Finished(std::size_t index) {
  if (index >= finished_.size() || finished_[index]) return;
  finished_[index] = true;
  if (running_ > 0) --running_;
  waiting_ = false;
}

std::optional<std::size_t> ListingSchedule::NextToPrint() {
  if (printed_ >= finished_.size() || !finished_[printed_]) return std::nullopt;
  return printed_++;
}

int RunListingInParallel(RunState& state, ListingOutput& output, unsigned width) {
  // The parent never calls the RFC library and never waits without a limit,
  // so it keeps the deadline itself, and no watchdog is needed.
  SettleDeadline();

  std::vector<std::string_view> names;
  for (std::string_view listing = state.ServerListing; !listing.empty();) names.push_back(TakeNextName(listing));
  ListingSchedule schedule(names.size(), width);
  std::vector<std::unique_ptr<ChildProcess>> children(names.size());
  // A system whose child could not be started at all fails without one.
  std::vector<std::optional<ListedSystemOutcome>> unstarted(names.size());
  const std::string program = OwnProgramPath();

  for (;;) {
    while (std::optional<std::size_t> next = schedule.NextToStart()) {
      children[*next] = ChildProcess::Start(program, ChildArguments(TaskFor(state, names[*next])));
      if (children[*next]) continue;
      schedule.StartFailed(*next);
      if (schedule.running() > 0) break;  // tried again once a place is free
      schedule.NextToStart();
      ListedSystemOutcome failed;
      failed.read = true;
      failed.line = Concat({"* ", names[*next]});
      unstarted[*next] = std::move(failed);
      schedule.Finished(*next);
    }

    while (std::optional<std::size_t> next = schedule.NextToPrint()) {
      if (unstarted[*next]) {
        output.Finished(*unstarted[*next]);
        continue;
      }
      std::unique_ptr<ChildProcess> child = std::move(children[*next]);
      ChildReport report = ReadChildReport(child->output());
      Print(report.printed);
      // Ended by the RFC error handler: its block was the last it printed,
      // and the run ends there, as a sequential one does.
      if (!report.outcome && child->exit_status() == 1) return 1;
      output.Finished(OutcomeOf(report));
    }
    if (schedule.done()) break;

    if (state.Deadline && Clock::now() >= *state.Deadline) {
      // The first system not printed is in progress; what it printed so far
      // comes before its state line, as in a sequential run.
      if (ChildProcess* child = children[schedule.printed()].get()) {
        child->Kill();
        ChildReport report = ReadChildReport(child->output());
        Print(report.printed);
        if (report.line) output.InProgress(*report.line);
      }
      output.EndAtDeadline();
      return 0;  // the children still running end with their owners
    }

    std::vector<ChildProcess*> running;
    std::vector<std::size_t> indexes;
    for (std::size_t i = schedule.printed(); i < children.size(); ++i) {
      if (children[i] && !children[i]->ended()) {
        running.push_back(children[i].get());
        indexes.push_back(i);
      }
    }
    WaitForChildren(running, state.Deadline);
    for (std::size_t k = 0; k < running.size(); ++k)
      if (running[k]->ended()) schedule.Finished(indexes[k]);
  }
  output.End();
  return 0;
}

int RunListedSystemChild(const ChildTask& task, RfcLibrary& (*library)()) {
  RunState state;
  state.request.Mode = task.mode;
  SetParameters(state.request, task.parameters);
  state.request.Values.times = task.times;
  state.ProfileDirectory = task.profile_directory;
  state.LabelKind = task.label_kind;

  ChildDeadline deadline;
  DeadlineSettler settler;
  if (task.milliseconds_left)
    StartWatchdog(Clock::now() + std::chrono::milliseconds(*task.milliseconds_left), &deadline);

  ListedSystemOutcome outcome = QueryListedSystem(
      state, task.name, [library]() -> RfcLibrary& { return library(); },
      [](const std::string& line, const std::string& label) {
        // Out at once: should the deadline come during the logon, the parent
        // names the system.
        Print(ChildHeader(line, label));
        OutputDelivered();
      });
  if (outcome.block) throw RunFailure(std::move(*outcome.block));
  Print(ChildRecord(outcome));
  return 0;
}

}  // namespace poolmetrics
