// PRTG's channel limits that the keyword LIMITS adds to the XML forms: SAP's
// guidelines for the tuning summary (transaction ST02) where SAP publishes
// one, and a failing system of a global run. PRTG takes a channel's limits
// from the document only when it creates the channel.
#pragma once

#include <string_view>

namespace poolmetrics {

enum class ChannelLimit : unsigned char {
  kNone,
  kHitRate,        // a table buffer hit rate: SAP's 98 % or better
  kMemoryInUse,    // extended memory in use: SAP's below 80 %
  kFailedSystems,  // a global run's failed systems: none
};

// The limits of one kind, each empty where the kind sets none.
struct LimitValues {
  std::string_view max_error, max_warning, min_warning, min_error;
  std::string_view error_message, warning_message;
};

LimitValues LimitsOf(ChannelLimit limit);

// The labels of the channels that only LIMITS adds.
constexpr std::string_view kMemoryInUseLabel = "EM in use";
constexpr std::string_view kFailedSystemsLabel = "Failed systems";

}  // namespace poolmetrics
