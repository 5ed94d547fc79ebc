#include <windows.h>

#include <atomic>

#include "base/console.h"

namespace poolmetrics {
namespace {

// A slim reader/writer lock is initialised statically (a critical section
// would need start-up work); the owner and depth make it recursive. Only
// the owning thread ever finds its own id in g_owner.
SRWLOCK g_lock = SRWLOCK_INIT;
std::atomic<DWORD> g_owner{0};
unsigned g_depth = 0;

}  // namespace

OutputLock::OutputLock() {
  DWORD self = GetCurrentThreadId();
  if (g_owner.load(std::memory_order_relaxed) == self) {
    ++g_depth;
    nested_ = true;
    return;
  }
  AcquireSRWLockExclusive(&g_lock);
  g_owner.store(self, std::memory_order_relaxed);
  g_depth = 1;
}

OutputLock::~OutputLock() {
  if (--g_depth > 0) return;
  g_owner.store(0, std::memory_order_relaxed);
  ReleaseSRWLockExclusive(&g_lock);
}

}  // namespace poolmetrics
