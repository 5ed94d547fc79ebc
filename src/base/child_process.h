// ChildProcess: a child process of the program that the parent gives work
// on its standard input and whose standard output the parent reads, both
// through pipes, for the parallel global runs. The parent never blocks on a
// child: it waits for all of them at once, with a limit, and reads only what
// is there. A child never outlives its parent: however the parent ends
// (killed from outside included), the system ends its children with it.
// (child_process.cpp, and child_process_posix.cpp or child_process_win32.cpp)
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace poolmetrics {

class ChildProcess {
 public:
  // Starts the running program's own file again, with `arguments` (those
  // after the program's name), which the child reads as its own arguments
  // byte for byte: on Windows in the ANSI code page, as the C runtime hands
  // a program its arguments. Standard input and output are pipes of the
  // parent's, standard error is the parent's. Null when it cannot be
  // started, or an argument would not reach it as it is.
  static std::unique_ptr<ChildProcess> StartOwnProgram(const std::vector<std::string>& arguments);

  // Ends the child if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Writes `text` to the child's standard input; false when the child no
  // longer reads it.
  bool Send(std::string_view text);
  // Closes the child's standard input: the child reads its end.
  void CloseInput();

  // What the child wrote since it started or since the last TakeOutput, all
  // of it once it has ended. On Windows the text mode of the child's
  // standard output is undone ("\r\n" is "\n" again), so the parent prints
  // it as the child meant it.
  const std::string& output() const { return output_; }
  std::string TakeOutput() {
    std::string taken;
    taken.swap(output_);
    return taken;
  }

  // The child has exited and its output has ended.
  bool ended() const { return ended_; }

  // Ends the child now, if it still runs.
  void Kill();

  struct Platform;  // the operating system's handles

 private:
  ChildProcess();

  std::unique_ptr<Platform> platform_;
  std::string output_;
  bool ended_ = false;

  friend void WaitForChildren(const std::vector<ChildProcess*>& children,
                              std::optional<std::chrono::steady_clock::time_point> until);
};

// Waits until one of `children` (that have not ended) has written or
// ended, but not past `until`; then reads whatever each has written and
// notes those that ended.
void WaitForChildren(const std::vector<ChildProcess*>& children,
                     std::optional<std::chrono::steady_clock::time_point> until);

// The child's side: the next line its parent sent on standard input,
// without its line feed; false at the end of the input.
bool ReadParentLine(std::string& line);

namespace child_process_platform {
// Reads what standard input holds, up to `size` bytes, waiting for some;
// 0 at its end or on an error.
long ReadStandardInput(char* buffer, std::size_t size);
}  // namespace child_process_platform

}  // namespace poolmetrics
