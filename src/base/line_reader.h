// LineReader: reads a text file as every file of the program is read, in
// pieces of at most `max_chars` characters: a piece ends after a line feed
// or when it is full, and what remains of a longer line comes as the next
// piece. A carriage return before a line feed is dropped (text mode), on
// every platform alike, so profiles written on Windows read the same natively.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace poolmetrics {

class LineReader {
 public:
  // `max_chars` 0: no limit, every piece is a whole line.
  LineReader(std::FILE* stream, std::size_t max_chars);

  // The next piece, with its line feed if it ended in one; a zero byte ends
  // the piece's text there (the rest of that piece is not part of it).
  // Returns false at the end of the file.
  bool Next(std::string_view* piece);
  // The last piece as read, zero bytes and all.
  std::string_view Raw() const { return piece_; }

 private:
  int Get();
  int Peek();

  std::FILE* stream_;
  std::size_t max_chars_;
  std::string piece_;
  char buffer_[4096];
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

// The piece without one trailing line feed.
std::string_view WithoutLineFeed(std::string_view piece);
// The piece without one trailing carriage return, then one trailing line feed.
std::string_view WithoutLineEnd(std::string_view piece);

}  // namespace poolmetrics
