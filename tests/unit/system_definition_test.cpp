#include "profile/system_definition.h"

#include <gtest/gtest.h>

#include <string>

#include "profile/password.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

File Profile(const std::string& text) {
  std::FILE* f = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  return File(f);
}

// Reads as the run does: a single run fails on the first fault with its
// message; a global run's listing only learns whether the definition is
// valid. `faults` receives every fault found.
bool Read(File profile, ReadMode mode, std::string_view name, SystemDefinition& system,
          std::vector<ProfileFault>* faults = nullptr) {
  std::vector<ProfileFault> found = ReadSystemDefinition(std::move(profile), mode, system);
  if (faults) *faults = found;
  if (mode == ReadMode::kStrict && !found.empty()) throw RunFailure(ProfileFaultMessage(found.front().code, name));
  return found.empty();
}

std::string Stored(const char* password) { return EncodeStoredPassword(password, 4, "abcdefghijklmnopqrstuvwxyz"); }

std::string ValidProfile() {
  return "Extcompany.: ACME\nDestination: PRD\nClient.....: 100\nUser.......: monitor\n"
         "Password...: " +
         Stored("secret1") +
         "\nLanguage...: E\nMode.......: R/3\nHostname...: prdhost\nSysnr......: 00\n"
         "Gwhost.....: gw\nGwservice..: sapgw00\n";
}

TEST(SystemDefinition, StrictReadingStopsAtTheFirstPasswordFault) {
  SystemDefinition s;
  std::vector<ProfileFault> faults = ReadSystemDefinition(Profile("Password...: short\n"), ReadMode::kStrict, s);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_EQ(faults[0].code, 1004);
  faults = ReadSystemDefinition(Profile("Password...: short\n"), ReadMode::kListing, s);
  ASSERT_GT(faults.size(), 3u);  // and then every check: user, password, lengths
  EXPECT_EQ(faults[0].code, 1004);
  EXPECT_EQ(faults[1].code, 1006);
  EXPECT_EQ(faults[2].code, 1007);
  EXPECT_EQ(faults[3].code, 1003);
}

TEST(SystemDefinition, ReadsEveryField) {
  SystemDefinition s;
  ASSERT_TRUE(Read(Profile(ValidProfile() + "DatClient..: 200\n"), ReadMode::kStrict, "PRD.P00", s));
  EXPECT_EQ(s.Destination, "PRD");
  EXPECT_EQ(s.User, "MONITOR");
  EXPECT_EQ(s.Password, "secret1");
  EXPECT_EQ(s.Mode, "R/3");
  EXPECT_EQ(s.Gwservice, "sapgw00");
  EXPECT_EQ(s.DatClient, "200");
}

TEST(SystemDefinition, LineRules) {
  SystemDefinition s;
  std::string text = ValidProfile() +
                     "hostname...: lower-case label sets nothing\n"
                     "Language..: one dot too few sets nothing\n"
                     "Client.....:X200\n"        // column 13 is skipped whatever it holds
                     "Sysnr......:  07  \n"      // blanks at both ends stay
                     "User.......: mon1tor_x\n"  // upper-cased, other characters kept
                     "Gwhost.....: " +
                     std::string(70, 'g') +
                     "\n"                                               // cut to 60, then to the field's 61
                     "Extcompany.:\n";                                  // exactly the label: empty value
  ASSERT_FALSE(Read(Profile(text), ReadMode::kListing, "PRD.P00", s));  // Extcompany now empty
  EXPECT_EQ(s.Hostname, "prdhost");
  EXPECT_EQ(s.Language, "E");
  EXPECT_EQ(s.Client, "200");
  EXPECT_EQ(s.Sysnr, " 07  ");
  EXPECT_EQ(s.User, "MON1TOR_X");
  EXPECT_EQ(s.Gwhost.size(), 60u);
  EXPECT_EQ(s.Extcompany, "");
}

// Every field that names a file or a system, or logs on, at its width and one
// character beyond; the fields that keep what fits are never too long.
TEST(SystemDefinition, ValuesLongerThanTheirField) {
  struct {
    const char* label;
    std::size_t width;
  } fields[] = {
      {"Destination:", 11}, {"Client.....:", 11}, {"User.......:", 47}, {"Hostname...:", 47},
      {"Sysnr......:", 31}, {"Language...:", 31}, {"Mode.......:", 31}, {"Gwservice..:", 31},
  };
  for (const auto& f : fields) {
    std::string label = f.label;
    SystemDefinition fits;
    EXPECT_TRUE(
        Read(Profile(ValidProfile() + label + " " + std::string(f.width, 'A') + "\n"), ReadMode::kStrict, "P", fits))
        << label;
    EXPECT_TRUE(UsableForLogon(fits)) << label;

    SystemDefinition cut;
    std::vector<ProfileFault> faults;
    std::string too_long = ValidProfile() + label + " " + std::string(f.width + 1, 'A') + "\n";
    EXPECT_FALSE(Read(Profile(too_long), ReadMode::kListing, "P", cut, &faults)) << label;
    EXPECT_FALSE(UsableForLogon(cut)) << label;
    ASSERT_EQ(faults.size(), 1u) << label;
    EXPECT_EQ(faults[0].code, 1003);
    EXPECT_EQ(faults[0].detail, label + " " + std::to_string(f.width + 1) + " characters, longer than its field of " +
                                    std::to_string(f.width));
    try {
      SystemDefinition strict;
      Read(Profile(too_long), ReadMode::kStrict, "XYZ.P00", strict);
      ADD_FAILURE() << label << ": no fault";
    } catch (const RunFailure& failure) {
      EXPECT_EQ(failure.message(), "Error 1003: Invalid Parameter(s) at XYZ.P00 found...") << label;
    }
  }

  // A value is at most 60 characters: Gwhost (61) and Extcompany (63) always
  // fit; a later line that fits makes the field good again.
  SystemDefinition s;
  std::string sixty(60, 'g');
  EXPECT_TRUE(Read(Profile(ValidProfile() + "Gwhost.....: " + sixty + "x\nExtcompany.: " + sixty +
                           "\nHostname...: " + sixty + "\nHostname...: short\n"),
                   ReadMode::kStrict, "P", s));
  EXPECT_EQ(s.Gwhost, sixty);
  EXPECT_TRUE(UsableForLogon(s));
}

// A destination names the file "SapRfc." + destination: only a plain file
// of the working directory will do, the same on every platform.
TEST(SystemDefinition, DestinationMustBeAPlainFileName) {
  const char* refused[] = {
      "x/../../sec", "\\..\\..\\sec", "\\..\\NUL", "PRD/x",       "PRD\\x", "C:PRD",    "a..b",
      "..",          "NUL",           "nul",       "Aux.txt",     "COM1",   "lpt9.",    "con ",
      "CONIN$",      "conout$.x",     "COM\xB9",   "LPT\xC2\xB2", "PR<D",   "PR>D",     "PR\"D",
      "PR|D",        "PR?D",          "PR*D",      "PR\tD",       "PR\rD",  "PR\x1b[D", "PR\x7F",
  };
  for (std::string destination : refused) {
    SystemDefinition s;
    std::vector<ProfileFault> faults;
    EXPECT_FALSE(
        Read(Profile(ValidProfile() + "Destination: " + destination + "\n"), ReadMode::kListing, "P", s, &faults))
        << destination;
    EXPECT_FALSE(UsableForLogon(s)) << destination;
    ASSERT_FALSE(faults.empty()) << destination;
    EXPECT_EQ(faults.back().code, 1003);
    EXPECT_EQ(faults.back().detail.rfind("Destination: \"" + destination + "\" is no plain file name", 0), 0u)
        << faults.back().detail;
  }
  const char* allowed[] = {"PRD",     "QAS.1",  "R&D'1", "COM", "COM10",        "LPT", "NULL",
                           "CONSOLE", "AUXI.P", "a.b.c", "x y", "\xE4\xF6\xFC", "ini", "lck"};
  for (std::string destination : allowed) {
    SystemDefinition s;
    EXPECT_TRUE(Read(Profile(ValidProfile() + "Destination: " + destination + "\n"), ReadMode::kStrict, "P", s))
        << destination;
    EXPECT_TRUE(UsableForLogon(s)) << destination;
  }
}

TEST(SystemDefinition, OrdinaryFaultsLeaveTheDefinitionUsable) {
  // A missing user or a short mode is reported, but a global run still tries
  // the logon: only cut values and unsafe destinations are never used.
  SystemDefinition s;
  EXPECT_FALSE(Read(Profile(ValidProfile() + "User.......:\nMode.......: R3\n"), ReadMode::kListing, "P", s));
  EXPECT_TRUE(UsableForLogon(s));
}

TEST(SystemDefinition, FaultOrderWithTooLongValues) {
  // 1006 and 1007 come first; a too-long value and an unsafe destination are
  // 1003, reported for each field in the order of the labels.
  SystemDefinition s;
  std::vector<ProfileFault> faults;
  Read(Profile("Destination: ../QASMONITOR01\nHostname...: " + std::string(52, 'h') + "\n"), ReadMode::kListing, "P", s,
       &faults);
  std::vector<std::string> details;
  for (const ProfileFault& f : faults) details.push_back(std::to_string(f.code) + " " + f.detail);
  EXPECT_EQ(details, (std::vector<std::string>{
                         "1006 User.......: missing or empty",
                         "1007 Password...: missing or empty",
                         "1003 Extcompany.: missing or shorter than 2 characters",
                         "1003 Destination: 15 characters, longer than its field of 11",
                         "1003 Destination: \"../QASMONIT\" is no plain file name (it must not hold a directory, a "
                         "drive, \"..\", a device name or a character that no Windows file name can hold)",
                         "1003 Client.....: missing or shorter than 3 characters",
                         "1003 Language...: missing or shorter than 1 character",
                         "1003 Mode.......: missing or shorter than 3 characters",
                         "1003 Hostname...: 52 characters, longer than its field of 47",
                         "1003 Sysnr......: missing or shorter than 2 characters",
                         "1003 Gwhost.....: missing or shorter than 2 characters",
                         "1003 Gwservice..: missing or shorter than 2 characters",
                     }));
}

TEST(SystemDefinition, StrictLinesArePiecesOf99Characters) {
  // In strict mode the rest of a 120-character line reads as a line of its own.
  std::string text = ValidProfile() + std::string(99, '#') + "Language...: D\n";
  SystemDefinition strict, listing;
  Read(Profile(text), ReadMode::kStrict, "P", strict);
  Read(Profile(text), ReadMode::kListing, "P", listing);
  EXPECT_EQ(strict.Language, "D");
  EXPECT_EQ(listing.Language, "E");
}

TEST(SystemDefinition, StrictFaultsAndTheirOrder) {
  struct {
    const char* label;
    std::string text;
    std::string message;
  } cases[] = {
      {"empty file", "", "Error 1006: Username in Profile XYZ.P00 is missing..."},
      {"no password", "User.......: ab\n", "Error 1007: Password in Profile XYZ.P00 is missing..."},
      {"too short", ValidProfile() + "Mode.......: R3\n", "Error 1003: Invalid Parameter(s) at XYZ.P00 found..."},
      {"bad form before missing user", "Password...: short\n",
       "Error 1004: Invalid Password in Profile XYZ.P00 found..."},
      {"length 00", ValidProfile() + "Password...: " + Stored("") + "\n",
       "Error 1007: Password in Profile XYZ.P00 is missing..."},
      {"length 01", ValidProfile() + "Password...: " + Stored("x") + "\n",
       "Error 1003: Invalid Parameter(s) at XYZ.P00 found..."},
  };
  for (const auto& c : cases) {
    SystemDefinition s;
    try {
      Read(Profile(c.text), ReadMode::kStrict, "XYZ.P00", s);
      ADD_FAILURE() << c.label << ": no fault";
    } catch (const RunFailure& f) {
      EXPECT_EQ(f.message(), c.message) << c.label;
    }
  }
}

TEST(SystemDefinition, ListingModeMarksInvalidAndKeepsReading) {
  std::string bad_check = Stored("secret1");
  bad_check[12] = static_cast<char>(bad_check[12] ^ 0x01);
  SystemDefinition s;
  s.Password = "kept";
  std::vector<ProfileFault> faults;
  EXPECT_FALSE(Read(Profile("Password...: " + bad_check + "\nUser.......: u1\n"), ReadMode::kListing, "P", s, &faults));
  EXPECT_EQ(s.Password, "kept");  // a failed check keeps what the field held
  EXPECT_EQ(s.User, "U1");
  ASSERT_FALSE(faults.empty());
  EXPECT_EQ(faults[0].code, 1005);

  // DatClient is read in strict mode only.
  SystemDefinition l;
  EXPECT_TRUE(Read(Profile(ValidProfile() + "DatClient..: 200\n"), ReadMode::kListing, "P", l));
  EXPECT_EQ(l.DatClient, "");
}

// With the user and password from elsewhere, their lines are neither needed
// nor checked nor decoded; every other check stays.
TEST(SystemDefinition, UserAndPasswordFromElsewhere) {
  const std::string without = "Extcompany.: ACME\nDestination: PRD\nClient.....: 100\nLanguage...: E\n"
                              "Mode.......: R/3\nHostname...: prdhost\nSysnr......: 00\nGwhost.....: gw\n"
                              "Gwservice..: sapgw00\n";
  for (const std::string& logon_lines :
       {std::string(), std::string("User.......: x\nPassword...: garbage\n"),
        "User.......: " + std::string(20, 'u') + "\nPassword...: " + Stored("secret1") + "\n"}) {
    for (ReadMode mode : {ReadMode::kStrict, ReadMode::kListing}) {
      SystemDefinition s;
      EXPECT_TRUE(ReadSystemDefinition(Profile(without + logon_lines), mode, s, UserAndPassword::kFromElsewhere)
                      .empty())
          << logon_lines;
      EXPECT_TRUE(s.Password.empty()) << "the profile's password is never held";
      TakeUserAndPassword(s, "monitor", std::string(40, 'p'));
      EXPECT_EQ(s.User, "MONITOR");
      EXPECT_EQ(s.Password.size(), 40u);
      EXPECT_TRUE(UsableForLogon(s));
    }
  }
  SystemDefinition s;
  std::vector<ProfileFault> faults = ReadSystemDefinition(Profile("Client.....: 100\n"), ReadMode::kListing, s,
                                                          UserAndPassword::kFromElsewhere);
  ASSERT_FALSE(faults.empty());
  for (const ProfileFault& fault : faults) EXPECT_EQ(fault.code, 1003) << fault.detail;
  faults = ReadSystemDefinition(Profile(without), ReadMode::kListing, s);
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_EQ(faults[0].code, 1006);
  EXPECT_EQ(faults[1].code, 1007);
}

// One value is checked as the reader checks its line in a whole profile: the
// same faults in the same words, so that a profile made of checked values
// is valid.
TEST(SystemDefinition, OneValueCheckedAsItsLineInAProfile) {
  const std::string unsafe =
      "Destination: \"x/../y\" is no plain file name (it must not hold a directory, a drive, \"..\", a device "
      "name or a character that no Windows file name can hold)";
  struct Case {
    const char* label;
    std::string value;
    std::vector<std::string> faults;
  } cases[] = {
      {"Client.....:", "100", {}},
      {"Client.....:", "10", {"Client.....: missing or shorter than 3 characters"}},
      {"Client.....:", std::string(12, '1'), {"Client.....: 12 characters, longer than its field of 11"}},
      {"Extcompany.:", std::string(63, 'x'), {"Extcompany.: 63 characters, longer than the 60 that a profile line holds"}},
      {"Extcompany.:", std::string(60, 'x'), {}},  // kept cut to its field, as the reader keeps it
      {"User.......:", "", {"User.......: missing or empty"}},
      {"User.......:", "m", {"User.......: missing or shorter than 2 characters"}},
      {"Destination:", "x/../y", {unsafe}},
      {"Language...:", "E", {}},
      {"Language...:", "", {"Language...: missing or shorter than 1 character"}},
      {"Mode.......:", "R3", {"Mode.......: missing or shorter than 3 characters"}},
      {"Gwservice..:", std::string(32, 's'), {"Gwservice..: 32 characters, longer than its field of 31"}},
      {"Client ....:", "100", {"\"Client ....:\" is no label of a profile line"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    for (const ProfileFault& fault : CheckProfileValue(c.label, c.value)) got.push_back(fault.detail);
    EXPECT_EQ(got, c.faults) << c.label << " " << c.value;
    // The reader, given the valid profile with this line in place of its
    // own, finds the same faults (a profile line holds only 60 characters).
    std::string text = ValidProfile();
    std::size_t line = text.find(c.label);
    if (line == std::string::npos || c.value.size() > 60) continue;
    text.replace(line, text.find('\n', line) - line, std::string(c.label) + " " + c.value);
    SystemDefinition s;
    std::vector<std::string> read;
    for (const ProfileFault& fault : ReadSystemDefinition(Profile(text), ReadMode::kListing, s)) read.push_back(fault.detail);
    EXPECT_EQ(read, c.faults) << "in a profile: " << c.label << " " << c.value;
  }
}

}  // namespace
}  // namespace poolmetrics
