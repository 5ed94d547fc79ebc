// The thirteen sensor types: keyword, header text and channels, in the order
// in which their sections are written.
#pragma once

#include <cstddef>
#include <string_view>

#include "output/value_formats.h"

namespace poolmetrics {

struct ChannelDefinition {
  std::string_view label;
  unsigned source;  // the field's offset in its row, or the table's index (kCount)
  ValueFormat format;
  std::string_view unit;
};

struct SensorType {
  std::string_view keyword;
  std::string_view header;  // follows "(" and the destination
  std::size_t parameter;    // offsetof the row in SummaryStatistic (unused for table counts)
  const ChannelDefinition* channels;
  std::size_t channel_count;
};

extern const SensorType kSensorTypes[13];

}  // namespace poolmetrics
