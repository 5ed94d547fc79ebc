// ChannelRecorder: a document writer that keeps the channels it is given
// instead of writing them. A global run's system hands its channels to the
// run's document later, in listing order (from a child process, in a
// parallel run), so that the run's channel count, with the selection and the
// limit that depend on it, stays that of a sequential run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/caller_mode.h"
#include "output/document_writer.h"

namespace poolmetrics {

struct ChannelValue {
  std::string label, value, unit;
  ChannelLimit limit = ChannelLimit::kNone;
};

class ChannelRecorder final : public DocumentWriter {
 public:
  // `mode`: the form of the lines printed inside the run's document.
  explicit ChannelRecorder(CallerMode mode) : mode_(mode) {
    if (mode == CallerMode::kExeXml) NameChannelsOnce();
  }

  void Open() override {}
  void Text(std::string_view) override {}
  void Channel(std::string_view label, std::string_view value, std::string_view unit, ChannelLimit limit) override {
    channels_.push_back({std::string(label), std::string(value), std::string(unit), limit});
  }
  // A global run's sections write channels only; a failure's text is the
  // run's to place.
  void Append(std::string_view) override {}
  void Close() override {}
  std::string Line(std::string_view text) const override { return DocumentLine(mode_, text); }

  std::vector<ChannelValue>& channels() { return channels_; }

 private:
  CallerMode mode_;
  std::vector<ChannelValue> channels_;
};

// Writes `channels` into `document`, in their order.
inline void WriteChannels(DocumentWriter& document, const std::vector<ChannelValue>& channels) {
  for (const ChannelValue& c : channels) document.Channel(c.label, c.value, c.unit, c.limit);
}

}  // namespace poolmetrics
