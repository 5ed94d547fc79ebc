#include "run/deadline.h"

#include "base/console.h"
#include "base/text.h"
#include "output/document_writer.h"

namespace poolmetrics {

std::optional<unsigned> RunTimeoutSeconds(std::optional<unsigned> timeout, CallerMode mode) {
  if (timeout) return timeout;
  if (IsXmlMode(mode)) return kPrtgModeTimeoutSeconds;
  return std::nullopt;
}

std::string DeadlineMessage(unsigned seconds, QueryStep step, std::string_view system) {
  std::string_view during = step == QueryStep::kLogon  ? "in the logon to "
                            : step == QueryStep::kCall ? "in the call to "
                                                       : "before the logon to ";
  return Concat({"Error 1033: Timeout after ", std::to_string(seconds), " s ", during, system, "..."});
}

void Deadline::Arm(RunKind kind, std::optional<std::chrono::milliseconds> limit) {
  kind_ = kind;
  if (limit) when_ = start_ + *limit;
}

void Deadline::AnswerWith(ListingSummary& summary) {
  OutputLock lock;
  summary_ = &summary;
}

unsigned Deadline::seconds() const {
  if (!when_) return 0;
  return static_cast<unsigned>(std::chrono::duration_cast<std::chrono::seconds>(*when_ - start_).count());
}

int Deadline::LastWords() {
  switch (kind_) {
    case RunKind::kSingle:
      PrintInstead(ErrorDocument(DeadlineMessage(seconds(), step_, system_)));
      return 2;
    case RunKind::kListing:
      if (summary_) summary_->EndAtDeadline();
      return 0;
    case RunKind::kChild:
      break;
  }
  return 2;
}

void Deadline::EndWithLastWords() {
  int status = LastWords();
  DeliverLastWords();
  watchdog_platform::EndProcess(status);
}

void Deadline::Watch(void* argument) {
  Deadline& deadline = *static_cast<Deadline*>(argument);
  // The time point never changes once the watchdog runs.
  const Clock::time_point when = *deadline.when_;
  for (;;) {
    Clock::time_point now = Clock::now();
    if (now >= when) break;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - now).count();
    // Whole milliseconds, rounded up: the deadline is never left early.
    watchdog_platform::SleepMilliseconds(static_cast<unsigned>(left < 60000 ? left + 1 : 60000));
  }
  OutputLock lock;
  if (deadline.steps_ > 0) deadline.EndWithLastWords();
  // The run's outcome was decided in time, or its next step answers.
  deadline.passed_ = true;
}

Deadline::Step::Step(Deadline& deadline, QueryStep step, std::string_view system) : deadline_(deadline) {
  bool start = false;
  {
    OutputLock lock;
    outer_step_ = deadline.step_;
    outer_system_ = deadline.system_;
    ++deadline.steps_;
    deadline.step_ = step;
    deadline.system_ = system;
    // A deadline that has passed (while the listing was read, say) is
    // answered here: the watchdog, started only now, could come too late to
    // keep the step from beginning a logon.
    if (deadline.passed_ || (deadline.when_ && Clock::now() >= *deadline.when_)) deadline.EndWithLastWords();
    if (step != QueryStep::kBeforeLogon && !deadline.watching_ && deadline.when_) {
      deadline.watching_ = true;
      start = true;
    }
  }
  // No thread, no deadline: the run goes on without one.
  if (start) watchdog_platform::StartThread(deadline.watchdog_);
}

Deadline::Step::~Step() {
  OutputLock lock;
  --deadline_.steps_;
  deadline_.step_ = outer_step_;
  deadline_.system_ = outer_system_;
}

}  // namespace poolmetrics
