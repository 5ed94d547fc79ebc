#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include "run/deadline.h"

namespace poolmetrics {
namespace watchdog_platform {
namespace {

struct Body {
  void (*function)(void*);
  void* argument;
};
void* Run(void* body) {
  const Body& b = *static_cast<const Body*>(body);
  b.function(b.argument);
  return nullptr;
}

bool InitAttributes(pthread_attr_t& attributes) {
  if (pthread_attr_init(&attributes) != 0) return false;
  // The watchdog needs little stack; a small one keeps the run's memory small.
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  return true;
}

}  // namespace

bool StartThread(void (*body)(void*), void* argument) {
  static Body body_of_thread;  // the one watchdog's, set before its thread starts
  body_of_thread = {body, argument};
  pthread_attr_t attributes;
  if (!InitAttributes(attributes)) return false;
  // On the processor the run is on: a process whose threads have been on
  // two processors makes every later page fault of the run dearer (on a
  // virtual machine about twice a sensor run's own work), and the watchdog
  // only sleeps. The scheduler still gives it its turn at the deadline.
  int processor = sched_getcpu();
  cpu_set_t here;
  CPU_ZERO(&here);
  if (processor >= 0 && processor < CPU_SETSIZE) {
    CPU_SET(processor, &here);
    pthread_attr_setaffinity_np(&attributes, sizeof here, &here);
  }
  pthread_t thread;
  bool started = pthread_create(&thread, &attributes, &Run, &body_of_thread) == 0;
  if (!started && processor >= 0) {
    // A processor the run may not use after all: anywhere, then.
    pthread_attr_destroy(&attributes);
    if (!InitAttributes(attributes)) return false;
    started = pthread_create(&thread, &attributes, &Run, &body_of_thread) == 0;
  }
  pthread_attr_destroy(&attributes);
  return started;
}

void SleepMilliseconds(unsigned milliseconds) {
  timespec span{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  nanosleep(&span, nullptr);
}

void EndProcess(int status) { _exit(status); }

}  // namespace watchdog_platform
}  // namespace poolmetrics
