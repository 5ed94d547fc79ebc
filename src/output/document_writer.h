// DocumentWriter: the one owner of the output document. There is one writer
// per output form (the PRTG XML form, the Brennick lines, the Quillon lines)
// behind this interface. Each owns its escaping, the run's channel count
// with the selection and limit that depend on it, and the frame.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/caller_mode.h"
#include "output/channel_limits.h"
#include "rfc/error_block.h"

namespace poolmetrics {

// The unit of response times in milliseconds: PRTG's own unit
// "TimeResponse" in the XML form, "mSec" in the line forms.
constexpr std::string_view kResponseTimeUnit = "TimeResponse";
// PRTG's own unit of a count (LIMITS' "Failed systems").
constexpr std::string_view kCountUnit = "Count";

// Channels a "Brennick" front-end takes in one run.
constexpr unsigned kBrennickChannelLimit = 10;

// What the document reserves at start-up: enough for any single-system
// document (fourteen channels in the XML form take about 2,000 characters).
// A global run that names many sensor types grows it further; it is never
// cut.
constexpr std::size_t kDocumentReserve = 4096;

class DocumentWriter {
 public:
  virtual ~DocumentWriter() = default;

  // Starts the document, discarding whatever it held.
  virtual void Open() = 0;
  // A free-text line: a section header, or a global run's summary.
  virtual void Text(std::string_view text) = 0;
  // One channel, with PRTG's limits of `limit` (the XML form writes them;
  // the line forms have none). Every call counts towards the run's
  // channels, also one that the form then leaves out.
  virtual void Channel(std::string_view label, std::string_view value, std::string_view unit, ChannelLimit limit) = 0;
  // Text that stands in the document in place of channels: a failed call's
  // message in a global run.
  virtual void Append(std::string_view text) = 0;
  // Ends the document.
  virtual void Close() = 0;
  // A line printed inside the open document (a global run's state line).
  virtual std::string Line(std::string_view text) const = 0;

  // In a global run the Brennick lines name every channel of a system by
  // the system's label (also an empty one), not by the channel's own.
  void KeyChannelsBy(std::string_view system_label) {
    keyed_by_system_ = true;
    system_label_ = system_label;
  }

  // The name a channel of sensor type `keyword` takes in this document. In
  // PRTG's own mode (NameChannelsOnce) a name never stands twice in one
  // document, as PRTG keys channels by name and would show only one of
  // them: a name already written gets the keyword and ": " in front
  // ("TOTAL-ROWS: Physical updates"). Elsewhere, and for a name's first
  // channel, the label as it is.
  std::string ChannelName(std::string_view keyword, std::string_view label);
  void NameChannelsOnce() { names_once_ = true; }

  // The PRTG error document carrying `message`, the same in every form,
  // complete and well-formed, in place of whatever the document held.
  void Error(std::string_view message);

  const std::string& text() const { return document_; }
  void clear() {
    document_.clear();
    names_.clear();
  }

 protected:
  DocumentWriter() { document_.reserve(kDocumentReserve); }

  // Starts the channel names anew, with the document.
  void ForgetChannelNames() { names_.clear(); }

  std::string document_;
  unsigned channel_count_ = 0;
  bool keyed_by_system_ = false;
  std::string system_label_;

 private:
  bool names_once_ = false;
  std::vector<std::string> names_;  // the channel names in the document, with NameChannelsOnce
};

// The writer of the caller mode's form. `selected_channel`: mode Quillon's
// "CH=" selection, if the parameters make one.
std::unique_ptr<DocumentWriter> MakeDocumentWriter(CallerMode mode, std::optional<unsigned> selected_channel);

// The name of a channel in the "Brennick" lines: blanks, slashes,
// backslashes, brackets, stars, parentheses, colons, hyphens and control
// characters become "_", and so does the first full stop.
std::string ChannelKey(std::string_view name);

// A line printed inside a document of the caller mode's form (a global
// run's state line, a progress line between its channels): escaped in the
// XML form, and without any control character, tabs and line ends included.
std::string DocumentLine(CallerMode mode, std::string_view text);

// The PRTG error document carrying `message` (cut as CutToPrtgText cuts
// it), the same in every caller mode.
std::string ErrorDocument(std::string_view message);

// PRTG shows at most this many characters of a document's text.
constexpr std::size_t kPrtgTextLimit = 2000;

// `text` as it fits what PRTG shows: cut to kPrtgTextLimit - 3 characters
// and "..." when it holds more than kPrtgTextLimit.
std::string CutToPrtgText(std::string text);

// Message 1036, where PRTG's document must stand alone: "Error 1036: RFC
// error at " + the operation + ": " + the library's key + " - " + its
// message + "...", cut so that the document's text, read as XML, holds at
// most kPrtgTextLimit characters.
std::string RfcErrorMessage(const ErrorBlock& block);

// The unit as the line forms show it: "#" for none, "%" for "PerCent",
// "mSec" for "TimeResponse".
std::string_view DisplayedUnit(std::string_view unit);

}  // namespace poolmetrics
