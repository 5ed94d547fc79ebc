// RunFailure: the one error type of the program. It carries the message of
// the error document and travels to the program entry, which prints the
// document and ends the run with exit status 2.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace poolmetrics {

class RunFailure {
 public:
  explicit RunFailure(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

// Joins the pieces of a message.
inline std::string Concat(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view p : pieces) text += p;
  return text;
}

[[noreturn]] inline void Fail(std::string message) { throw RunFailure(std::move(message)); }

}  // namespace poolmetrics
