#include "run/parameter_values.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "run/request.h"

namespace poolmetrics {
namespace {

ParameterValues Read(const std::string& text) {
  std::string keys = text;
  UpperCaseInPlace(keys);
  return ReadParameterValues(text, keys);
}

// -1: the keyword is not given (or its value was refused).
int Or(std::optional<unsigned> value) { return value ? static_cast<int>(*value) : -1; }

TEST(RunControlKeywords, ValuesRangesAndWholeWords) {
  struct {
    const char* parameters;
    int timeout, parallel;
    bool times;
    const char* fault;  // null: none
  } cases[] = {
      {"TOTAL-ROWS", -1, -1, false, nullptr},
      {"TOTAL-ROWS TIMEOUT=30", 30, -1, false, nullptr},
      {"total-rows,timeout=5,parallel=8", 5, 8, false, nullptr},
      {"TIMEOUT=1 PARALLEL=1", 1, 1, false, nullptr},
      {"TIMEOUT=900,PARALLEL=64", 900, 64, false, nullptr},
      {"TIMEOUT=007", 7, -1, false, nullptr},
      {"TIMEOUT=0", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=0, use 1 to 900..."},
      {"TIMEOUT=901", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=901, use 1 to 900..."},
      {"TIMEOUT=99999999999999999999", -1, -1, false,
       "Error 1035: Invalid Value TIMEOUT=99999999999999999999, use 1 to 900..."},
      {"TIMEOUT=-5", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=-5, use 1 to 900..."},
      {"timeout=5s", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=5s, use 1 to 900..."},
      {"TIMEOUT= 5", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=, use 1 to 900..."},
      {"TIMEOUT=", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=, use 1 to 900..."},
      {"PARALLEL=65", -1, -1, false, "Error 1035: Invalid Value PARALLEL=65, use 1 to 64..."},
      {"PARALLEL=0x10", -1, -1, false, "Error 1035: Invalid Value PARALLEL=0x10, use 1 to 64..."},
      // The first faulty keyword names the message; a good value still counts.
      {"PARALLEL=x TIMEOUT=y", -1, -1, false, "Error 1035: Invalid Value TIMEOUT=y, use 1 to 900..."},
      {"TIMEOUT=10 PARALLEL=100", 10, -1, false, "Error 1035: Invalid Value PARALLEL=100, use 1 to 64..."},
      // TIMES only as a word of its own, between blanks and commas.
      {"TOTAL-ROWS TIMES", -1, -1, true, nullptr},
      {"TOTAL-ROWS,times,CH=2", -1, -1, true, nullptr},
      {"TIMES", -1, -1, true, nullptr},
      {"TOTAL-ROWS ITEM=Downtimes", -1, -1, false, nullptr},
      {"TOTAL-ROWS,TIMESTAMP", -1, -1, false, nullptr},
      {"ITEM=Downtimes,TIMES", -1, -1, true, nullptr},
  };
  for (const auto& c : cases) {
    RunControl v = Read(c.parameters).run;
    EXPECT_EQ(Or(v.timeout), c.timeout) << c.parameters;
    EXPECT_EQ(Or(v.parallel), c.parallel) << c.parameters;
    EXPECT_EQ(v.times, c.times) << c.parameters;
    EXPECT_EQ(v.fault.value_or("none"), c.fault ? c.fault : "none") << c.parameters;
  }
}

TEST(RunControlKeywords, CredentialSections) {
  struct {
    const char* parameters;
    std::optional<CredentialSection> section;
    const char* fault;  // null: none
  } cases[] = {
      {"PXA-INFO", std::nullopt, nullptr},
      {"PXA-INFO,CREDENTIALS=WINDOWS", CredentialSection::kWindows, nullptr},
      {"pxa-info credentials=Linux,CACHE=60", CredentialSection::kLinux, nullptr},
      {"CREDENTIALS=", std::nullopt, "Error 1035: Invalid Value CREDENTIALS=, use WINDOWS or LINUX..."},
      {"CREDENTIALS=Kerberos", std::nullopt, "Error 1035: Invalid Value CREDENTIALS=Kerberos, use WINDOWS or LINUX..."},
      // The section whole, not a word that starts like one.
      {"CREDENTIALS=WINDOWSX", std::nullopt,
       "Error 1035: Invalid Value CREDENTIALS=WINDOWSX, use WINDOWS or LINUX..."},
      // The first faulty keyword names the message.
      {"TIMEOUT=0 CREDENTIALS=x", std::nullopt, "Error 1035: Invalid Value TIMEOUT=0, use 1 to 900..."},
  };
  for (const auto& c : cases) {
    RunControl v = Read(c.parameters).run;
    EXPECT_EQ(v.credentials, c.section) << c.parameters;
    EXPECT_EQ(v.fault.value_or("none"), c.fault ? c.fault : "none") << c.parameters;
  }
  RunControl run = FirstGiven(Read("KEY CREDENTIALS=LINUX").run, Read("PXA-INFO CREDENTIALS=WINDOWS").run);
  EXPECT_EQ(run.credentials, CredentialSection::kLinux);
  run = FirstGiven(Read("KEY").run, Read("PXA-INFO CREDENTIALS=WINDOWS").run);
  EXPECT_EQ(run.credentials, CredentialSection::kWindows);
}

// A global-file run reads its allocation text; what the command line says
// about the run's deadline, width and response times wins.
TEST(RunControlKeywords, CommandLineWinsOverTheAllocation) {
  struct {
    const char* command_line;
    const char* allocation;
    int timeout, parallel;
    bool times;
  } cases[] = {
      {"KEY", "PXA-INFO TIMEOUT=20 PARALLEL=4 TIMES", 20, 4, true},
      {"KEY TIMEOUT=5", "PXA-INFO TIMEOUT=20", 5, -1, false},
      {"KEY PARALLEL=2,TIMES", "PXA-INFO PARALLEL=8", -1, 2, true},
      {"KEY TIMES", "TOTAL-ROWS", -1, -1, true},
  };
  for (const auto& c : cases) {
    RunControl run = FirstGiven(Read(c.command_line).run, Read(c.allocation).run);
    EXPECT_EQ(Or(run.timeout), c.timeout) << c.command_line;
    EXPECT_EQ(Or(run.parallel), c.parallel) << c.command_line;
    EXPECT_EQ(run.times, c.times) << c.command_line;
  }
  // A faulty value in the allocation is the allocation's fault, whatever the
  // command line says.
  RunControl run = FirstGiven(Read("KEY TIMEOUT=5").run, Read("PXA-INFO TIMEOUT=0").run);
  EXPECT_EQ(run.fault.value_or(""), "Error 1035: Invalid Value TIMEOUT=0, use 1 to 900...");
}

// A "NAME=" word between blanks and commas must hold a keyword somewhere; the
// message names the first word that does not by its name as typed, never its
// value, after any faulty value.
TEST(RunControlKeywords, UnknownKeywords) {
  constexpr const char* kUse = ", use ,HOST= ,NO= CH= ITEM= TIMEOUT= PARALLEL= CACHE= CREDENTIALS= TIMES LIMITS...";
  struct {
    const char* parameters;
    KeywordCheck check;
    const char* unknown;  // the name in the message; null: no fault
  } cases[] = {
      {"TOTAL-ROWS TIMOUT=30", KeywordCheck::kParameterWords, "TIMOUT="},
      {"TOTAL-ROWS,PARALEL=3", KeywordCheck::kParameterWords, "PARALEL="},
      {"PXA-INFO CREDENTIAL=WINDOWS", KeywordCheck::kParameterWords, "CREDENTIAL="},
      {"total-rows timout=30", KeywordCheck::kParameterWords, "timout="},
      {"TOTAL-ROWS,TIMES=3", KeywordCheck::kParameterWords, "TIMES="},
      {"TOTAL-ROWS =5", KeywordCheck::kParameterWords, "="},
      // The first unknown word, up to its first "=".
      {"TOTAL-ROWS A=b=c,B=1", KeywordCheck::kParameterWords, "A="},
      {"TOTAL-ROWS,HOST=a,SIDE=b", KeywordCheck::kParameterWords, "SIDE="},
      // Keywords are found inside longer words, as their values are.
      {"TOTAL-ROWS NOCACHE=1", KeywordCheck::kParameterWords, nullptr},
      {"TOTAL-ROWS BATCH=2", KeywordCheck::kParameterWords, nullptr},
      {"TOTAL-ROWS,HOST=a=b,NO=00", KeywordCheck::kParameterWords, nullptr},
      {"TOTAL-ROWS HOST=a", KeywordCheck::kParameterWords, nullptr},
      {"x ITEM=Prd:Main,x", KeywordCheck::kParameterWords, nullptr},
      {"TOTAL-ROWS # TIMES CH=3 TIMEOUT=5 PARALLEL=2 CACHE=60 CREDENTIALS=LINUX", KeywordCheck::kParameterWords,
       nullptr},
      // An allocation text's own Sensor= and Item=; elsewhere Sensor= is unknown.
      {"TOTAL-ROWS Sensor=\"SAP PoolMetrics\",Item=Main", KeywordCheck::kAllocationText, nullptr},
      {"TOTAL-ROWS Sensor=x", KeywordCheck::kParameterWords, "Sensor="},
      {"TOTAL-ROWS Sensr=x", KeywordCheck::kAllocationText, "Sensr="},
      // Words checked before, read again with ":" as a blank.
      {"x ITEM=a b=c", KeywordCheck::kNone, nullptr},
  };
  for (const auto& c : cases) {
    std::string keys = c.parameters;
    UpperCaseInPlace(keys);
    std::optional<std::string> fault = ReadRunControl(c.parameters, keys, c.check).fault;
    std::string expected = c.unknown ? std::string("Error 1035: Unknown Keyword ") + c.unknown + kUse : "none";
    EXPECT_EQ(fault.value_or("none"), expected) << c.parameters;
  }
  // A faulty value says what its keyword takes, before any unknown word.
  EXPECT_EQ(Read("TIMOUT=3 TIMEOUT=0").run.fault.value_or(""), "Error 1035: Invalid Value TIMEOUT=0, use 1 to 900...");
  // The parameter words' fault before that of the arguments after them.
  RunControl run = FirstGiven(Read("KEY FOO=1").run, Read("BAR=2").run);
  EXPECT_EQ(run.fault.value_or("").substr(0, 32), "Error 1035: Unknown Keyword FOO=");
}

// The parameter field is the first 127 bytes of the words and of their keys,
// byte for byte what a field of 128 bytes holds: cut inside a word or a
// multi-byte character alike. The words and keys themselves stay whole.
TEST(Parameters, TheFieldIsTheStartOfTheWords) {
  std::string umlaut = std::string(126, 'a') + "\xc3\xa4 TIMEOUT=5";  // "ä" across the cut
  for (const std::string& text : {std::string(), std::string("total-rows ch=3"), std::string(127, 'w'),
                                  std::string(128, 'w'), std::string(60, 'x') + " " + std::string(140, 'y'), umlaut}) {
    Parameters read = ReadParameters(text);
    FixedText<128> field(text);
    FixedText<128> keys(field);
    UpperCaseInPlace(keys);
    EXPECT_EQ(read.ParameterText(), field.view()) << text;
    EXPECT_EQ(read.ParameterKeys(), keys.view()) << text;
    EXPECT_EQ(read.Text, text);
    EXPECT_EQ(read.Keys.size(), text.size()) << text;
  }
  Parameters read = ReadParameters(umlaut);
  EXPECT_EQ(read.ParameterText().back(), '\xc3');
  EXPECT_EQ(read.Keys.substr(126, 2), "\xc3\xa4");
  EXPECT_EQ(read.Values.run.timeout.value_or(0), 5u);
}

}  // namespace
}  // namespace poolmetrics
