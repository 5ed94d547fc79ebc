// File: owns one open C stream and closes it when it goes.
#pragma once

#include <cstdio>
#include <string_view>

namespace poolmetrics {

class File {
 public:
  File() = default;
  explicit File(std::FILE* stream) : stream_(stream) {}
  File(File&& other) noexcept : stream_(other.release()) {}
  File& operator=(File&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { reset(); }

  // Opens a regular file for reading, byte for byte (text-mode line ends are
  // handled by LineReader, the same on every platform). Every file that the
  // program reads is opened here: a directory, a FIFO or a device (on Windows
  // also any device name, such as AUX or NUL.P00) counts as a file that cannot
  // be opened, and neither the open nor a read can block.
  static File OpenRead(const char* path);
  // Creates or truncates a file for writing, byte for byte.
  static File OpenWrite(const char* path);
  // Creates a new file for writing, byte for byte; none when anything of
  // that name is there already (a file is never overwritten) or it cannot
  // be created.
  static File CreateNew(const char* path);

  explicit operator bool() const { return stream_ != nullptr; }
  std::FILE* get() const { return stream_; }
  std::FILE* release() {
    std::FILE* s = stream_;
    stream_ = nullptr;
    return s;
  }
  void reset(std::FILE* stream = nullptr) {
    if (stream_) std::fclose(stream_);
    stream_ = stream;
  }

 private:
  std::FILE* stream_ = nullptr;
};

// True when `path` can be opened for reading (the test is an open and a close).
bool CanOpen(const char* path);

}  // namespace poolmetrics
