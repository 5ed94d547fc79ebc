#include "run/cache_folder.h"

#include <cstdio>
#include <ctime>

#include "base/content_digest.h"
#include "base/file.h"
#include "base/file_system.h"
#include "base/own_file.h"
#include "base/private_folder.h"
#include "base/text.h"
#include "base/time_of_day.h"
#include "base/program_folder.h"
#include "rfc/trace_hint.h"

namespace poolmetrics {
namespace {

// No answer comes near this size; a larger file is none.
constexpr std::size_t kLargestAnswer = 256 * 1024;

// The key's files are named by its digest. The key itself is checked inside
// the file, so two keys of one digest only cost a logon.
std::string Digest(std::string_view key) { return ContentDigest(key); }

// A file of the cache folder: the key's digest `name` with its `ending`.
std::string CachePath(const std::string& folder, std::string_view name, std::string_view ending) {
  std::string path = folder;
  path.append(name).append(ending);
  return path;
}

// The whole of the cache folder's own plain file `path`; none when there is no
// such file (`why` empty) or something else has its name (`why` says why).
std::optional<std::string> ReadWhole(const std::string& path, std::string* why) {
  File file = OpenOwnFile(path, why);
  if (!file) return std::nullopt;
  // Read straight into the text: an answer fits the first piece.
  constexpr std::size_t kPiece = 4096;
  std::string text;
  for (;;) {
    std::size_t have = text.size();
    text.resize(have + kPiece);
    std::size_t n = std::fread(text.data() + have, 1, kPiece, file.get());
    text.resize(have + n);
    if (text.size() > kLargestAnswer) return std::nullopt;
    if (n < kPiece) break;
  }
  if (std::ferror(file.get())) return std::nullopt;
  return text;
}

// Why the cache folder is not used: its file `name` + `ending` is `fault`.
std::string FileUnused(std::string_view name, std::string_view ending, std::string_view fault) {
  return Concat({"its file ", name, ending, " ", fault});
}

std::optional<CachedAnswer> FreshAnswer(const std::string& path, std::string_view key, unsigned seconds,
                                      std::string* why) {
  std::optional<std::string> text = ReadWhole(path, why);
  if (!text) return std::nullopt;
  std::optional<CachedAnswer> answer = ReadCachedAnswer(*text, key);
  if (!answer) return std::nullopt;
  std::int64_t age = static_cast<std::int64_t>(std::time(nullptr)) - answer->fetched;
  if (age < 0 || age >= static_cast<std::int64_t>(seconds)) return std::nullopt;
  return answer;
}

}  // namespace

std::optional<CacheFolder> CacheFolder::Open(std::string* why) {
  std::string folder = ProgramDirectory();
  if (folder.empty()) {
    *why = "the program's folder cannot be told";
    return std::nullopt;
  }
  char separator = folder.back();
  folder.append(kCacheFolderName).push_back(separator);
  return OpenIn(std::move(folder), why);
}

std::optional<CacheFolder> CacheFolder::OpenIn(std::string folder, std::string* why) {
  char separator = folder.back();
  folder.pop_back();
  std::string problem = PreparePrivateFolder(folder);
  if (!problem.empty()) {
    *why = problem;
    return std::nullopt;
  }
  folder.push_back(separator);
  CacheFolder store;
  store.folder_ = std::move(folder);
  return store;
}

std::optional<CachedAnswer> CacheFolder::Consult(std::string key, unsigned seconds, std::optional<Turn>& turn,
                                               std::string* unused, const std::function<void()>& before_waiting) const {
  unused->clear();
  std::string name = Digest(key);
  std::string fault;
  std::optional<CachedAnswer> kept = FreshAnswer(CachePath(folder_, name, ".answer"), key, seconds, &fault);
  if (!fault.empty()) *unused = FileUnused(name, ".answer", fault);
  if (kept || !fault.empty()) return kept;
  Turn held(*this, std::move(key), name, before_waiting, &fault);
  if (!fault.empty()) {
    *unused = FileUnused(name, ".lock", fault);
    return std::nullopt;
  }
  turn.emplace(std::move(held));
  kept = turn->Fresh(seconds, &fault);
  if (!fault.empty()) {
    *unused = FileUnused(name, ".answer", fault);
    turn.reset();
    return std::nullopt;
  }
  if (kept) return kept;
  // The run asks SAP: the file that its answer will be written to is made
  // now, new under the key's lock and never through a link, so that a name
  // the cache folder cannot use is told before the logon. A file of that name is
  // replaced only when it is the cache folder's own (left by a run that ended
  // half-way).
  turn->temporary_ = CreateOwnFile(turn->Path(".tmp"), &fault);
  if (!turn->temporary_) {
    *unused = FileUnused(name, ".tmp", fault);
    turn.reset();
  }
  return std::nullopt;
}

CacheFolder::Turn::~Turn() {
  if (!temporary_) return;
  temporary_.reset();
  RemoveOwnFile(Path(".tmp"));
}

CacheFolder::Turn::Turn(const CacheFolder& store, std::string key, std::string name,
                        const std::function<void()>& before_waiting, std::string* why)
    : folder_(store.folder_),
      key_(std::move(key)),
      name_(std::move(name)),
      lock_(FileLock::AcquireOwn(Path(".lock"), before_waiting, why)) {}

std::string CacheFolder::Turn::Path(std::string_view ending) const { return CachePath(folder_, name_, ending); }

std::optional<CachedAnswer> CacheFolder::Turn::Fresh(unsigned seconds, std::string* why) const {
  return FreshAnswer(Path(".answer"), key_, seconds, why);
}

void CacheFolder::Turn::Keep(const SystemOutcome& outcome, const std::string& trace_file) {
  // Without the lock another run might be writing the same file.
  if (!Cacheable(outcome) || !lock_.held() || !temporary_) return;
  CachedAnswer answer{outcome, static_cast<std::int64_t>(std::time(nullptr)), TimeOfDay()};
  if (auto* failed = std::get_if<CallFailed>(&answer.outcome); failed && !failed->trace_hint) {
    File trace = File::OpenRead(trace_file.c_str());
    failed->trace_hint = std::string(TraceHint(trace.get()));
  }
  std::string text = CachedAnswerText(key_, answer);
  std::string temporary = Path(".tmp");
  {
    File file = std::move(temporary_);
    bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                   std::fflush(file.get()) == 0 && !std::ferror(file.get());
    file.reset();
    if (!written) {
      RemoveOwnFile(temporary);
      return;
    }
  }
  if (!MoveFileOver(temporary.c_str(), Path(".answer").c_str())) RemoveOwnFile(temporary);
  RemoveOldFiles(folder_.substr(0, folder_.size() - 1), {".answer", ".tmp"}, kCachedFileLifeSeconds);
}

}  // namespace poolmetrics
