#include <windows.h>

#include <optional>
#include <string>

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

// Takes what the reader has read; at the end of the output, waits for the
// child to exit. True when there was anything new.
bool Take(ChildProcess::Platform& p, std::string& output, bool& ended) {
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
  ended = true;
  return true;
}

// The argument in UTF-16, read in the ANSI code page, in which the child's
// C runtime reads it back; none when that would not give the same bytes
// again (a byte that is no character of the code page, a zero byte).
std::optional<std::wstring> WideArgument(const std::string& argument) {
  if (argument.empty()) return std::wstring();
  if (argument.find('\0') != std::string::npos) return std::nullopt;
  int size = static_cast<int>(argument.size());
  int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, argument.data(), size, nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, argument.data(), size, &wide[0], n);
  std::string back(argument.size(), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), n, &back[0], size, nullptr, nullptr) != size || back != argument)
    return std::nullopt;
  return wide;
}

// Appends `argument` to a command line so that the child's C runtime splits
// it off unchanged: in double quotes where it needs them, with the
// backslashes before a quote doubled.
void AppendArgument(std::wstring& line, const std::wstring& argument) {
  if (!line.empty()) line += L' ';
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

// The running program's own file, in UTF-16: a folder whose name has
// characters outside the ANSI code page (Cyrillic, Japanese) keeps them.
// Empty when it cannot be told.
std::wstring OwnProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= 32768) return {};  // longer than any path Windows has
    path.resize(path.size() * 2);
  }
}

// The job that holds the children. Closed when the parent ends, however it
// ends, it ends every child with it. Null when there is none.
HANDLE ChildrenJob() {
  static HANDLE job = [] {
    HANDLE made = CreateJobObjectW(nullptr, nullptr);
    if (!made) return made;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      CloseHandle(made);
      return HANDLE(nullptr);
    }
    return made;
  }();
  return job;
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

std::unique_ptr<ChildProcess> ChildProcess::StartOwnProgram(const std::vector<std::string>& arguments) {
  // The wide interfaces throughout: the program's path may hold any
  // character, and the arguments are converted as the child reads them back.
  std::wstring program = OwnProgramPath();
  if (program.empty()) return nullptr;
  std::wstring line;
  AppendArgument(line, program);
  for (const std::string& a : arguments) {
    std::optional<std::wstring> wide = WideArgument(a);
    if (!wide) return nullptr;
    AppendArgument(line, *wide);
  }

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
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input_read;
  startup.hStdOutput = output_write;
  startup.hStdError = error;
  PROCESS_INFORMATION info{};
  // Suspended until it is in the job: it runs no code that could outlive
  // the parent.
  BOOL started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                                &startup, &info);
  CloseHandle(input_read);
  CloseHandle(output_write);
  if (error && error != INVALID_HANDLE_VALUE) CloseHandle(error);
  if (!started) {
    CloseHandle(input_write);
    CloseHandle(output_read);
    return nullptr;
  }
  // Without a job (Windows before 8 within a job of its own that allows no
  // other) the child still ends at its own deadline or at the end of its
  // input, which its parent's end brings.
  if (HANDLE job = ChildrenJob()) AssignProcessToJobObject(job, info.hProcess);
  ResumeThread(info.hThread);
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
      if (!child->ended_) any = Take(*child->platform_, child->output_, child->ended_) || any;
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
