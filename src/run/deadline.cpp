#include "run/deadline.h"

#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/text.h"
#include "output/document_writer.h"

namespace poolmetrics {
namespace {

// What the watchdog reads, written and read under the output lock, so it
// never sees it half changed. Plain data: nothing to do at start-up.
const Deadline* g_deadline = nullptr;  // set by the first watch of an armed deadline
DeadlineHandler* g_handler = nullptr;  // the present watch's
bool g_passed = false;                 // the deadline passed while no watch was kept
QueryStep g_step = QueryStep::kBeforeLogon;
char g_system[64];  // the marked system's name, cut to fit

// Ends the process with the handler's last words. The output lock is held.
[[noreturn]] void EndWithLastWords(DeadlineHandler& handler) {
  int status = handler.WriteLastWords();
  DeliverLastWords();
  watchdog_platform::EndProcess(status);
}

void Watch() {
  // The time point never changes once the watchdog runs.
  const Clock::time_point deadline = *g_deadline->when();
  for (;;) {
    Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    // Whole milliseconds, rounded up: the deadline is never left early.
    watchdog_platform::SleepMilliseconds(static_cast<unsigned>(left < 60000 ? left + 1 : 60000));
  }
  OutputLock lock;
  if (g_handler) EndWithLastWords(*g_handler);
  // No watch: the run's outcome was decided in time, or the next watch
  // answers at once.
  g_passed = true;
}

}  // namespace

std::optional<unsigned> RunTimeoutSeconds(std::optional<unsigned> timeout, CallerMode mode) {
  if (timeout) return timeout;
  if (IsXmlMode(mode)) return kPrtgModeTimeoutSeconds;
  return std::nullopt;
}

void Deadline::Arm(std::optional<unsigned> seconds) {
  ArmMilliseconds(seconds ? std::optional<unsigned>(*seconds * 1000) : std::nullopt);
}

void Deadline::ArmMilliseconds(std::optional<unsigned> milliseconds) {
  if (armed_) return;
  armed_ = true;
  if (milliseconds) when_ = start_ + std::chrono::milliseconds(*milliseconds);
}

unsigned Deadline::seconds() const {
  if (!when_) return 0;
  return static_cast<unsigned>(std::chrono::duration_cast<std::chrono::seconds>(*when_ - start_).count());
}

DeadlineWatch::DeadlineWatch(const Deadline& deadline, DeadlineHandler& handler, WatchdogStart start)
    : deadline_(deadline), handler_(handler) {
  {
    OutputLock lock;
    g_handler = &handler;
  }
  if (start == WatchdogStart::kAtOnce) WaitAhead();
}

void DeadlineWatch::WaitAhead() {
  bool start = false;
  {
    OutputLock lock;
    // A deadline that has passed (while the listing was read, say) is
    // answered here: the watchdog, started only now, could come too late to
    // keep the step from beginning a logon.
    if (g_passed || (deadline_.when() && Clock::now() >= *deadline_.when())) EndWithLastWords(handler_);
    if (!g_deadline && deadline_.when()) {
      g_deadline = &deadline_;
      start = true;
    }
  }
  // No thread, no deadline: the run goes on without one.
  if (start) watchdog_platform::StartThread(&Watch);
}

DeadlineWatch::~DeadlineWatch() {
  OutputLock lock;
  g_handler = nullptr;
}

void MarkQueryStep(QueryStep step, std::string_view system) {
  OutputLock lock;
  g_step = step;
  std::size_t n = system.size() < sizeof g_system - 1 ? system.size() : sizeof g_system - 1;
  std::memcpy(g_system, system.data(), n);
  g_system[n] = '\0';
}

std::string DeadlineMessage(unsigned seconds, QueryStep step, std::string_view system) {
  std::string_view during = step == QueryStep::kLogon  ? "in the logon to "
                            : step == QueryStep::kCall ? "in the call to "
                                                       : "before the logon to ";
  return Concat({"Error 1033: Timeout after ", std::to_string(seconds), " s ", during, system, "..."});
}

int SingleRunDeadline::WriteLastWords() {
  PrintInstead(ErrorDocument(DeadlineMessage(deadline_.seconds(), g_step, g_system)));
  return 2;
}

}  // namespace poolmetrics
