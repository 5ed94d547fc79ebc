#include "run/deadline.h"

#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/text.h"
#include "output/document_writer.h"

namespace poolmetrics {
namespace {

// The watchdog's state. Written under the output lock (the deadline before
// the thread starts), so the watchdog, which reads it holding that lock,
// never sees it half changed. Plain data: nothing to do at start-up.
Clock::time_point g_deadline;
DeadlineHandler* g_handler = nullptr;
bool g_started = false;
bool g_settled = false;
QueryStep g_step = QueryStep::kLogon;
char g_system[64];  // the marked system's name, cut to fit

void Watch() {
  for (;;) {
    Clock::time_point now = Clock::now();
    if (now >= g_deadline) break;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(g_deadline - now).count();
    // Whole milliseconds, rounded up: the deadline is never left early.
    watchdog_platform::SleepMilliseconds(static_cast<unsigned>(left < 60000 ? left + 1 : 60000));
  }
  OutputLock lock;
  if (g_settled || !g_handler) return;  // the thread ends; the run goes on
  int status = g_handler->WriteLastWords();
  std::fflush(stdout);
  watchdog_platform::EndProcess(status);
}

}  // namespace

std::optional<unsigned> RunTimeoutSeconds(std::optional<unsigned> timeout, CallerMode mode) {
  if (timeout) return timeout;
  if (IsXmlMode(mode)) return kPrtgModeTimeoutSeconds;
  return std::nullopt;
}

bool StartWatchdog(Clock::time_point deadline, DeadlineHandler* handler) {
  {
    OutputLock lock;
    if (g_started) return true;
    g_deadline = deadline;
    g_handler = handler;
    g_started = true;
  }
  return watchdog_platform::StartThread(&Watch);
}

void SetDeadlineHandler(DeadlineHandler* handler) {
  OutputLock lock;
  g_handler = handler;
}

void SettleDeadline() {
  OutputLock lock;
  g_settled = true;
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
  return Concat({"Error 1033: Timeout after ", std::to_string(seconds), " s in the ",
                 step == QueryStep::kLogon ? "logon to " : "call to ", system, "..."});
}

void SingleRunDeadline::Arm(Clock::time_point start, unsigned seconds) {
  seconds_ = seconds;
  StartWatchdog(start + std::chrono::seconds(seconds), this);
}

int SingleRunDeadline::WriteLastWords() {
  Print(ErrorDocument(DeadlineMessage(seconds_, g_step, g_system)));
  return 2;
}

}  // namespace poolmetrics
