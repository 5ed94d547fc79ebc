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

// What a system gave, as the run prints it. A system whose child ended
// without a record (ended from outside, say, whatever its exit code)
// failed.
ListedSystem SystemOf(ChildReport& report) {
  if (report.system) return std::move(*report.system);
  ListedSystem failed;
  if (report.line) failed.profile = ListedProfile{*report.line, report.label.value_or(""), "", false};
  return failed;
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
  const std::optional<Clock::time_point> until = deadline.when();
  ListingSchedule schedule(names.size(), width);
  std::vector<Place> places(names.size() < width ? names.size() : width);
  std::vector<std::string> answers(names.size());  // what each finished system's child wrote
  const std::vector<std::string> arguments = ChildArguments(TaskFor(task, deadline));

  // Prints what the systems that finished gave, strictly in listing order.
  // A status when a system ended the run.
  auto print_ready = [&]() -> std::optional<int> {
    while (std::optional<std::size_t> next = schedule.NextToPrint()) {
      ChildReport report = ReadChildReport(answers[*next]);
      answers[*next].clear();
      PrintAside(report.printed);
      if (report.block) return EndWithRfcError(*report.block);
      ListedSystem system = SystemOf(report);
      if (auto* block = std::get_if<ErrorBlock>(&system.outcome)) return EndWithRfcError(*block);
      output.Finished(system);
    }
    return std::nullopt;
  };

  // A system that no child could take is the parent's own, handled as a
  // sequential run handles it: every system before it is printed, and it
  // prints as it goes, with the deadline kept by the watchdog meanwhile.
  auto handle_here = [&](std::size_t index) -> std::optional<int> {
    if (std::optional<int> status = print_ready()) return status;
    schedule.NextToStart();
    schedule.Finished(index);
    schedule.NextToPrint();  // it prints now
    ListedSystem system = QueryListedSystem(
        task, names[index], library, [&](const std::string& line, const std::string&) { output.InProgress(line); },
        deadline);
    if (auto* block = std::get_if<ErrorBlock>(&system.outcome)) return EndWithRfcError(*block);
    output.Finished(system);
    return std::nullopt;
  };

  // Hands the next names to the places that are free, starting a child
  // where there is none (or its last one ended).
  auto hand_out = [&]() -> std::optional<int> {
    for (Place& place : places) {
      if (place.system) continue;
      std::optional<std::size_t> next = schedule.NextToStart();
      if (!next) return std::nullopt;
      if (!place.child || place.child->ended()) place.child = ChildProcess::StartOwnProgram(arguments);
      if (place.child && place.child->Send(Concat({names[*next], "\n"}))) {
        place.system = next;
        continue;
      }
      place.child.reset();
      schedule.StartFailed(*next);
      if (schedule.running() > 0) return std::nullopt;  // tried again once a place is free
      if (std::optional<int> status = handle_here(*next)) return status;
    }
    return std::nullopt;
  };

  // Notes the systems whose children finished them, or ended.
  auto collect = [&] {
    for (Place& place : places) {
      if (!place.system || !place.child) continue;
      ChildReport report = ReadChildReport(place.child->output());
      if (!report.finished() && !place.child->ended()) continue;
      // An RFC error ends the run at its system, as in a sequential run:
      // none after it is started.
      if (report.block) schedule.StopAfter(*place.system);
      schedule.Finished(*place.system);
      answers[*place.system] = place.child->TakeOutput();
      place.system.reset();
      if (report.block || !report.finished()) place.child.reset();
    }
  };

  for (;;) {
    if (std::optional<int> status = hand_out()) return *status;
    if (std::optional<int> status = print_ready()) return *status;
    if (schedule.done()) break;

    if (until && Clock::now() >= *until) {
      // The first system not printed is in progress; what it printed so far
      // comes before its state line, as in a sequential run. Should its
      // child have reported an RFC error just now, that is the run's one
      // outcome instead.
      for (Place& place : places) {
        if (place.system != schedule.printed() || !place.child) continue;
        place.child->Kill();
        ChildReport report = ReadChildReport(place.child->output());
        PrintAside(report.printed);
        if (report.block) return EndWithRfcError(*report.block);
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
