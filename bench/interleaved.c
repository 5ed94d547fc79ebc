/* interleaved N 'command a' 'command b' ...: runs the commands in turn, N
 * times each after a warm-up, standard output and error to /dev/null, and
 * prints each one's median and mean wall time and its median's ratio to the
 * first one's. Taken in turn, the commands meet the same load: timed one
 * after the other in blocks, as hyperfine does, a ratio moves by 10 % on a
 * shared virtual machine. Commands are split at blanks, nothing more. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

enum { kMaxCommands = 8, kMaxWords = 32, kWarmUp = 20 };

static int Compare(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

static double Milliseconds(const struct timespec* from, const struct timespec* to) {
  return (double)(to->tv_sec - from->tv_sec) * 1e3 + (double)(to->tv_nsec - from->tv_nsec) / 1e6;
}

int main(int argc, char** argv) {
  int runs = argc > 1 ? atoi(argv[1]) : 0, count = argc - 2;
  if (runs <= 0 || count <= 0 || count > kMaxCommands) {
    fprintf(stderr, "usage: interleaved N 'command' ... (at most %d commands)\n", kMaxCommands);
    return 2;
  }
  char* words[kMaxCommands][kMaxWords + 1] = {{0}};
  for (int c = 0; c < count; ++c) {
    int n = 0;
    for (char* w = strtok(argv[c + 2], " "); w && n < kMaxWords; w = strtok(NULL, " ")) words[c][n++] = w;
  }
  double* times = calloc((size_t)runs * (size_t)count, sizeof *times);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  for (int r = -kWarmUp; r < runs; ++r) {
    for (int c = 0; c < count; ++c) {
      struct timespec start, end;
      pid_t pid;
      int status;
      clock_gettime(CLOCK_MONOTONIC, &start);
      if (posix_spawn(&pid, words[c][0], &quiet, NULL, words[c], environ) != 0) {
        perror(words[c][0]);
        return 1;
      }
      waitpid(pid, &status, 0);
      clock_gettime(CLOCK_MONOTONIC, &end);
      if (r >= 0) times[c * runs + r] = Milliseconds(&start, &end);
    }
  }
  double first = 0;
  for (int c = 0; c < count; ++c) {
    double* t = times + c * runs;
    double sum = 0;
    for (int r = 0; r < runs; ++r) sum += t[r];
    qsort(t, (size_t)runs, sizeof *t, Compare);
    double median = t[runs / 2];
    if (c == 0) first = median;
    printf("%.3f ms median, %.3f ms mean, ratio %.3f:", median, sum / runs, median / first);
    for (char** w = words[c]; *w; ++w) printf(" %s", *w);
    printf("\n");
  }
  return 0;
}
