#include "rfc/trace_hint.h"

#include <gtest/gtest.h>

#include <string>

namespace poolmetrics {
namespace {

std::string Hint(const std::string& trace) {
  std::FILE* f = std::tmpfile();
  std::fwrite(trace.data(), 1, trace.size(), f);
  std::rewind(f);
  std::string hint(TraceHint(f));
  std::fclose(f);
  return hint;
}

TEST(TraceHint, Rules) {
  EXPECT_EQ(std::string(TraceHint(nullptr)), " - Look for Trace-File");
  struct {
    const char* label;
    std::string trace;
    std::string hint;
  } cases[] = {
      {"empty file", "", " - Please Check Trace-File !"},
      {"ERROR line", "ERROR       partner not reached\n", " - partner not reached"},
      {"ERROR line with CRLF", "ERROR       partner not reached\r\n", " - partner not reached"},
      {"arrow line wins over an earlier ERROR", "ERROR       first\nxxxxxxx======> second message\n",
       " - second message"},
      {"**** ERROR clears the message", "ERROR       old\n**** ERROR file opened\nother\n",
       " - Please Check Trace-File !"},
      {"message after **** ERROR", "**** ERROR file opened\nERROR       new one\n", " - new one"},
      {"short ERROR line", "ERROR x\n", " - Please Check Trace-File !"},
      {"message cut to 87 characters", "ERROR       " + std::string(120, 'm') + "\n", " - " + std::string(87, 'm')},
  };
  for (const auto& c : cases) EXPECT_EQ(Hint(c.trace), c.hint) << c.label;
}

}  // namespace
}  // namespace poolmetrics
