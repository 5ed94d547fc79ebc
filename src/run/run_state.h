// RunState: everything one run knows, created by the program entry and
// passed by reference to the operations that work on it. Field widths are
// those of the program's documents and messages; FixedText cuts what does
// not fit.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "output/caller_mode.h"
#include "output/document_writer.h"
#include "profile/system_definition.h"
#include "base/file.h"
#include "base/fixed_text.h"
#include "run/request.h"

namespace poolmetrics {

// How the channels of each system of a global run are labelled.
enum class SystemLabelKind : char { kProfile = '1', kAlias = '2', kHost = '3', kSid = '4' };

struct RunState {
  Request request;
  FixedText<9> StartTime;          // hh:mm:ss
  // When the run must have answered, if ever: "TIMEOUT=" seconds after its
  // start, or the PRTG modes' 50 s.
  std::optional<std::chrono::steady_clock::time_point> Deadline;
  FixedText<64> ProfileName;       // after the directory split: the file name only
  bool ProfileNameCut = false;     // the name did not fit its field: never opened cut short
  FixedText<96> ProfileDirectory;  // with trailing backslash, or empty
  FixedText<96> ProfilePath;       // the path last tested
  // The document of the run, in the caller mode's form; made once the
  // parameters (and a global run's allocation) are known.
  std::unique_ptr<DocumentWriter> Document;

  SystemDefinition System;
  File Profile;  // left open by LocateProfile for ReadSystemDefinition

  // Global runs. The listing grows with the landscape: a fixed width would
  // drop the systems past it without a word, or cut a name in half.
  std::string ServerListing;
  SystemLabelKind LabelKind = SystemLabelKind::kProfile;
  unsigned SystemCount = 0;
  unsigned ProcessedCount = 0;
  unsigned FailedCount = 0;
};

}  // namespace poolmetrics
