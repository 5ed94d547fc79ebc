// One system of a global run's listing: its profile read and its system
// queried. The sequential loop and the child processes of a parallel run do
// exactly this for each system, and the run prints what it gives in listing
// order, so that both print the same.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "global/listing_task.h"
#include "output/channel_recorder.h"
#include "rfc/error_block.h"
#include "rfc/session.h"

namespace poolmetrics {

struct ListedSystemOutcome {
  // False when the name names no profile of the listing (missing, not
  // readable, or leading out of the profile directory): such a name counts
  // only among the systems, and nothing is printed for it.
  bool read = false;
  std::string line;   // the progress line that names the system, for its state line
  std::string label;  // what keys its channels in the Brennick lines
  std::vector<ChannelValue> channels;
  std::string failure;  // a failed call's message, in place of the channels
  bool processed = false;
  std::optional<ErrorBlock> block;  // an RFC error the program found itself: the run ends with its block
};

// Told once the system's profile is read, before its logon: its line and
// label.
using ProfileReadHook = std::function<void(const std::string& line, const std::string& label)>;

// Reads the listed profile `name` in the task's profile directory and
// queries its system through `library`, with the task's sensor types,
// overrides and response times. `read` is told during the call only.
ListedSystemOutcome QueryListedSystem(const ListingTask& task, std::string_view name, RfcLibrary& library,
                                      const ProfileReadHook& read);

}  // namespace poolmetrics
