#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include "run/deadline.h"

namespace poolmetrics {
namespace watchdog_platform {
namespace {

void* Run(void* body) {
  const ThreadBody& run = *static_cast<const ThreadBody*>(body);
  run.function(run.argument);
  return nullptr;
}

}  // namespace

bool StartThread(const ThreadBody& body) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  // The watchdog needs little stack; a small one keeps the run's memory small.
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  bool started = pthread_create(&thread, &attributes, &Run, const_cast<ThreadBody*>(&body)) == 0;
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
