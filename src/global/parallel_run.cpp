#include "global/parallel_run.h"

#include <memory>
#include <string>

#include "base/child_process.h"
#include "base/console.h"
#include "base/text.h"
#include "global/child_report.h"
#include "global/child_task.h"
#include "global/listing_schedule.h"

namespace poolmetrics {
namespace {

// A child outlives its parent's deadline by this much before it ends
// itself: by then the parent has ended it, unless the parent was killed.
constexpr unsigned kChildGraceMilliseconds = 2000;

ChildTask TaskFor(const ListingTask& listing, const Deadline& deadline) {
  ChildTask task{listing, std::nullopt};
  if (std::optional<Clock::time_point> when = deadline.when()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*when - Clock::now()).count();
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

int RunListingInParallel(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                         unsigned width, const Deadline& deadline) {
  const std::optional<Clock::time_point> until = deadline.when();
  ListingSchedule schedule(names.size(), width);
  std::vector<Place> places(names.size() < width ? names.size() : width);
  std::vector<std::optional<Answer>> answers(names.size());
  const std::string program = OwnProgramPath();
  const std::vector<std::string> arguments = ChildArguments(TaskFor(task, deadline));

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

    if (until && Clock::now() >= *until) {
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
    WaitForChildren(running, until);
    collect();
  }
  output.End();
  OutputDelivered();
  for (Place& place : places)
    if (place.child) place.child->CloseInput();  // its end: the child ends
  return 0;
}

}  // namespace poolmetrics
