#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "base/child_process.h"
#include "base/pipe_signal_posix.h"

extern char** environ;

namespace poolmetrics {

struct ChildProcess::Platform {
  pid_t pid = -1;
  int input = -1;   // the write end of the child's standard input
  int output = -1;  // the read end of the child's standard output, non-blocking
};

namespace {

// Reads what the pipe holds; at its end, closes it and collects the child.
void ReadAvailable(ChildProcess::Platform& p, std::string& output, bool& ended) {
  char buffer[4096];
  for (;;) {
    ssize_t n = read(p.output, buffer, sizeof buffer);
    if (n > 0) {
      output.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    break;  // the end, or an error that ends it
  }
  close(p.output);
  p.output = -1;
  while (waitpid(p.pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  p.pid = -1;
  ended = true;
}

void Close(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

ChildProcess::ChildProcess() : platform_(new Platform) {}

ChildProcess::~ChildProcess() {
  Kill();
  Close(platform_->input);
  Close(platform_->output);
  // Collected if it has already gone; otherwise the system collects it once
  // the parent has ended, which is soon.
  if (platform_->pid > 0) waitpid(platform_->pid, nullptr, WNOHANG);
}

std::unique_ptr<ChildProcess> ChildProcess::StartOwnProgram(const std::vector<std::string>& arguments) {
  // Only the child's own ends reach it: the parent's carry close-on-exec,
  // so no child holds another's pipe open. The third pipe tells the parent
  // whether the program could be started at all: it closes when the child
  // starts the program, and brings the error when it cannot.
  int input[2];
  int output[2];
  int started[2];
  if (pipe2(input, O_CLOEXEC) != 0) return nullptr;
  if (pipe2(output, O_CLOEXEC) != 0) {
    Close(input[0]);
    Close(input[1]);
    return nullptr;
  }
  if (pipe2(started, O_CLOEXEC) != 0) {
    for (int* fd : {&input[0], &input[1], &output[0], &output[1]}) Close(*fd);
    return nullptr;
  }
  fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);

  // Prepared before the fork: the child of a process with threads may do
  // nothing but system calls until it has started the program.
  // "/proc/self/exe" is the kernel's own name of the running file: a link
  // or copy by another name, or a moved file, starts the same program.
  static const char kProgram[] = "/proc/self/exe";
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(kProgram));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = getpid();

  pid_t pid = fork();
  if (pid == 0) {
    // The kernel ends the child when its parent ends, whichever way: a
    // child hung in the RFC library would otherwise outlive a parent that
    // was killed. The setting lasts through the start of the program; a
    // parent that ended before it was made is seen here.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && getppid() == parent && dup2(input[0], 0) >= 0 &&
        dup2(output[1], 1) >= 0)
      execve(kProgram, argv.data(), environ);
    int error = errno;
    (void)!write(started[1], &error, sizeof error);
    _exit(127);
  }
  Close(input[0]);
  Close(output[1]);
  Close(started[1]);
  bool running = pid > 0;
  if (running) {
    int error = 0;
    ssize_t n;
    while ((n = read(started[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (n != 0) {
      // It could not start the program: collected here, it is no child.
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
      running = false;
    }
  }
  Close(started[0]);
  if (!running) {
    Close(input[1]);
    Close(output[0]);
    return nullptr;
  }
  std::unique_ptr<ChildProcess> child(new ChildProcess);
  child->platform_->pid = pid;
  child->platform_->input = input[1];
  child->platform_->output = output[0];
  return child;
}

bool ChildProcess::Send(std::string_view text) {
  if (platform_->input < 0) return false;
  // A child that has gone would raise SIGPIPE, which ends the parent.
  PipeSignalHeld held;
  bool sent = true;
  while (!text.empty()) {
    ssize_t n = write(platform_->input, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sent = false;
      break;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return sent;
}

void ChildProcess::CloseInput() { Close(platform_->input); }

void ChildProcess::Kill() {
  if (!ended_ && platform_->pid > 0) kill(platform_->pid, SIGKILL);
}

void WaitForChildren(const std::vector<ChildProcess*>& children,
                     std::optional<std::chrono::steady_clock::time_point> until) {
  std::vector<pollfd> watched;
  std::vector<ChildProcess*> owners;
  for (ChildProcess* child : children) {
    if (child->ended_ || child->platform_->output < 0) continue;
    watched.push_back({child->platform_->output, POLLIN, 0});
    owners.push_back(child);
  }
  if (watched.empty()) return;
  int timeout = -1;
  if (until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*until - std::chrono::steady_clock::now());
    // Rounded up: the caller finds the time passed when this returns.
    timeout = left.count() <= 0 ? 0 : static_cast<int>(left.count() + 1);
  }
  if (poll(watched.data(), watched.size(), timeout) <= 0) return;
  for (std::size_t i = 0; i < watched.size(); ++i) {
    if (watched[i].revents == 0) continue;
    ChildProcess& c = *owners[i];
    ReadAvailable(*c.platform_, c.output_, c.ended_);
  }
}

namespace child_process_platform {

long ReadStandardInput(char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = read(0, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? 0 : static_cast<long>(n);
  }
}

}  // namespace child_process_platform

}  // namespace poolmetrics
