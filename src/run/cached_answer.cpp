#include "run/cached_answer.h"

#include <initializer_list>

#include "base/content_digest.h"
#include "base/wire_fields.h"
#include "rfc/destination_entries.h"
#include "base/program_folder.h"
#include "run/outcome_fields.h"

namespace poolmetrics {
namespace {

// The first field of every answer file: a file of another version is
// never read as this one.
constexpr std::string_view kVersion = "PoolMetrics answer 3";

}  // namespace

bool Cacheable(const SystemOutcome& outcome) {
  if (const auto* refused = std::get_if<LogonRefused>(&outcome)) return !refused->local;
  return std::holds_alternative<Answered>(outcome) || std::holds_alternative<CallFailed>(outcome);
}

std::string CacheKey(const LogonDescription& logon, std::string_view destination_entries) {
  std::string key;
  for (std::string_view part : {logon.destination, logon.hostname, logon.sysnr, logon.gateway_host,
                                logon.gateway_service, logon.mode, logon.client, logon.language, logon.user,
                                destination_entries})
    AppendField(key, part);
  return key;
}

std::string CacheKey(const LogonDescription& logon) {
  return CacheKey(logon, DestinationEntries(logon.destination, ProgramDirectory()));
}

std::string CachedAnswerText(std::string_view key, const CachedAnswer& answer) {
  std::string text;
  AppendField(text, kVersion);
  AppendField(text, key);
  AppendNumberField(text, answer.fetched);
  AppendField(text, answer.fetched_time);
  AppendOutcome(text, answer.outcome);
  AppendField(text, "end");
  AppendField(text, ContentDigest(text));
  return text;
}

std::optional<CachedAnswer> ReadCachedAnswer(std::string_view text, std::string_view key) {
  // The check is the last field, of a fixed length: the text before it must
  // give its digest, or nothing of the file is read.
  constexpr std::string_view kCheckLength = "16:";
  constexpr std::size_t kCheckField = kCheckLength.size() + 16;
  if (text.size() < kCheckField) return std::nullopt;
  std::string_view check = text.substr(text.size() - kCheckField);
  text.remove_suffix(kCheckField);
  if (check.substr(0, kCheckLength.size()) != kCheckLength ||
      check.substr(kCheckLength.size()) != ContentDigest(text))
    return std::nullopt;
  FieldReader fields(text);
  if (fields.NextView() != kVersion || fields.NextView() != key) return std::nullopt;
  CachedAnswer answer;
  std::optional<std::int64_t> fetched = fields.NextNumber();
  std::optional<std::string_view> fetched_time = fields.NextView();
  if (!fetched || !fetched_time || fetched_time->size() > answer.fetched_time.kCapacity) return std::nullopt;
  answer.fetched = *fetched;
  answer.fetched_time = *fetched_time;
  std::optional<SystemOutcome> outcome = ReadOutcome(fields);
  // Only what runs may share is ever kept.
  if (!outcome || !Cacheable(*outcome)) return std::nullopt;
  answer.outcome = std::move(*outcome);
  if (fields.NextView() != "end" || !fields.done()) return std::nullopt;
  return answer;
}

}  // namespace poolmetrics
