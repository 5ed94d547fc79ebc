// The pure pieces of the NetWeaver session: texts to and from UTF-16, packed
// numbers from the library's rendering, sapnwrfc.ini entries and the logon
// parameters.
#include <gtest/gtest.h>

#include <string>

#include "rfc/nwrfc/call.h"
#include "rfc/nwrfc/destination_entry.h"
#include "rfc/nwrfc/logon.h"
#include "rfc/nwrfc/sap_text.h"

namespace poolmetrics {
namespace {

SapText Units(std::u16string text) { return SapText(text.begin(), text.end()); }

TEST(NwRfcText, ProfileTextsReachTheLibraryAsTheDocumentsReadThem) {
  struct {
    const char* label;
    std::string bytes;
    std::u16string utf16;
  } cases[] = {
      {"ASCII", "MONITOR", u"MONITOR"},
      {"UTF-8 u umlaut", "M\xC3\xBC", u"M\u00FC"},
      {"UTF-8 euro sign",
       "\xE2\x82\xAC"
       "5",
       u"\u20AC"
       "5"},
      {"outside the BMP: a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      // Natively a stray byte is Latin-1 (code page 1252 on Windows).
      {"Latin-1 u umlaut", "M\xFC", u"M\u00FC"},
      {"stray 0x80", "\x80", u"\u0080"},
      {"cut UTF-8 sequence: each byte on its own", "\xE2\x82", u"\u00E2\u0082"},
      {"overlong form is no UTF-8", "\xC0\xAF", u"\u00C0\u00AF"},
      {"empty", "", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToSapText(c.bytes), Units(c.utf16)) << c.label;
}

TEST(NwRfcText, LibraryTextsBecomeUtf8) {
  struct {
    const char* label;
    std::u16string units;
    std::size_t capacity;
    std::string utf8;
  } cases[] = {
      {"up to the terminator", std::u16string(u"NO_DATA\0rest", 12), 12, "NO_DATA"},
      {"a field without terminator ends at its capacity", u"20230102", 8, "20230102"},
      {"capacity cuts", u"abcdef", 3, "abc"},
      {"two- and three-byte characters", u"\u00FC\u20AC", 2, "\xC3\xBC\xE2\x82\xAC"},
      {"surrogate pair", u"\U0001F600", 2, "\xF0\x9F\x98\x80"},
      {"lone high surrogate", std::u16string(1, u'\xD83D') + u"x", 2, "\xEF\xBF\xBDx"},
      {"lone low surrogate", std::u16string(1, u'\xDE00'), 1, "\xEF\xBF\xBD"},
      {"high surrogate cut off by the capacity", u"\U0001F600", 1, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SapText units = Units(c.units);
    EXPECT_EQ(FromSapText(units.data(), c.capacity), c.utf8) << c.label;
  }
  EXPECT_EQ(FromSapText(nullptr, 10), "");
}

TEST(NwRfcPacked, RenderedNumbersBecomeSignAndAllDigits) {
  struct {
    std::string text;
    unsigned length;
    bool ok;
    bool negative;
    std::string digits;
  } cases[] = {
      {"-123.4500", 8, true, true, "000000001234500"},
      {"99.5000", 4, true, false, "0995000"},
      {"0.05", 7, true, false, "0000000000005"},
      {"12345", 8, true, false, "000000000012345"},
      {"0", 4, true, false, "0000000"},
      {"999999999999999", 8, true, false, "999999999999999"},
      {"+7", 1, true, false, "7"},
      {"42-", 2, true, true, "042"},
      {" 12 ", 2, true, false, "012"},
      {"000000000000000012", 2, true, false, "012"},
      {"1000", 2, false, false, ""},
      {"1234567890123456", 8, false, false, ""},
      {"", 4, false, false, ""},
      {"-", 4, false, false, ""},
      {".", 4, false, false, ""},
      {"1.2.3", 4, false, false, ""},
      {"1e5", 4, false, false, ""},
      {"--1", 4, false, false, ""},
      {"12", 0, false, false, ""},
  };
  for (const auto& c : cases) {
    std::optional<PackedDigits> packed = PackedFromText(c.text, c.length);
    ASSERT_EQ(packed.has_value(), c.ok) << '"' << c.text << "\" in " << c.length << " bytes";
    if (!c.ok) continue;
    EXPECT_EQ(packed->negative, c.negative) << c.text;
    EXPECT_EQ(std::string(packed->digits.view()), c.digits) << c.text;
  }
}

bool HasEntry(const std::string& ini, std::string_view destination) {
  std::FILE* f = std::tmpfile();
  std::fwrite(ini.data(), 1, ini.size(), f);
  std::rewind(f);
  bool found = HasDestinationEntry(f, destination);
  std::fclose(f);
  return found;
}

TEST(NwRfcDestinationEntry, FoundAsTheLibraryMatchesIt) {
  struct {
    const char* label;
    std::string ini;
    bool found;
  } cases[] = {
      {"entry", "DEST=PRD\nASHOST=sapprd01\nSYSNR=00\n", true},
      {"blanks and CR LF", "  dest = prd \r\nASHOST=x\r\n", true},
      {"later entry", "DEST=QAS\nASHOST=q\n\nDEST=PRD\n", true},
      {"other destinations only", "DEST=QAS\nDEST=PRDX\nDEST=PR\n", false},
      {"hash comment", "#DEST=PRD\n", false},
      {"slash comments", "/* DEST=PRD */\n// DEST=PRD\n", false},
      {"another key with the value", "ASHOST=PRD\nR3NAME=PRD\n", false},
      {"no line end at the end", "DEST=PRD", true},
      {"empty file", "", false},
      // As editors save the file: Notepad's UTF-8 mark, old Macintosh line
      // ends, and files edited on both sides.
      {"byte-order mark before the entry",
       "\xEF\xBB\xBF"
       "DEST=PRD\r\nASHOST=x\r\n",
       true},
      {"the mark inside the file is part of its line",
       "DEST=QAS\n\xEF\xBB\xBF"
       "DEST=PRD\n",
       false},
      {"CR line ends", "DEST=QAS\rASHOST=q\r\rDEST=PRD\rASHOST=p\r", true},
      {"CR ends a comment", "# destinations\rDEST=PRD\r", true},
      {"CR ends the value", "DEST=PRD\rSYSNR=00", true},
      {"CR line ends, other destinations only", "DEST=PRDX\rDEST=XPRD\r# DEST=PRD\r", false},
      {"LF, CR LF and CR mixed", "# a\nDEST=QAS\r\nASHOST=q\n\r\rDEST=PRD\rSYSNR=00\n", true},
      {"mark and CR line ends", "\xEF\xBB\xBF#\rDEST=PRD", true},
      {"a zero byte belongs to its line", std::string("DEST=PRD\0\nDEST=P\0RD\n", 20), false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasEntry(c.ini, "PRD"), c.found) << c.label;
  EXPECT_FALSE(HasDestinationEntry(nullptr, "PRD"));
  EXPECT_FALSE(HasEntry("DEST=\n", "")) << "an empty destination has no entry";
}

std::string Parameters(const LogonPlan& plan) {
  std::string text;
  for (const auto& [name, value] : plan.parameters) text += std::string(name) + "=" + value + ";";
  return text;
}

TEST(NwRfcLogon, RoutesAndParameters) {
  LogonDescription logon{"PRD", "100", "MONITOR", "secret1", "E", "R/3", "sapprd01", "00", "gw", "sapgw00"};
  using Route = LogonPlan::Route;

  LogonPlan direct = PlanLogon(logon, false, false);
  EXPECT_EQ(direct.route, Route::kDirect);
  EXPECT_FALSE(direct.classic_file_not_used);
  EXPECT_EQ(Parameters(direct), "ASHOST=sapprd01;SYSNR=00;CLIENT=100;USER=MONITOR;PASSWD=secret1;LANG=E;");

  LogonPlan ignored = PlanLogon(logon, false, true);
  EXPECT_TRUE(ignored.classic_file_not_used);
  EXPECT_EQ(Parameters(ignored), Parameters(direct));

  // The entry gives the address, whatever the profile's mode.
  for (std::string_view mode : {"R/3", "R/2"}) {
    LogonDescription through = logon;
    through.mode = mode;
    LogonPlan entry = PlanLogon(through, true, true);
    EXPECT_EQ(entry.route, Route::kDestination) << mode;
    EXPECT_FALSE(entry.classic_file_not_used) << mode;
    EXPECT_EQ(Parameters(entry), "DEST=PRD;CLIENT=100;USER=MONITOR;PASSWD=secret1;LANG=E;") << mode;
  }

  // Only the exact "R/2" has no counterpart, as only it meant the gateway.
  for (auto [mode, route] : {std::pair{"R/2", Route::kNoCounterpart},
                             {"r/2", Route::kDirect},
                             {"R/2 ", Route::kDirect},
                             {"", Route::kDirect}}) {
    LogonDescription l = logon;
    l.mode = mode;
    LogonPlan plan = PlanLogon(l, false, true);
    EXPECT_EQ(plan.route, route) << '"' << mode << '"';
    if (route == Route::kNoCounterpart) {
      EXPECT_TRUE(plan.parameters.empty());
      EXPECT_FALSE(plan.classic_file_not_used);
    }
  }

  // The system number as the classic library reads it, with two digits.
  for (auto [sysnr, sent] :
       {std::pair{"7", "07"}, {"7x", "07"}, {" 12", "12"}, {"", "00"}, {"ab", "00"}, {"100", "100"}}) {
    LogonDescription l = logon;
    l.sysnr = sysnr;
    EXPECT_EQ(PlanLogon(l, false, false).parameters[1].second, sent) << '"' << sysnr << '"';
  }

  LogonDescription bare = logon;
  bare.hostname = "";
  bare.language = "";
  EXPECT_EQ(Parameters(PlanLogon(bare, false, false)), "SYSNR=00;CLIENT=100;USER=MONITOR;PASSWD=secret1;");
}

}  // namespace
}  // namespace poolmetrics
