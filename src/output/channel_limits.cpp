#include "output/channel_limits.h"

namespace poolmetrics {

LimitValues LimitsOf(ChannelLimit limit) {
  switch (limit) {
    case ChannelLimit::kHitRate:
      // 98: SAP's figure for table buffers; 95: ours, well below it.
      return {"", "", "98", "95", "Table buffer hit rate below 95 %, far under SAP's guideline of 98 % (ST02)",
              "Table buffer hit rate below SAP's guideline of 98 % (ST02)"};
    case ChannelLimit::kMemoryInUse:
      // 80: SAP's figure for extended memory; 95: ours, nearly exhausted.
      return {"95", "80", "", "", "Extended memory over 95 % in use: nearly exhausted (SAP's guideline: below 80 %, ST02)",
              "Extended memory over SAP's guideline of 80 % in use (ST02)"};
    case ChannelLimit::kFailedSystems:
      return {"0", "", "", "", "A system of the listing failed: see the summary", ""};
    case ChannelLimit::kNone: break;
  }
  return {};
}

}  // namespace poolmetrics
