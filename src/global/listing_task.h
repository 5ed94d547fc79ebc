// ListingTask: what every system of a global run's listing is queried and
// printed with, the narrow part of the request that a listed system needs.
// A parallel run hands it to its children (global/child_task.h).
#pragma once

#include <optional>
#include <string>

#include "global/listing.h"
#include "output/caller_mode.h"
#include "output/sensor_types.h"
#include "run/parameter_values.h"
#include "run/prtg_credentials.h"

namespace poolmetrics {

struct ListingTask {
  CallerMode mode = CallerMode::kExeXml;
  SystemLabelKind label_kind = SystemLabelKind::kProfile;
  SensorSet sensors;
  // The overrides ",HOST=" and ",NO=", the channel selection, the response
  // times and the age of answers that may serve; the rest of the run
  // control is the run's, not a system's.
  ParameterValues values;
  bool show_progress = false;
  std::string profile_directory;  // where the listed profiles lie
  // With "CREDENTIALS=": the user and password of every logon. Each process
  // reads them from its own environment; they never travel in a child's
  // task, only the section does.
  std::optional<LogonCredentials> credentials;
};

}  // namespace poolmetrics
