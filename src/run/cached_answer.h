// CachedAnswer: what one query of one SAP system gave, as runs on this
// machine share it (CACHE=n): the typed statistic result, from which every
// sensor type can be printed, or a failure that the SAP system or the
// network gave (a refused logon, an unreached host, a failed call with its
// trace-file hint). Failures of the program's own side (a profile fault, a
// missing library, a destination file that cannot be copied or lacks the
// entry, an RFC error block, a deadline) are never kept, and neither is any
// password.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "rfc/session.h"
#include "run/query_system.h"

namespace poolmetrics {

struct CachedAnswer {
  SystemOutcome outcome = NotTried{};  // Answered, CallFailed or LogonRefused
  std::int64_t fetched = 0;   // when, in seconds since 1970 (the machine's clock)
  FixedText<9> fetched_time;  // and the time of day then, hh:mm:ss, as progress lines show it
};

// Whether the outcome is one that runs may share.
bool Cacheable(const SystemOutcome& outcome);

// The key of the answers of one logon: destination, host and system number
// (after the overrides), gateway host and service, mode, client, language
// and user, and `destination_entries`, the state of the destination entries
// either library could read for it (DestinationEntries); never the password.
// Runs with the same key ask the same system as the same logon, whichever
// library would serve them.
std::string CacheKey(const LogonDescription& logon, std::string_view destination_entries);

// The same with the destination entries as the working directory and the
// program's folder hold them now.
std::string CacheKey(const LogonDescription& logon);

// The file of a cached answer: its format's version, `key` (so that a file
// reached under another key's name is never taken), the answer, and last a
// check of all that: the digest (ContentDigest) of the text before it.
std::string CachedAnswerText(std::string_view key, const CachedAnswer& answer);

// The answer of a file's text; none when the text fails its check, is
// damaged, cut short, of another version or of another key.
std::optional<CachedAnswer> ReadCachedAnswer(std::string_view text, std::string_view key);

}  // namespace poolmetrics
