// RunFailure: the one error type of the program. It travels to the program
// entry, which prints what it carries: the error document of its message,
// ending the run with exit status 2, or, for an RFC error that the program
// found itself, the error block, with exit status 1.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/text.h"
#include "rfc/error_block.h"

namespace poolmetrics {

class RunFailure {
 public:
  explicit RunFailure(std::string message) : message_(std::move(message)) {}
  explicit RunFailure(ErrorBlock block) : block_(std::move(block)) {}
  const std::string& message() const { return message_; }
  const std::optional<ErrorBlock>& block() const { return block_; }

 private:
  std::string message_;
  std::optional<ErrorBlock> block_;
};

[[noreturn]] inline void Fail(std::string message) { throw RunFailure(std::move(message)); }

}  // namespace poolmetrics
