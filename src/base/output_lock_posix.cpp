#include <pthread.h>

#include "base/console.h"

namespace poolmetrics {
namespace {

// Initialised statically: taking it needs no start-up work.
pthread_mutex_t g_output_lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;

// How often this thread holds the lock now.
thread_local unsigned t_depth = 0;

}  // namespace

OutputLock::OutputLock() {
  pthread_mutex_lock(&g_output_lock);
  nested_ = t_depth++ > 0;
}

OutputLock::~OutputLock() {
  --t_depth;
  pthread_mutex_unlock(&g_output_lock);
}

}  // namespace poolmetrics
