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
#include "run/deadline.h"
#include "run/query_system.h"

namespace poolmetrics {

// A listed name whose profile was read.
struct ListedProfile {
  std::string line;         // the progress line that names the system, for its state line
  std::string label;        // what keys its channels in the Brennick lines
  std::string destination;  // the system its sections name
  bool valid = false;       // its definition has no fault: only then does an answer count as processed
};

// What a listed name gave. Without a profile the name names none of the
// listing (missing, not readable, or leading out of the profile
// directory): it counts only among the systems, and nothing is printed for
// it. An ErrorBlock outcome (an RFC error that the program found itself)
// ends the run at this system.
struct ListedSystem {
  std::optional<ListedProfile> profile;
  SystemOutcome outcome = NotTried{};
};

// Told once the system's profile is read, before its logon: its line and
// label.
using ProfileReadHook = std::function<void(const std::string& line, const std::string& label)>;

// Reads the listed profile `name` in the task's profile directory and
// asks for its system's answer (through the answer cache and `library`),
// with the task's sensor types, overrides and response times, all in steps
// of `deadline`. `read` is told during the call only.
ListedSystem QueryListedSystem(const ListingTask& task, std::string_view name, RfcLibrary& library,
                                const ProfileReadHook& read, Deadline& deadline);

// The channels of a listed system that answered, as the run's document
// takes them in listing order: the task's sensor sections, which in a
// global run write channels only.
std::vector<ChannelValue> ListedChannels(const ListingTask& task, const ListedProfile& profile,
                                         const Answered& answered);

}  // namespace poolmetrics
