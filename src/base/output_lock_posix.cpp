#include <pthread.h>

#include "base/console.h"

namespace poolmetrics {
namespace {

// Initialised statically: taking it needs no start-up work.
pthread_mutex_t g_output_lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;

}  // namespace

OutputLock::OutputLock() { pthread_mutex_lock(&g_output_lock); }

OutputLock::~OutputLock() { pthread_mutex_unlock(&g_output_lock); }

}  // namespace poolmetrics
