#include <windows.h>

#include "base/child_process.h"

namespace poolmetrics {

struct ChildProcess::Platform {
  HANDLE process = nullptr;
  HANDLE input = nullptr;   // the write end of the child's standard input
  HANDLE output = nullptr;  // the read end of the child's standard output, read by `reader`
  HANDLE reader = nullptr;  // the thread that reads it
  // Filled by the reader, taken by the parent's thread.
  SRWLOCK lock = SRWLOCK_INIT;
  std::string incoming;
  bool at_end = false;
  // The parent's thread only.
  bool carriage_return = false;  // the last byte taken was a "\r" not yet passed on
};

namespace {

constexpr DWORD kPipeSize = 64 * 1024;

// Anonymous pipes cannot be waited on, and a parent that polled them would
// keep Wine's server busy all through a hung system's wait. So each child's
// output has a thread that blocks on it and, whenever it has read something
// (or the end), sets this one event, which the parent waits on.
HANDLE OutputEvent() {
  static HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return event;
}

DWORD WINAPI ReadOutput(LPVOID argument) {
  auto& p = *static_cast<ChildProcess::Platform*>(argument);
  char buffer[4096];
  for (;;) {
    DWORD n = 0;
    BOOL read = ReadFile(p.output, buffer, sizeof buffer, &n, nullptr);
    if (read && n == 0) continue;  // a write of nothing
    AcquireSRWLockExclusive(&p.lock);
    if (read)
      p.incoming.append(buffer, n);
    else
      p.at_end = true;  // the child has gone (or was ended)
    ReleaseSRWLockExclusive(&p.lock);
    SetEvent(OutputEvent());
    if (!read) return 0;
  }
}

// The child's C runtime writes its standard output in text mode, "\n" as
// "\r\n"; every "\r\n" of the pipe was a "\n" (a "\r" of its own stays,
// "\r\n" written by the child arrives as "\r\r\n"). A "\r" at the end of a
// piece waits for the next one.
void AppendUndoingTextMode(ChildProcess::Platform& p, std::string& output, const std::string& data) {
  for (char c : data) {
    if (p.carriage_return) {
      p.carriage_return = false;
      if (c != '\n') output += '\r';
    }
    if (c == '\r')
      p.carriage_return = true;
    else
      output += c;
  }
}

// Takes what the reader has read; at the end of the output, collects the
// child's exit status. True when there was anything new.
bool Take(ChildProcess::Platform& p, std::string& output, bool& ended, int& exit_status) {
  std::string data;
  AcquireSRWLockExclusive(&p.lock);
  data.swap(p.incoming);
  bool at_end = p.at_end;
  ReleaseSRWLockExclusive(&p.lock);
  AppendUndoingTextMode(p, output, data);
  if (!at_end) return !data.empty();
  if (p.carriage_return) output += '\r';
  p.carriage_return = false;
  // Its output ended because it exits; one that closed its output and goes
  // on is of no further use.
  if (WaitForSingleObject(p.process, 1000) != WAIT_OBJECT_0) TerminateProcess(p.process, 1);
  DWORD code = 0;
  exit_status = GetExitCodeProcess(p.process, &code) && code != STILL_ACTIVE ? static_cast<int>(code) : -1;
  ended = true;
  return true;
}

// A command line that the child's C runtime splits into `arguments` again:
// each in double quotes where it needs them, with the backslashes before a
// quote doubled.
std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line;
  auto append = [&line](const std::string& argument) {
    if (!line.empty()) line += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
      line += argument;
      return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (char c : argument) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
      backslashes = 0;
      line += c;
    }
    line.append(backslashes * 2, '\\');
    line += '"';
  };
  append(program);
  for (const std::string& a : arguments) append(a);
  return line;
}

}  // namespace

ChildProcess::ChildProcess() : platform_(new Platform) {}

ChildProcess::~ChildProcess() {
  Kill();
  CloseInput();
  if (platform_->reader) {
    // Ended, the child no longer holds its output: the reader sees the end.
    // Should another process hold it, the read is cancelled; a reader that
    // still does not finish keeps its state until the process ends.
    if (WaitForSingleObject(platform_->reader, 0) != WAIT_OBJECT_0) CancelSynchronousIo(platform_->reader);
    if (WaitForSingleObject(platform_->reader, 2000) != WAIT_OBJECT_0) {
      platform_.release();
      return;
    }
    CloseHandle(platform_->reader);
  }
  if (platform_->output) CloseHandle(platform_->output);
  if (platform_->process) CloseHandle(platform_->process);
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& program,
                                                  const std::vector<std::string>& arguments) {
  // Only the child's own ends are inheritable, and children are started one
  // at a time, so no child inherits another's pipe.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE input_read = nullptr, input_write = nullptr, output_read = nullptr, output_write = nullptr;
  if (!CreatePipe(&input_read, &input_write, &inheritable, 0)) return nullptr;
  if (!CreatePipe(&output_read, &output_write, &inheritable, kPipeSize)) {
    CloseHandle(input_read);
    CloseHandle(input_write);
    return nullptr;
  }
  SetHandleInformation(input_write, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(output_read, HANDLE_FLAG_INHERIT, 0);
  HANDLE error = nullptr;
  HANDLE parent_error = GetStdHandle(STD_ERROR_HANDLE);
  if (parent_error && parent_error != INVALID_HANDLE_VALUE)
    DuplicateHandle(GetCurrentProcess(), parent_error, GetCurrentProcess(), &error, 0, TRUE, DUPLICATE_SAME_ACCESS);
  if (!error)
    error =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input_read;
  startup.hStdOutput = output_write;
  startup.hStdError = error;
  PROCESS_INFORMATION info{};
  std::string line = CommandLine(program, arguments);
  BOOL started =
      CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
  CloseHandle(input_read);
  CloseHandle(output_write);
  if (error && error != INVALID_HANDLE_VALUE) CloseHandle(error);
  if (!started) {
    CloseHandle(input_write);
    CloseHandle(output_read);
    return nullptr;
  }
  CloseHandle(info.hThread);
  std::unique_ptr<ChildProcess> child(new ChildProcess);
  Platform& p = *child->platform_;
  p.process = info.hProcess;
  p.input = input_write;
  p.output = output_read;
  OutputEvent();  // made before any reader can set it
  p.reader = CreateThread(nullptr, 64 * 1024, &ReadOutput, &p, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!p.reader) return nullptr;  // the child is ended with its owner
  return child;
}

bool ChildProcess::Send(std::string_view text) {
  while (platform_->input && !text.empty()) {
    DWORD n = 0;
    if (!WriteFile(platform_->input, text.data(), static_cast<DWORD>(text.size()), &n, nullptr) || n == 0) return false;
    text.remove_prefix(n);
  }
  return platform_->input != nullptr;
}

void ChildProcess::CloseInput() {
  if (platform_->input) CloseHandle(platform_->input);
  platform_->input = nullptr;
}

void ChildProcess::Kill() {
  if (!ended_ && platform_->process) TerminateProcess(platform_->process, 1);
}

void WaitForChildren(const std::vector<ChildProcess*>& children,
                     std::optional<std::chrono::steady_clock::time_point> until) {
  auto take_all = [&children] {
    bool any = false;
    for (ChildProcess* child : children)
      if (!child->ended_) any = Take(*child->platform_, child->output_, child->ended_, child->exit_status_) || any;
    return any;
  };
  if (take_all()) return;
  bool waiting = false;
  for (ChildProcess* child : children) waiting = waiting || !child->ended_;
  if (!waiting) return;
  DWORD timeout = INFINITE;
  if (until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*until - std::chrono::steady_clock::now());
    // Rounded up: the caller finds the time passed when this returns.
    timeout = left.count() <= 0 ? 0 : static_cast<DWORD>(left.count() + 1);
  }
  // Set by a reader since the take above, it is still set: nothing is missed.
  WaitForSingleObject(OutputEvent(), timeout);
  take_all();
}

std::string OwnProgramPath() {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::string(path, n);
}

namespace child_process_platform {

long ReadStandardInput(char* buffer, std::size_t size) {
  // Read as bytes: the C runtime's text mode would take a byte 0x1A for the
  // end.
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD n = 0;
  if (!input || input == INVALID_HANDLE_VALUE || !ReadFile(input, buffer, static_cast<DWORD>(size), &n, nullptr))
    return 0;
  return static_cast<long>(n);
}

}  // namespace child_process_platform

}  // namespace poolmetrics
