#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
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

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& program,
                                                  const std::vector<std::string>& arguments) {
  // Only the child's own ends reach it: the parent's carry close-on-exec,
  // so no child holds another's pipe open.
  int input[2];
  int output[2];
  if (pipe2(input, O_CLOEXEC) != 0) return nullptr;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return nullptr;
  }
  fcntl(output[0], F_SETFL, fcntl(output[0], F_GETFL) | O_NONBLOCK);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  close(output[1]);
  if (failed != 0) {
    close(input[1]);
    close(output[0]);
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
    ReadAvailable(*c.platform_, c.output_, c.ended_, c.exit_status_);
  }
}

std::string OwnProgramPath() {
  // The kernel's own name of the running file: a link or copy by another
  // name, or a moved file, starts the same program.
  return "/proc/self/exe";
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
