#include "run/answer_cache.h"

#include <optional>
#include <string>

#include "run/cache_folder.h"

namespace poolmetrics {

SystemOutcome QueryThroughCache(const SystemDefinition& system, const ParameterValues& values, bool shared,
                                CacheCaller& caller, Deadline& deadline) {
  std::optional<unsigned> seconds = values.run.cache;
  if (!seconds || !shared || !UsableForLogon(system))
    return QuerySystem(caller.Querying({}), system, values, caller.events(), deadline);
  std::string unused;
  std::optional<CacheFolder::Turn> turn;
  if (std::optional<CacheFolder> store = CacheFolder::Open(&unused)) {
    // Waiting for the key's turn is part of the logon.
    std::optional<Deadline::Step> waiting;
    auto before_waiting = [&] { waiting.emplace(deadline, QueryStep::kLogon, system.Destination); };
    if (std::optional<CachedAnswer> kept =
            store->Consult(CacheKey(LogonOf(system, values)), *seconds, turn, &unused, before_waiting)) {
      caller.Served(kept->fetched_time);
      return std::move(kept->outcome);
    }
  }
  RfcLibrary& library = caller.Querying(unused);
  SystemOutcome queried = QuerySystem(library, system, values, caller.events(), deadline);
  if (turn) turn->Keep(queried, library.TraceFile());
  return queried;
}

}  // namespace poolmetrics
