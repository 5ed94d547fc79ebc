// The answer cache ("CACHE=n"): a system's answer that a run on this
// machine fetched less than n seconds ago serves in place of a logon and a
// call, and the first run that finds none asks SAP and keeps what it got
// for the others (run/cache_folder.h keeps the answers). A single run and
// each listed system of a global run ask for their system's answer here.
#pragma once

#include <string_view>

#include "profile/system_definition.h"
#include "rfc/session.h"
#include "run/deadline.h"
#include "run/parameter_values.h"
#include "run/query_system.h"

namespace poolmetrics {

// The asking run's part in it: a single run and a listed system say
// different things around the answer, and only a single run loads the
// library when it needs one.
class CacheCaller {
 public:
  // An answer fetched at `fetched_time` (hh:mm:ss) serves.
  virtual void Served(std::string_view fetched_time) = 0;
  // No cached answer serves: the library to query through, once the caller
  // has said what it says before a query. `unused`: why the cache could not
  // be used (empty: it could, or was not asked). A failure here ends the
  // run (RunFailure).
  virtual RfcLibrary& Querying(std::string_view unused) = 0;
  // Hears what the logon has to say.
  virtual SessionEvents& events() = 0;

 protected:
  ~CacheCaller() = default;
};

// The answer of `system` with the parameters' `values`: with "CACHE=n" a
// kept one when there is one young enough, else what QuerySystem gives,
// which is kept in turn when SAP or the network gave it. Only a `shared`
// definition (one without faults) shares answers: what an invalid one gets
// must never serve a valid profile. Waiting for another run that is
// fetching the same answer is a logon step of `deadline`.
SystemOutcome QueryThroughCache(const SystemDefinition& system, const ParameterValues& values, bool shared,
                                CacheCaller& caller, Deadline& deadline);

}  // namespace poolmetrics
