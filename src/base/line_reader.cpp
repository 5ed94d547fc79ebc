#include "base/line_reader.h"

namespace poolmetrics {

LineReader::LineReader(std::FILE* stream, std::size_t max_chars) : stream_(stream), max_chars_(max_chars) {
  piece_.reserve(max_chars);
}

int LineReader::Peek() {
  if (pos_ == end_) {
    end_ = stream_ ? std::fread(buffer_, 1, sizeof buffer_, stream_) : 0;
    pos_ = 0;
    if (end_ == 0) return EOF;
  }
  return static_cast<unsigned char>(buffer_[pos_]);
}

int LineReader::Get() {
  int c = Peek();
  if (c != EOF) ++pos_;
  return c;
}

bool LineReader::Next(std::string_view* piece) {
  piece_.clear();
  while (max_chars_ == 0 || piece_.size() < max_chars_) {
    int c = Get();
    if (c == EOF) break;
    if (c == '\r' && Peek() == '\n') c = Get();
    piece_.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (piece_.empty()) return false;
  std::string_view text(piece_);
  *piece = text.substr(0, text.find('\0'));
  return true;
}

std::string_view WithoutLineFeed(std::string_view piece) {
  if (!piece.empty() && piece.back() == '\n') piece.remove_suffix(1);
  return piece;
}

std::string_view WithoutLineEnd(std::string_view piece) {
  if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
  return WithoutLineFeed(piece);
}

}  // namespace poolmetrics
