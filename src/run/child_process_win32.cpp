#include <windows.h>

#include <algorithm>

#include "run/child_process.h"

namespace poolmetrics {

struct ChildProcess::Platform {
  HANDLE process = nullptr;
  HANDLE input = nullptr;        // the write end of the child's standard input
  HANDLE output = nullptr;       // the read end of the child's standard output
  bool carriage_return = false;  // the last byte read was a "\r" not yet passed on
};

namespace {

// Anonymous pipes cannot be waited on together with processes, so the
// parent wakes at least this often to read them: a child's answer waits no
// longer than this.
constexpr DWORD kPipePollMilliseconds = 5;
constexpr DWORD kPipeSize = 64 * 1024;

// The child's C runtime writes its standard output in text mode, "\n" as
// "\r\n"; every "\r\n" of the pipe was a "\n" (a "\r" of its own stays,
// "\r\n" written by the child arrives as "\r\r\n"). A "\r" at the end of a
// piece waits for the next one.
void AppendUndoingTextMode(ChildProcess::Platform& p, std::string& output, const char* data, DWORD size) {
  for (DWORD i = 0; i < size; ++i) {
    char c = data[i];
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

// Reads what the pipe holds without waiting. Returns false at its end.
bool ReadAvailable(ChildProcess::Platform& p, std::string& output) {
  char buffer[4096];
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(p.output, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    DWORD n = 0;
    if (!ReadFile(p.output, buffer, std::min<DWORD>(available, sizeof buffer), &n, nullptr) || n == 0) return false;
    AppendUndoingTextMode(p, output, buffer, n);
  }
}

void Finish(ChildProcess::Platform& p, std::string& output, bool& ended, int& exit_status) {
  // The child has exited: what it wrote is in the pipe. (Should a process
  // that it started hold the pipe open, the output ends here all the same.)
  ReadAvailable(p, output);
  if (p.carriage_return) output += '\r';
  p.carriage_return = false;
  DWORD code = 0;
  exit_status = GetExitCodeProcess(p.process, &code) ? static_cast<int>(code) : -1;
  CloseHandle(p.output);
  p.output = nullptr;
  ended = true;
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
  child->platform_->process = info.hProcess;
  child->platform_->input = input_write;
  child->platform_->output = output_read;
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
  std::vector<HANDLE> processes;
  std::vector<ChildProcess*> owners;
  for (ChildProcess* child : children) {
    if (child->ended_) continue;
    // Emptied first: a child blocked on a full pipe never ends.
    ReadAvailable(*child->platform_, child->output_);
    processes.push_back(child->platform_->process);
    owners.push_back(child);
  }
  if (processes.empty()) return;
  DWORD timeout = kPipePollMilliseconds;
  if (until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*until - std::chrono::steady_clock::now());
    if (left.count() < static_cast<long long>(timeout))
      timeout = left.count() <= 0 ? 0 : static_cast<DWORD>(left.count() + 1);
  }
  // At most 64 handles: the most children a run has at once.
  WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE, timeout);
  for (ChildProcess* child : owners) {
    ReadAvailable(*child->platform_, child->output_);
    if (WaitForSingleObject(child->platform_->process, 0) == WAIT_OBJECT_0)
      Finish(*child->platform_, child->output_, child->ended_, child->exit_status_);
  }
}

std::string OwnProgramPath() {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::string(path, n);
}

bool ReadParentLine(std::string& line) {
  // Read as bytes: the C runtime's text mode would take a byte 0x1A for the
  // end. What was read past the last line waits here for the next call.
  static std::string pending;
  line.clear();
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  for (;;) {
    std::size_t end = pending.find('\n');
    if (end != std::string::npos) {
      line.assign(pending, 0, end);
      pending.erase(0, end + 1);
      return true;
    }
    char buffer[512];
    DWORD n = 0;
    if (!input || input == INVALID_HANDLE_VALUE || !ReadFile(input, buffer, sizeof buffer, &n, nullptr) || n == 0)
      return false;
    pending.append(buffer, n);
  }
}

}  // namespace poolmetrics
