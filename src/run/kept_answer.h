// KeptAnswer: what one query of one SAP system gave, as runs on this
// machine share it (CACHE=n): the typed statistic result, from which every
// sensor type can be printed, or a failure that the SAP system gave (a
// refused logon, a failed call with its trace-file hint). Failures of the
// program's own side (a profile fault, a missing library, an RFC error
// block, a deadline) are never kept, and neither is any password.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "rfc/session.h"
#include "run/query_system.h"

namespace poolmetrics {

struct KeptAnswer {
  SystemOutcome outcome = NotTried{};  // Answered, CallFailed or LogonRefused
  std::int64_t fetched = 0;   // when, in seconds since 1970 (the machine's clock)
  FixedText<9> fetched_time;  // and the time of day then, hh:mm:ss, as progress lines show it
};

// Whether the outcome is one that runs may share.
bool Keepable(const SystemOutcome& outcome);

// The key of the answers of one logon: destination, host and system number
// (after the overrides), gateway host and service, mode, client, language
// and user; never the password. Runs with the same key ask the same system
// as the same logon, whichever library would serve them.
std::string AnswerKey(const LogonDescription& logon);

// The file of a kept answer: its format's version, `key` (so that a file
// reached under another key's name is never taken), the answer.
std::string AnswerFileText(std::string_view key, const KeptAnswer& answer);

// The answer of a file's text; none when the text is damaged, cut short, of
// another version or of another key.
std::optional<KeptAnswer> ReadAnswerFile(std::string_view text, std::string_view key);

}  // namespace poolmetrics
