// ChildSet: the child processes of a parallel global run, one in each of
// the run's places (numbered from 0), as the run sees them. The run decides
// what each child is given; the set starts, feeds, waits for and ends them.
// ProcessChildSet is the set of real processes of the program's own file;
// the unit tests script their own.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/child_process.h"
#include "run/deadline.h"

namespace poolmetrics {

class ChildSet {
 public:
  virtual ~ChildSet() = default;

  // Starts a child of the program with `arguments` in `place`, in place of
  // the one the place held (which is ended); false when none could be
  // started, and the place is empty.
  virtual bool Start(std::size_t place, const std::vector<std::string>& arguments) = 0;
  // The place holds a child that has not ended.
  virtual bool Running(std::size_t place) const = 0;
  // Writes `text` to the child's standard input; false when the place is
  // empty or its child has stopped reading.
  virtual bool Send(std::size_t place, std::string_view text) = 0;
  // Waits until the child of one of `places` has written or ended, but not
  // past `until`; then reads what each has written and notes which ended.
  virtual void Wait(const std::vector<std::size_t>& places, std::optional<Clock::time_point> until) = 0;
  // What the place's child wrote since it started or since the last
  // TakeOutput; the place must hold a child.
  virtual const std::string& Output(std::size_t place) const = 0;
  virtual std::string TakeOutput(std::size_t place) = 0;
  // Ends the place's child now, if it still runs; it stays in its place.
  virtual void Kill(std::size_t place) = 0;
  // Ends the place's child, if any, and empties the place.
  virtual void Drop(std::size_t place) = 0;
  // Closes the input of every child: each reads its end and ends.
  virtual void CloseInputs() = 0;
};

// Children that are processes of the program's own file
// (base/child_process.h). Every child ends with the set at the latest.
class ProcessChildSet final : public ChildSet {
 public:
  bool Start(std::size_t place, const std::vector<std::string>& arguments) override;
  bool Running(std::size_t place) const override;
  bool Send(std::size_t place, std::string_view text) override;
  void Wait(const std::vector<std::size_t>& places, std::optional<Clock::time_point> until) override;
  const std::string& Output(std::size_t place) const override { return children_[place]->output(); }
  std::string TakeOutput(std::size_t place) override { return children_[place]->TakeOutput(); }
  void Kill(std::size_t place) override { children_[place]->Kill(); }
  void Drop(std::size_t place) override;
  void CloseInputs() override;

 private:
  // Null for an empty place.
  ChildProcess* At(std::size_t place) const { return place < children_.size() ? children_[place].get() : nullptr; }

  std::vector<std::unique_ptr<ChildProcess>> children_;  // by place, grown as places are used
};

}  // namespace poolmetrics
