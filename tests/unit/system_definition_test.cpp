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

std::string Stored(const char* password) { return EncodeStoredPassword(password, 4, "abcdefghijklmnopqrstuvwxyz"); }

std::string ValidProfile() {
  return "Extcompany.: ACME\nDestination: PRD\nClient.....: 100\nUser.......: monitor\n"
         "Password...: " +
         Stored("secret1") +
         "\nLanguage...: E\nMode.......: R/3\nHostname...: prdhost\nSysnr......: 00\n"
         "Gwhost.....: gw\nGwservice..: sapgw00\n";
}

TEST(SystemDefinition, ReadsEveryField) {
  SystemDefinition s;
  ASSERT_TRUE(ReadSystemDefinition(Profile(ValidProfile() + "DatClient..: 200\n"), ReadMode::kStrict, "PRD.P00", s));
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
                     "\n"               // cut to 60, then to the field's 61
                     "Extcompany.:\n";  // exactly the label: empty value
  ASSERT_FALSE(ReadSystemDefinition(Profile(text), ReadMode::kListing, "PRD.P00", s));  // Extcompany now empty
  EXPECT_EQ(s.Hostname, "prdhost");
  EXPECT_EQ(s.Language, "E");
  EXPECT_EQ(s.Client, "200");
  EXPECT_EQ(s.Sysnr, " 07  ");
  EXPECT_EQ(s.User, "MON1TOR_X");
  EXPECT_EQ(s.Gwhost.size(), 60u);
  EXPECT_EQ(s.Extcompany, "");
}

TEST(SystemDefinition, ValuesAreCutToTheirFieldWidth) {
  SystemDefinition s;
  ReadSystemDefinition(Profile(ValidProfile() + "Destination: ABCDEFGHIJKLMNOP\n"), ReadMode::kListing, "P", s);
  EXPECT_EQ(s.Destination, "ABCDEFGHIJK");  // 11 characters
}

TEST(SystemDefinition, StrictLinesArePiecesOf99Characters) {
  // In strict mode the rest of a 120-character line reads as a line of its own.
  std::string text = ValidProfile() + std::string(99, '#') + "Language...: D\n";
  SystemDefinition strict, listing;
  ReadSystemDefinition(Profile(text), ReadMode::kStrict, "P", strict);
  ReadSystemDefinition(Profile(text), ReadMode::kListing, "P", listing);
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
      ReadSystemDefinition(Profile(c.text), ReadMode::kStrict, "XYZ.P00", s);
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
  EXPECT_FALSE(ReadSystemDefinition(Profile("Password...: " + bad_check + "\nUser.......: u1\n"), ReadMode::kListing,
                                    "P", s, &faults));
  EXPECT_EQ(s.Password, "kept");  // a failed check keeps what the field held
  EXPECT_EQ(s.User, "U1");
  ASSERT_FALSE(faults.empty());
  EXPECT_EQ(faults[0].code, 1005);

  // DatClient is read in strict mode only.
  SystemDefinition l;
  EXPECT_TRUE(ReadSystemDefinition(Profile(ValidProfile() + "DatClient..: 200\n"), ReadMode::kListing, "P", l));
  EXPECT_EQ(l.DatClient, "");
}

}  // namespace
}  // namespace poolmetrics
