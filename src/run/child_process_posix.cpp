#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "run/child_process.h"

extern char** environ;

namespace poolmetrics {

struct ChildProcess::Platform {
  pid_t pid = -1;
  int output = -1;  // the read end of the child's standard output, non-blocking
};

namespace {

// Reads what the pipe holds; at its end, closes it and collects the child's
// exit status.
void ReadAvailable(ChildProcess::Platform& p, std::string& output, bool& ended, int& exit_status) {
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
  int status = 0;
  while (waitpid(p.pid, &status, 0) < 0 && errno == EINTR) {
  }
  p.pid = -1;
  exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  ended = true;
}

}  // namespace

ChildProcess::ChildProcess() : platform_(new Platform) {}

ChildProcess::~ChildProcess() {
  Kill();
  if (platform_->output >= 0) close(platform_->output);
  // Collected if it has already gone; otherwise the system collects it once
  // the parent has ended, which is soon.
  if (platform_->pid > 0) waitpid(platform_->pid, nullptr, WNOHANG);
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& program,
                                                  const std::vector<std::string>& arguments) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) return nullptr;
  fcntl(pipe_ends[0], F_SETFL, fcntl(pipe_ends[0], F_GETFL) | O_NONBLOCK);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  if (failed != 0) {
    close(pipe_ends[0]);
    return nullptr;
  }
  std::unique_ptr<ChildProcess> child(new ChildProcess);
  child->platform_->pid = pid;
  child->platform_->output = pipe_ends[0];
  return child;
}

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
    ReadAvailable(*c.platform_, c.output_, c.ended_, c.exit_status_);
  }
}

std::string OwnProgramPath() {
  // The kernel's own name of the running file: a link or copy by another
  // name, or a moved file, starts the same program.
  return "/proc/self/exe";
}

}  // namespace poolmetrics
