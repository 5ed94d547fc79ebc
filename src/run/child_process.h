// ChildProcess: a child process of the program whose standard output the
// parent reads through a pipe, for the parallel global runs. The parent
// never blocks on a child: it waits for all of them at once, with a limit,
// and reads only what is there. (child_process_posix.cpp,
// child_process_win32.cpp)
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace poolmetrics {

class ChildProcess {
 public:
  // Starts `program` with `arguments` (those after the program's name);
  // standard input is the null device, standard error the parent's. Null
  // when it cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::string& program, const std::vector<std::string>& arguments);

  // Ends the child if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // What the child wrote so far, all of it once it has ended. On Windows the
  // text mode of the child's standard output is undone ("\r\n" is "\n"
  // again), so the parent prints it as the child meant it.
  const std::string& output() const { return output_; }

  // The child has exited and its output has ended.
  bool ended() const { return ended_; }
  // Its exit status once ended; -1 when it did not exit by itself (a signal).
  int exit_status() const { return exit_status_; }

  // Ends the child now, if it still runs.
  void Kill();

  struct Platform;  // the operating system's handles

 private:
  ChildProcess();

  std::unique_ptr<Platform> platform_;
  std::string output_;
  bool ended_ = false;
  int exit_status_ = -1;

  friend void WaitForChildren(const std::vector<ChildProcess*>& children,
                              std::optional<std::chrono::steady_clock::time_point> until);
};

// Waits until one of `children` (that have not ended) has written or
// ended, but not past `until`; then reads whatever each has written and
// notes those that ended.
void WaitForChildren(const std::vector<ChildProcess*>& children,
                     std::optional<std::chrono::steady_clock::time_point> until);

// The running program's own file, to start it again as a child.
std::string OwnProgramPath();

}  // namespace poolmetrics
