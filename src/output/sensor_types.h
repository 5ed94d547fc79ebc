// The thirteen sensor types: keyword, header text and channels, in the order
// in which their sections are written.
#pragma once

#include <bitset>
#include <cstddef>
#include <string_view>

#include "output/channel_limits.h"
#include "output/value_formats.h"
#include "rfc/function_interface.h"

namespace poolmetrics {

struct ChannelDefinition {
  std::string_view label;
  std::size_t source;  // the field's index in its structure, or the table's index (kCount)
  ValueFormat format;
  std::string_view unit;
  ChannelLimit limit = ChannelLimit::kNone;  // what LIMITS adds to it
};

struct SensorType {
  std::string_view keyword;
  std::string_view header;  // follows "(" and the destination
  RowParameter parameter;   // whose fields the channels show (unused for table counts)
  const ChannelDefinition* channels;
  std::size_t channel_count;
};

constexpr std::size_t kSensorTypeCount = 13;
extern const SensorType kSensorTypes[kSensorTypeCount];

// The sensor types a request names, by their place in kSensorTypes.
using SensorSet = std::bitset<kSensorTypeCount>;

// The sensor types whose keyword occurs anywhere in `parameter_keys`.
SensorSet SensorTypesNamedIn(std::string_view parameter_keys);

}  // namespace poolmetrics
