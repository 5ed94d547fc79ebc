#include "destination.h"

#include <gtest/gtest.h>

namespace rfcemu {
namespace {

TEST(ConnectString, SplitsBlankSeparatedPairsWithCaseInsensitiveIds) {
  ParameterMap pairs;
  std::string err;
  ASSERT_TRUE(ParseConnectString("CLIENT=100 user=MONITOR  PASSWD= LANG=D Dest=PRD", &pairs, &err));
  EXPECT_EQ(pairs,
            (ParameterMap{{"CLIENT", "100"}, {"USER", "MONITOR"}, {"PASSWD", ""}, {"LANG", "D"}, {"DEST", "PRD"}}));

  EXPECT_FALSE(ParseConnectString("CLIENT=100 MONITOR", &pairs, &err));
  EXPECT_EQ(err, "connect string: 'MONITOR' is not of the form ID=value");
  EXPECT_FALSE(ParseConnectString("=100", &pairs, &err));
}

TEST(SapRfcIni, FindsTheBlockOfADestination) {
  const char kIni[] =
      "* destinations of the monitoring host\r\n"
      "DEST=QAS\r\n"
      "TYPE=A\r\n"
      "ASHOST=sapqas01\r\n"
      "SYSNR=01\r\n"
      "\r\n"
      "DEST = PRD\r\n"
      "# the production system\r\n"
      "TYPE = A\r\n"
      "ASHOST = sapprd01\r\n"
      "SYSNR = 00\r\n"
      "DEST=R2\n"
      "GWHOST=gw01\n"
      "GWSERV=sapgw02\n";
  ParameterMap block;
  ASSERT_TRUE(FindDestination(kIni, "prd", &block));
  EXPECT_EQ(block, (ParameterMap{{"DEST", "PRD"}, {"TYPE", "A"}, {"ASHOST", "sapprd01"}, {"SYSNR", "00"}}));
  ASSERT_TRUE(FindDestination(kIni, "R2", &block));
  EXPECT_EQ(block, (ParameterMap{{"DEST", "R2"}, {"GWHOST", "gw01"}, {"GWSERV", "sapgw02"}}));
  EXPECT_FALSE(FindDestination(kIni, "DEV", &block));
  EXPECT_FALSE(FindDestination("", "PRD", &block));
}

TEST(SapRfcIni, GivesTheAddressOfABlock) {
  const struct {
    ParameterMap parameters;
    bool ok;
    Address::Kind kind;
    const char* host;
    int sysnr;
    const char* service;
    const char* error;
  } kCases[] = {
      {{{"TYPE", "A"}, {"ASHOST", "sapprd01"}, {"SYSNR", "07"}},
       true,
       Address::Kind::kApplicationServer,
       "sapprd01",
       7,
       "",
       ""},
      {{{"ASHOST", "sapprd01"}, {"SYSNR", "0"}, {"GWHOST", "gw"}},
       true,
       Address::Kind::kApplicationServer,
       "sapprd01",
       0,
       "",
       ""},
      {{{"GWHOST", "gw01"}, {"GWSERV", "3302"}}, true, Address::Kind::kGateway, "gw01", 0, "sapgw02", ""},
      {{{"TYPE", "B"}, {"MSHOST", "ms"}}, false, {}, "", 0, "", "connection type TYPE=B is not offered (only TYPE=A)"},
      {{{"ASHOST", "h"}, {"SYSNR", "100"}}, false, {}, "", 0, "", "SYSNR=100 is not a system number 00 to 99"},
      {{{"ASHOST", "h"}}, false, {}, "", 0, "", "SYSNR= is not a system number 00 to 99"},
      {{{"GWHOST", "gw01"}}, false, {}, "", 0, "", "GWHOST=gw01 is given without GWSERV="},
      {{{"TYPE", "A"}}, false, {}, "", 0, "", "neither ASHOST= nor GWHOST= is given"},
  };
  for (const auto& c : kCases) {
    Address address;
    std::string err;
    ASSERT_EQ(AddressFromParameters(c.parameters, &address, &err), c.ok) << err;
    if (!c.ok) {
      EXPECT_EQ(err, c.error);
      continue;
    }
    EXPECT_EQ(address.kind, c.kind);
    EXPECT_EQ(address.host, c.host);
    if (c.kind == Address::Kind::kApplicationServer)
      EXPECT_EQ(address.sysnr, c.sysnr);
    else
      EXPECT_EQ(address.service, c.service);
  }
}

TEST(SapnwrfcIni, FindsTheEntryOfADestination) {
  const char kIni[] =
      "DEFAULT\r\n"
      "RFC_TRACE=0\r\n"
      "\r\n"
      "# the quality system\r\n"
      "DEST=QAS\r\n"
      "/* its host */\r\n"
      "ashost = sapqas01\r\n"
      "// and number\r\n"
      "SYSNR=01\r\n"
      "\r\n"
      "USER=NOBODY\r\n"  // after the blank line: in no entry
      "DEST = prd\n"
      "ASHOST=sapprd01\n"
      "DEST=DEV\n"
      "ASHOST=sapdev01\n"
      "  \t\n"
      "SYSNR=02\n";
  ParameterMap entry;
  ASSERT_TRUE(FindSapnwrfcDestination(kIni, "qas", &entry));
  EXPECT_EQ(entry, (ParameterMap{{"DEST", "QAS"}, {"ASHOST", "sapqas01"}, {"SYSNR", "01"}}));
  ASSERT_TRUE(FindSapnwrfcDestination(kIni, "PRD", &entry));
  EXPECT_EQ(entry, (ParameterMap{{"DEST", "prd"}, {"ASHOST", "sapprd01"}}));
  ASSERT_TRUE(FindSapnwrfcDestination(kIni, "DEV", &entry));
  EXPECT_EQ(entry, (ParameterMap{{"DEST", "DEV"}, {"ASHOST", "sapdev01"}}));
  EXPECT_FALSE(FindSapnwrfcDestination(kIni, "DEFAULT", &entry));
  EXPECT_FALSE(FindSapnwrfcDestination(kIni, "R2", &entry));
  EXPECT_FALSE(FindSapnwrfcDestination("", "QAS", &entry));
}

TEST(SapnwrfcIni, ReadsTheFileAsEditorsSaveIt) {
  const ParameterMap prd{{"DEST", "PRD"}, {"ASHOST", "sapprd01"}, {"SYSNR", "00"}};
  struct {
    const char* label;
    std::string ini;
    ParameterMap entry;  // empty: not found
  } cases[] = {
      {"LF", "DEST=PRD\nASHOST=sapprd01\nSYSNR=00\n\nUSER=X\n", prd},
      {"CR LF", "DEST=PRD\r\nASHOST=sapprd01\r\nSYSNR=00\r\n\r\nUSER=X\r\n", prd},
      {"CR", "# hosts\rDEST=PRD\rASHOST=sapprd01\rSYSNR=00\r\rUSER=X\r", prd},
      {"mixed",
       "DEST=QAS\r\n\rDEST=PRD\nASHOST=sapprd01\r\nSYSNR=00\r\nUSER=X",
       {{"DEST", "PRD"}, {"ASHOST", "sapprd01"}, {"SYSNR", "00"}, {"USER", "X"}}},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "DEST=PRD\r\nASHOST=sapprd01\r\nSYSNR=00\r\n",
       prd},
      {"byte-order mark and CR",
       "\xEF\xBB\xBF"
       "DEST=PRD\rASHOST=sapprd01\rSYSNR=00",
       prd},
      {"a mark inside the file",
       "DEST=QAS\n\n\xEF\xBB\xBF"
       "DEST=PRD\nASHOST=sapprd01\n",
       {}},
      {"CR CR LF: a blank line between", "DEST=PRD\r\r\nASHOST=sapprd01\r\r\n", {{"DEST", "PRD"}}},
  };
  for (const auto& c : cases) {
    ParameterMap entry;
    EXPECT_EQ(FindSapnwrfcDestination(c.ini, "prd", &entry), !c.entry.empty()) << c.label;
    EXPECT_EQ(entry, c.entry) << c.label;
  }
}

TEST(SapRfcIni, GatewayServicesByNameOrPort) {
  EXPECT_EQ(NormalizeGatewayService("3300"), "sapgw00");
  EXPECT_EQ(NormalizeGatewayService("SAPGW01"), "sapgw01");
  EXPECT_EQ(NormalizeGatewayService("3400"), "3400");
}

}  // namespace
}  // namespace rfcemu
