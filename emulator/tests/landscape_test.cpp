#include "landscape.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "rfc/classic/rfc_api.h"

namespace rfcemu {
namespace {

const char kExample[] =
    "# two systems\n"
    "[landscape]\n"
    "journal = calls.log\n"
    "\n"
    "[system PRD]\n"
    "ashost = sapprd01\n"
    "sysnr = 07\n"
    "client = 100\n"
    "user = MONITOR\n"
    "password = Secret\n"
    "value STARTUP_DATE = 20231231\n"
    "value SAP_CURSOR_CACHE_TOTAL.ID_HITR = 995000\n"
    "value total_rows.update = -12345\n"
    "value TOTAL_HITRATIO.DIRECT = raw:00000000 10000C\n"
    "value RFC_ERROR_TYPE = \" \"\n"
    "rows TABLE_STATISTIC = 17\n"
    "\r\n"
    "[System R2]\r\n"
    "GWHOST = gw01\r\n"
    "gwserv = 3302\r\n"
    "client = 000\r\n"
    "user = SAPCPIC\r\n"
    "password =\r\n"
    "refuse_logon = yes\r\n"
    "error_handler = call\r\n"
    "process_ends = OPEN\r\n"
    "error_operation = RfcCall\r\n"
    "error_key = RFC_ERROR_SYSTEM_FAILURE\r\n"
    "error_status = CPIC-CALL: 'ThSAPCMRCV'\r\n"
    "error_message = \"  connection reset  \"\r\n"
    "error_intstat = rc=13\r\n"
    "call_rc = 1\r\n"
    "receive_rc = 5\r\n"
    "exception = NO_DATA\r\n"
    "itcreate_fails = TABLE_STATISTIC, buffer_names\r\n"
    "itdelete_fails = all\r\n"
    "delay_ms = 3600000\r\n"
    "logon_delay_ms = 150\r\n"
    "invoke_rc = 4\r\n"
    "function_not_found = yes\r\n"
    "trace_at_open = **** ERROR file opened\r\n"
    "trace_at_call = \"T:4711 ======> user locked\"\r\n"
    "trace_at_call = ERROR       second line\r\n"
    "print_at_open = LIBRARY: hello\r\n"
    "print_at_call = first\r\n"
    "print_at_call = \"  second  \"\r\n";

TEST(Landscape, ReadsSystemsWithAddressesValuesAndFaults) {
  Landscape landscape;
  std::string err;
  ASSERT_TRUE(ParseLandscape(kExample, &landscape, &err)) << err;
  EXPECT_EQ(landscape.journal, "calls.log");
  ASSERT_EQ(landscape.systems.size(), 2u);

  const EmulatedSystem& prd = landscape.systems[0];
  EXPECT_EQ(prd.name, "PRD");
  EXPECT_EQ(prd.line, 5);
  EXPECT_EQ(prd.ashost, "sapprd01");
  EXPECT_EQ(prd.sysnr, 7);
  EXPECT_EQ(prd.gwhost, "sapprd01");  // gateway defaults: the server's own
  EXPECT_EQ(prd.gwserv, "sapgw07");
  EXPECT_EQ(prd.client, "100");
  EXPECT_EQ(prd.password, "Secret");
  EXPECT_EQ(prd.values.at("STARTUP_DATE").bytes, "20231231");
  EXPECT_EQ(prd.values.at("SAP_CURSOR_CACHE_TOTAL.ID_HITR").number, 995000);
  EXPECT_EQ(prd.values.at("TOTAL_ROWS.UPDATE").number, -12345);
  EXPECT_EQ(prd.values.at("TOTAL_HITRATIO.DIRECT").bytes, std::string("\0\0\0\0\x10\0\x0C", 7));
  EXPECT_EQ(prd.values.at("RFC_ERROR_TYPE").bytes, " ");
  EXPECT_EQ(prd.rows.at("TABLE_STATISTIC"), 17u);
  EXPECT_FALSE(prd.refuse_logon);
  EXPECT_EQ(prd.error_handler, EmulatedSystem::HandlerPoint::kNever);
  EXPECT_EQ(prd.process_ends, EmulatedSystem::HandlerPoint::kNever);

  const EmulatedSystem& r2 = landscape.systems[1];
  EXPECT_EQ(r2.ashost, "");
  EXPECT_EQ(r2.gwhost, "gw01");
  EXPECT_EQ(r2.gwserv, "sapgw02");
  EXPECT_EQ(r2.password, "");
  EXPECT_TRUE(r2.refuse_logon);
  EXPECT_EQ(r2.error_handler, EmulatedSystem::HandlerPoint::kCall);
  EXPECT_EQ(r2.process_ends, EmulatedSystem::HandlerPoint::kOpen);
  EXPECT_EQ(r2.error_operation, "RfcCall");
  EXPECT_EQ(r2.error.status, "CPIC-CALL: 'ThSAPCMRCV'");
  EXPECT_EQ(r2.error.message, "  connection reset  ");
  EXPECT_EQ(r2.error.intstat, "rc=13");
  EXPECT_EQ(r2.call_rc, 1);
  EXPECT_EQ(r2.receive_rc, 5);
  EXPECT_TRUE(r2.has_exception);
  EXPECT_EQ(r2.exception, "NO_DATA");
  EXPECT_TRUE(r2.itcreate_fails.Contains("BUFFER_NAMES"));
  EXPECT_TRUE(r2.itcreate_fails.Contains("TABLE_STATISTIC"));
  EXPECT_FALSE(r2.itcreate_fails.Contains("TABLE_QUALITIES"));
  EXPECT_TRUE(r2.itdelete_fails.Contains("MODE_MEMORY_HISTORY"));
  EXPECT_EQ(r2.delay_ms, 3600000u);  // an hour: a hung server
  EXPECT_EQ(r2.logon_delay_ms, 150u);
  EXPECT_EQ(r2.invoke_rc, 4);
  EXPECT_TRUE(r2.function_not_found);
  EXPECT_EQ(prd.invoke_rc, 0);
  EXPECT_FALSE(prd.function_not_found);
  EXPECT_EQ(r2.trace_at_open, std::vector<std::string>{"**** ERROR file opened"});
  EXPECT_EQ(r2.trace_at_call, (std::vector<std::string>{"T:4711 ======> user locked", "ERROR       second line"}));
  EXPECT_EQ(r2.print_at_open, std::vector<std::string>{"LIBRARY: hello"});
  EXPECT_EQ(r2.print_at_call, (std::vector<std::string>{"first", "  second  "}));
  EXPECT_TRUE(prd.print_at_open.empty());
}

TEST(Landscape, AnEmptyFileHasNoSystems) {
  Landscape landscape;
  std::string err;
  ASSERT_TRUE(ParseLandscape("# nothing yet\n\n", &landscape, &err)) << err;
  EXPECT_TRUE(landscape.systems.empty());
  EXPECT_EQ(landscape.journal, "");
}

TEST(Landscape, NamesTheLineOfEveryMistake) {
  const std::string kSystem = "[system PRD]\nashost = h\nsysnr = 00\nclient = 100\nuser = U\npassword = p\n";
  const struct {
    std::string text;
    const char* error;
  } kCases[] = {
      {"journal = x\n", "line 1: settings belong in a [landscape] or [system NAME] section"},
      {"[landscape\n", "line 1: a section header ends with ']'"},
      {"[server PRD]\n", "line 1: unknown section [server PRD]; use [landscape] or [system NAME]"},
      {"[system]\n", "line 1: a system is named by letters, digits, '_' and '-'"},
      {"[landscape]\njournal = a\njournal = b\n", "line 3: 'journal' is given twice"},
      {"[landscape]\ncolour = red\n", "line 2: unknown landscape setting 'colour'"},
      {kSystem + "ashots = h2\n", "line 7: unknown setting 'ashots'"},
      {kSystem + "client\n", "line 7: expected 'key = value'"},
      {kSystem + "= 5\n", "line 7: a setting needs a key before '='"},
      {kSystem + "user = V\n", "line 7: 'user' is given twice"},
      {kSystem + "sysnr2 = 1\n", "line 7: unknown setting 'sysnr2'"},
      {"[system PRD]\nsysnr = 100\n", "line 2: sysnr is a system number 00 to 99"},
      {kSystem + "error_message = \"open\n", "line 7: a quoted value ends with '\"'"},
      {kSystem + "refuse_logon = maybe\n", "line 7: expected yes or no"},
      {kSystem + "error_handler = later\n", "line 7: error_handler is open, call or never"},
      {kSystem + "process_ends = yes\n", "line 7: process_ends is open, call or never"},
      {kSystem + "receive_rc = -1\n", "line 7: a return code is a whole number from 0"},
      {kSystem + "delay_ms = 3600001\n", "line 7: delay_ms is 0 to 3600000 milliseconds"},
      {kSystem + "logon_delay_ms = 1.5\n", "line 7: logon_delay_ms is 0 to 3600000 milliseconds"},
      {kSystem + "invoke_rc = 31\n", "line 7: invoke_rc is a NetWeaver return code 0 to 30"},
      {kSystem + "function_not_found = 1\n", "line 7: expected yes or no"},
      {kSystem + "itcreate_fails = TABLE_STATISTICS\n",
       "line 7: TABLE_STATISTICS is not a table of SAPTUNE_GET_SUMMARY_STATISTIC"},
      {kSystem + "itdelete_fails = ,\n", "line 7: name the tables, or all"},
      {kSystem + "value TOTAL_ROW.UPDATE = 1\n",
       "line 7: TOTAL_ROW is not an importing parameter of SAPTUNE_GET_SUMMARY_STATISTIC"},
      {kSystem + "value TOTAL_ROWS = 1\n",
       "line 7: TOTAL_ROWS is a structure (TABPHYSACC): give its fields as TOTAL_ROWS.FIELD"},
      {kSystem + "value TOTAL_ROWS.UPDATES = 1\n", "line 7: TOTAL_ROWS has no field UPDATES"},
      {kSystem + "value STARTUP_TIME.HOUR = 1\n", "line 7: STARTUP_TIME has no field HOUR"},
      {kSystem + "value SAP_CURSOR_CACHE_TOTAL.ID_HITR = 10000000\n",
       "line 7: SAP_CURSOR_CACHE_TOTAL.ID_HITR: '10000000' does not fit a 4-byte field of this "
       "type"},
      {kSystem + "value STARTUP_DATE = 2023-12-31\n", "line 7: STARTUP_DATE: a date is written as 8 digits YYYYMMDD"},
      {kSystem + "value NUMBER_OF_TABLES = 1\nvalue number_of_tables = 2\n", "line 8: NUMBER_OF_TABLES is given twice"},
      {kSystem + "rows TABLE_STAT = 1\n", "line 7: TABLE_STAT is not a table of SAPTUNE_GET_SUMMARY_STATISTIC"},
      {kSystem + "rows TABLE_STATISTIC = many\n", "line 7: a row count is 0 to 1000000"},
      {kSystem + "rows TABLE_STATISTIC = 1\nrows TABLE_STATISTIC = 2\n", "line 8: rows TABLE_STATISTIC is given twice"},
      {kSystem + std::string("oops = 1\0\n", 10), "line 7: a zero byte in the line"},
      {"[system PRD]\nashost = h\nsysnr = 00\nuser = U\npassword = p\n", "line 1: system PRD: client is missing"},
      {"[system PRD]\nashost = h\nsysnr = 00\nclient = 1\npassword = p\n", "line 1: system PRD: user is missing"},
      {"[system PRD]\nashost = h\nsysnr = 00\nclient = 1\nuser = U\n[system QAS]\n",
       "line 1: system PRD: password is missing"},
      {"[system PRD]\nclient = 1\nuser = U\npassword =\n", "line 1: system PRD: give ashost (with sysnr) or gwhost"},
      {"[system PRD]\nashost = h\nclient = 1\nuser = U\npassword =\n",
       "line 1: system PRD: ashost is given without sysnr"},
      {"[system PRD]\ngwhost = g\nclient = 1\nuser = U\npassword =\n",
       "line 1: system PRD: gwhost is given without gwserv or sysnr"},
      {kSystem + "[system prd]\n", "line 7: system prd is defined twice"},
      {kSystem + "[system QAS]\nashost = H\nsysnr = 0\nclient = 1\nuser = U\npassword =\n",
       "line 7: system QAS: application server H 0 is already system PRD"},
      {kSystem + "[system R2]\ngwhost = h\ngwserv = 3300\nclient = 1\nuser = U\npassword =\n",
       "line 7: system R2: gateway h sapgw00 is already system PRD"},
  };
  for (const auto& c : kCases) {
    Landscape landscape;
    std::string err;
    EXPECT_FALSE(ParseLandscape(c.text, &landscape, &err)) << c.text;
    EXPECT_EQ(err, c.error) << c.text;
  }
}

// Damaged copies of a valid file are read or refused, never crash: the
// library reads whatever file it is pointed at.
TEST(Landscape, SurvivesDamagedFiles) {
  std::mt19937 random(20240315);
  const std::string original = kExample;
  for (int round = 0; round < 2000; ++round) {
    std::string text = original;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text[at] = static_cast<char>(random() % 256); break;
        case 1: text.erase(at, 1 + random() % 20); break;
        default: text.insert(at, original.substr(random() % original.size(), 1 + random() % 30)); break;
      }
      if (text.empty()) text = "[";
    }
    Landscape landscape;
    std::string err;
    if (!ParseLandscape(text, &landscape, &err)) {
      EXPECT_EQ(err.rfind("line ", 0), 0u) << err;
    }
  }
}

}  // namespace
}  // namespace rfcemu

namespace rfcemu {
namespace {

// The example of README.md is a working landscape.
TEST(Landscape, TheDocumentedExampleReads) {
  std::ifstream in(RFC_EMULATOR_README, std::ios::binary);
  ASSERT_TRUE(in) << RFC_EMULATOR_README;
  std::stringstream readme;
  readme << in.rdbuf();
  const std::string text = readme.str();
  const std::size_t start = text.find("```ini\n# Emulated landscape");
  ASSERT_NE(start, std::string::npos);
  const std::size_t body = text.find('\n', start) + 1;
  const std::string example = text.substr(body, text.find("```", body) - body);
  Landscape landscape;
  std::string err;
  ASSERT_TRUE(ParseLandscape(example, &landscape, &err)) << err;
  EXPECT_EQ(landscape.systems.size(), 4u);
}

}  // namespace
}  // namespace rfcemu
