// Standard output, the program's only channel to the monitoring host, and
// standard error, which takes the lines around the document where the
// document must stand alone (see SetDocumentAlone).
#pragma once

#include <cstdio>
#include <string_view>

namespace poolmetrics {

// Held for every write to standard output. A run's deadline is kept by a
// watchdog thread that writes the run's last document and ends the process
// (and the RFC library's error callback does the same on the main thread):
// holding this lock, it writes its text whole, never inside a line of the
// run's. The lock is recursive, so a holder may print; it is never held
// while the RFC library has control. (output_lock_posix.cpp /
// output_lock_win32.cpp)
class OutputLock {
 public:
  OutputLock();
  ~OutputLock();
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;
  // True when this thread held the lock already before this one was taken.
  bool nested() const { return nested_; }

 private:
  bool nested_ = false;
};

// PRTG's mode: standard output carries the document and nothing else,
// written whole when the run ends (OutputDelivered) or is ended; the lines
// printed around or inside it (PrintAside) go to standard error. Set once
// by the entry, before anything is printed.
void SetDocumentAlone();

// Text of the document. With the document alone it is held until the
// output is delivered; else it is written to standard output now.
void Print(std::string_view text);
void PrintLine(std::string_view text);

// The error document of a run that ends in an error: with the document
// alone it takes the place of whatever the run had begun of its document;
// else it follows what was printed.
void PrintInstead(std::string_view text);

// Text around or inside the document that is not part of it (progress
// lines, a global run's state lines, what a logon says). In order with the
// document on standard output; with the document alone on standard error,
// where it never delays the document, the status or a deadline: it is
// written without waiting and without the output lock (deferred while this
// thread holds it), and what standard error does not take at once (a pipe
// nobody reads, a closed one) is dropped.
void PrintAside(std::string_view text);
// The same, followed by a line feed.
void PrintAsideLine(std::string_view text);

// Writes what is held and flushes standard output (and what standard error
// was deferred); false when anything printed did not reach standard output
// (a full disk, a closed pipe). Errors stick to the stream, so one check at
// the end covers every line printed before.
bool OutputDelivered();

// The same for a process that ends right after (the watchdog, the RFC
// library's error callback): what standard error was deferred is written
// too, even by the holder of the output lock.
bool DeliverLastWords();

// Moves what the process writes to standard output, but for the document,
// to standard error (aside_stream_posix.cpp, aside_stream_win32.cpp), so
// that not even an RFC library that prints for itself reaches the document's
// reader; returns the stream that still writes to the original standard
// output (stdout itself where nothing could be moved).
std::FILE* MoveStandardOutputAside();

// The platform's write to standard error that never waits
// (aside_stream_posix.cpp, aside_stream_win32.cpp): false when not all of
// `text` could be written, or queued for writing, at once.
bool WriteAsideWithoutWaiting(std::string_view text);
// At the process's end: lets what was queued for standard error out, but
// waits a moment at most (on Windows, whose writes of standard error a
// thread makes).
void LetAsideLinesOut();

}  // namespace poolmetrics
