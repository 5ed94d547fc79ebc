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

ChildTask TaskFor(const RunState& state) {
  ChildTask task;
  task.mode = state.request.Mode;
  task.label_kind = state.LabelKind;
  task.times = state.request.Values.times;
  task.profile_directory = std::string(state.ProfileDirectory);
  task.parameters = std::string(state.request.ParameterText);
  if (state.Deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*state.Deadline - Clock::now()).count();
    task.milliseconds_left = static_cast<unsigned>(left > 0 ? left : 0) + kChildGraceMilliseconds;
  }
  return task;
}

// A place of the run: a child process and the listed system it works on.
struct Place {
  std::unique_ptr<ChildProcess> child;
  std::optional<std::size_t> system;
};

// What a system's child gave: its output, and whether the child ended
// without finishing it (in the RFC error handler: status 1).
struct Answer {
  std::string output;
  bool child_ended = false;
  int exit_status = 0;
};

// What a system gave, as the run prints it. A system whose child ended
// without its record (ended by a signal, say) failed.
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

void ListingSchedule::StopAfter(std::size_t index) {
  if (index + 1 < finished_.size()) finished_.resize(index + 1);
  if (started_ > finished_.size()) started_ = finished_.size();
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
  std::vector<Place> places(names.size() < width ? names.size() : width);
  std::vector<std::optional<Answer>> answers(names.size());
  const std::string program = OwnProgramPath();
  const std::vector<std::string> arguments = ChildArguments(TaskFor(state));

  // Hands the next names to the places that are free, starting a child
  // where there is none (or its last one ended).
  auto hand_out = [&] {
    for (Place& place : places) {
      if (place.system) continue;
      std::optional<std::size_t> next = schedule.NextToStart();
      if (!next) return;
      if (!place.child || place.child->ended()) place.child = ChildProcess::Start(program, arguments);
      if (place.child && place.child->Send(Concat({names[*next], "\n"}))) {
        place.system = next;
        continue;
      }
      place.child.reset();
      schedule.StartFailed(*next);
      if (schedule.running() > 0) return;  // tried again once a place is free
      // Not even one child runs: the system fails without one.
      schedule.NextToStart();
      schedule.Finished(*next);
      answers[*next] =
          Answer{ChildRecord(ListedSystemOutcome{true, Concat({"* ", names[*next]}), "", {}, "", false, {}}), false, 0};
    }
  };
  // Notes the systems whose children answered, or ended.
  auto collect = [&] {
    for (Place& place : places) {
      if (!place.system || !place.child) continue;
      bool answered = ReadChildReport(place.child->output()).outcome.has_value();
      if (!answered && !place.child->ended()) continue;
      bool ended = !answered;
      // A child ended by the RFC error handler ends the run at its system, as
      // in a sequential run: none after it is started.
      if (ended && place.child->exit_status() == 1) schedule.StopAfter(*place.system);
      schedule.Finished(*place.system);
      answers[*place.system] = Answer{place.child->TakeOutput(), ended, place.child->exit_status()};
      place.system.reset();
      if (ended) place.child.reset();
    }
  };

  for (;;) {
    hand_out();
    while (std::optional<std::size_t> next = schedule.NextToPrint()) {
      Answer answer = std::move(*answers[*next]);
      answers[*next].reset();
      ChildReport report = ReadChildReport(answer.output);
      Print(report.printed);
      // Ended by the RFC error handler: its block was the last it printed.
      if (answer.child_ended && answer.exit_status == 1) {
        OutputDelivered();  // out before the other children are ended
        return 1;
      }
      output.Finished(OutcomeOf(report));
    }
    if (schedule.done()) break;

    if (state.Deadline && Clock::now() >= *state.Deadline) {
      // The first system not printed is in progress; what it printed so far
      // comes before its state line, as in a sequential run.
      for (Place& place : places) {
        if (place.system != schedule.printed() || !place.child) continue;
        place.child->Kill();
        ChildReport report = ReadChildReport(place.child->output());
        Print(report.printed);
        if (report.line) output.InProgress(*report.line);
      }
      output.EndAtDeadline();
      OutputDelivered();  // out before the children are ended
      return 0;           // the children end with their places
    }

    std::vector<ChildProcess*> running;
    for (Place& place : places)
      if (place.system && place.child) running.push_back(place.child.get());
    WaitForChildren(running, state.Deadline);
    collect();
  }
  output.End();
  OutputDelivered();
  for (Place& place : places)
    if (place.child) place.child->CloseInput();  // its end: the child ends
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

  std::string name;
  while (ReadParentLine(name)) {
    ListedSystemOutcome outcome = QueryListedSystem(
        state, name, [library]() -> RfcLibrary& { return library(); },
        [](const std::string& line, const std::string& label) {
          // Out at once: should the deadline come during the logon, the
          // parent names the system.
          Print(ChildHeader(line, label));
          OutputDelivered();
        });
    if (outcome.block) throw RunFailure(std::move(*outcome.block));
    Print(ChildRecord(outcome));
    OutputDelivered();  // the parent waits for it
  }
  return 0;
}

}  // namespace poolmetrics
