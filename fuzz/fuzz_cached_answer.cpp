// A cached answer as the cache folder's reader meets it: any bytes of a file in
// PoolMetrics.cache. The input is read twice: as the whole file, and as the
// text before the check with a check made for it, so that the fuzzer reaches
// the fields behind the check. What reads is written again, and that reads
// back to the same file.
#include <string>
#include <string_view>

#include "base/content_digest.h"
#include "base/wire_fields.h"
#include "run/cached_answer.h"

using namespace poolmetrics;

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// The key the file claims, its second field: a file is read under the key
// that named it, so only the file's own key gets past the key's check.
std::string ClaimedKey(std::string_view text) {
  FieldReader fields(text);
  fields.NextView();
  return std::string(fields.NextView().value_or(""));
}

void ReadAndWriteBack(std::string_view text) {
  std::string key = ClaimedKey(text);
  std::optional<CachedAnswer> answer = ReadCachedAnswer(text, key);
  if (!answer) return;
  Check(Cacheable(answer->outcome));
  std::string written = CachedAnswerText(key, *answer);
  std::optional<CachedAnswer> again = ReadCachedAnswer(written, key);
  Check(again.has_value());
  Check(again->outcome.index() == answer->outcome.index() && again->fetched == answer->fetched &&
        again->fetched_time.view() == answer->fetched_time.view());
  Check(CachedAnswerText(key, *again) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadAndWriteBack(text);
  // The check is the last field: the digest of the text before it.
  std::string sealed(text);
  AppendField(sealed, ContentDigest(text));
  ReadAndWriteBack(sealed);
  return 0;
}
