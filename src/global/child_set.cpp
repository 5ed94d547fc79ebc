#include "global/child_set.h"

namespace poolmetrics {

bool ProcessChildSet::Start(std::size_t place, const std::vector<std::string>& arguments) {
  if (place >= children_.size()) children_.resize(place + 1);
  children_[place] = ChildProcess::StartOwnProgram(arguments);
  return children_[place] != nullptr;
}

bool ProcessChildSet::Running(std::size_t place) const {
  ChildProcess* child = At(place);
  return child && !child->ended();
}

bool ProcessChildSet::Send(std::size_t place, std::string_view text) {
  ChildProcess* child = At(place);
  return child && child->Send(text);
}

void ProcessChildSet::Wait(const std::vector<std::size_t>& places, std::optional<Clock::time_point> until) {
  std::vector<ChildProcess*> waited;
  for (std::size_t place : places)
    if (ChildProcess* child = At(place)) waited.push_back(child);
  WaitForChildren(waited, until);
}

void ProcessChildSet::Drop(std::size_t place) {
  if (place < children_.size()) children_[place].reset();
}

void ProcessChildSet::CloseInputs() {
  for (const std::unique_ptr<ChildProcess>& child : children_)
    if (child) child->CloseInput();
}

}  // namespace poolmetrics
