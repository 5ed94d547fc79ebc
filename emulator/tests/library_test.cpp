// Drives the built stand-in library through the eleven operations, loaded
// at run time with dlopen as the program loads it. Each test runs in a
// fresh working directory of its own, where the library looks for its
// landscape, saprfc.ini and Dev_Rfc.Trc.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "rfc/classic/rfc_api.h"

namespace {

namespace fs = std::filesystem;

struct Rfc {
  RfcEnvironmentFn RfcEnvironment;
  RfcOpenFn RfcOpen;
  RfcOpenExFn RfcOpenEx;
  RfcInstallStructureFn RfcInstallStructure;
  RfcCallFn RfcCall;
  RfcReceiveFn RfcReceive;
  RfcLastErrorFn RfcLastError;
  RfcCloseFn RfcClose;
  ItCreateFn ItCreate;
  ItFillFn ItFill;
  ItDeleteFn ItDelete;
};

template <typename Fn>
void Resolve(void* library, const char* name, Fn* fn) {
  *fn = reinterpret_cast<Fn>(dlsym(library, name));
}

const Rfc& Library() {
  static const Rfc rfc = [] {
    Rfc r{};
    void* library = dlopen(RFC_EMULATOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      ADD_FAILURE() << dlerror();
      return r;
    }
    Resolve(library, "RfcEnvironment", &r.RfcEnvironment);
    Resolve(library, "RfcOpen", &r.RfcOpen);
    Resolve(library, "RfcOpenEx", &r.RfcOpenEx);
    Resolve(library, "RfcInstallStructure", &r.RfcInstallStructure);
    Resolve(library, "RfcCall", &r.RfcCall);
    Resolve(library, "RfcReceive", &r.RfcReceive);
    Resolve(library, "RfcLastError", &r.RfcLastError);
    Resolve(library, "RfcClose", &r.RfcClose);
    Resolve(library, "ItCreate", &r.ItCreate);
    Resolve(library, "ItFill", &r.ItFill);
    Resolve(library, "ItDelete", &r.ItDelete);
    return r;
  }();
  return rfc;
}

// What the error handler saw: the operation texts, and RfcLastError as read
// from inside the handler, as the program's handler reads it.
std::vector<std::string> g_handler_operations;
RFC_ERROR_INFO g_handler_error;

void RFC_STDCALL RecordingHandler(char* operation) {
  g_handler_operations.emplace_back(operation);
  std::memset(&g_handler_error, 0, sizeof g_handler_error);
  Library().RfcLastError(&g_handler_error);
}

const char kLandscape[] = R"(# test landscape
[landscape]
journal = journal.log

[system PRD]
ashost = sapprd01
sysnr = 00
client = 100
user = MONITOR
password = Secret
value STARTUP_DATE = 20231231
value STARTUP_TIME = 235959
value NUMBER_OF_TABLES = 815
value RFC_ERROR = boom
value SAP_CURSOR_CACHE_TOTAL.ID_REQ = 12345
value SAP_CURSOR_CACHE_TOTAL.ID_HITR = 995000
value SAP_CURSOR_CACHE_TOTAL.ID_FREE = -42
value SAP_CURSOR_CACHE_TOTAL.STMT_DEL = 7
value EXTENDED_MEMORY_USAGE.ATTACHED = 4096
value EXTENDED_MEMORY_USAGE.QUOTA_NDIA = -1
value TOTAL_HITRATIO.SEQUENTIAL = raw:00000000 09987F
rows EXTENDED_MEMORY_ACTIVE_CONTEXT = 3
rows TABLE_STATISTIC = 0
)";

const char kOtherSystems[] = R"(
[system QAS]
ashost = sapqas01
sysnr = 01
client = 200
user = MONITOR
password = Other

[system R2]
gwhost = sapr2gw
gwserv = sapgw05
client = 000
user = CPIC
password = x
)";

const char kSapRfcIni[] =
    "DEST=QAS\r\nTYPE=A\r\nASHOST=sapqas01\r\nSYSNR=01\r\n"
    "DEST=R2\r\nGWHOST=sapr2gw\r\nGWSERV=3305\r\n";

// The ten tables with the row lengths the program creates them with.
const struct {
  const char* name;
  unsigned leng;
} kTables[] = {{"ALLOC_PROCEDURE_DIA", 12},
               {"ALLOC_PROCEDURE_NONDIA", 12},
               {"BUFFER_NAMES", 5},
               {"BUFFER_STATISTIC", 176},
               {"CURSOR_CACHE_INFO", 64},
               {"EXTENDED_MEMORY_ACTIVE_CONTEXT", 132},
               {"INTERNAL_EXTERNAL_MODES_MEMORY", 96},
               {"MODE_MEMORY_HISTORY", 96},
               {"TABLE_QUALITIES", 48},
               {"TABLE_STATISTIC", 379}};

struct Element {
  const char* name;
  unsigned type;
  unsigned length;
};

std::vector<RFC_TYPE_ELEMENT> ToElements(const std::vector<Element>& list) {
  std::vector<RFC_TYPE_ELEMENT> elements;
  for (const Element& e : list) elements.push_back({const_cast<char*>(e.name), e.type, e.length, 0, 0});
  return elements;
}

const std::vector<Element> kCcStatsTtl = {{"ID_REQ", TYPP, 8},    {"ID_HITS", TYPP, 8},   {"ID_HITR", TYPP, 4},
                                          {"ID_FREE", TYPP, 8},   {"ID_MAX", TYPP, 8},    {"ID_INS", TYPP, 8},
                                          {"ID_DEL", TYPP, 8},    {"STMT_REQ", TYPP, 8},  {"STMT_HITS", TYPP, 8},
                                          {"STMT_HITR", TYPP, 8}, {"STMT_FREE", TYPP, 8}, {"STMT_MAX", TYPP, 8},
                                          {"STMT_INS", TYPP, 8},  {"STMT_DEL", TYPP, 8}};
const std::vector<Element> kEmStatusAg = {{"ATTACHED", TYPINT, 4}, {"ALLOCATED", TYPINT, 4}, {"USED", TYPINT, 4},
                                          {"TOTAL", TYPINT, 4},    {"QUOTA_DIA", TYPINT, 4}, {"QUOTA_NDIA", TYPINT, 4}};
const std::vector<Element> kTabHitRato = {{"DIRECT", TYPP, 7}, {"SEQUENTIAL", TYPP, 7}, {"AVERAGE", TYPP, 7}};
const std::vector<Element> kEmContext = {
    {"SRVNAME", TYPC, 20},     {"HANDLE", TYPINT, 4},    {"ROLLKEY", TYPC, 16},     {"ROLLINFO", TYPC, 16},
    {"ATTACHED", TYPINT, 4},   {"WPID", TYPINT, 4},      {"ACTIMODE", TYPINT, 4},   {"MEMSUMKB", TYPINT, 4},
    {"PRIVSUMKB", TYPINT, 4},  {"PRIVTIME", TYPC, 6},    {"TCODE", TYPC, 20},       {"USEKB", TYPINT, 4},
    {"MAXKB", TYPINT, 4},      {"MAXDIAKB", TYPINT, 4},  {"STACKMODKB", TYPINT, 4}, {"USGLOBALKB", TYPINT, 4},
    {"USEHYPERKB", TYPINT, 4}, {"MEMOFREEMB", TYPINT, 4}};

std::string Hex(const void* data, std::size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = static_cast<const unsigned char*>(data)[i];
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0xF];
  }
  return hex;
}

constexpr unsigned char kCanary = 0xAA;

// A received parameter: its bytes followed by canary bytes that the library
// must leave alone.
struct Buffer {
  explicit Buffer(unsigned length) : leng(length), bytes(length + 8, kCanary) {}
  std::string HexAt(unsigned offset, unsigned length) const { return Hex(&bytes[offset], length); }
  std::string Text(unsigned offset, unsigned length) const {
    return std::string(reinterpret_cast<const char*>(&bytes[offset]), length);
  }
  std::int32_t IntAt(unsigned offset) const {
    std::int32_t value;
    std::memcpy(&value, &bytes[offset], 4);
    return value;
  }
  bool TailUntouched() const {
    for (std::size_t i = leng; i < bytes.size(); ++i) {
      if (bytes[i] != kCanary) return false;
    }
    return true;
  }
  unsigned leng;
  std::vector<unsigned char> bytes;
};

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library().ItDelete, nullptr) << "the library did not load";
    char pattern[] = "/tmp/rfcemu-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    previous_ = fs::current_path();
    fs::current_path(dir_);
    unsetenv("POOLMETRICS_LANDSCAPE");
    unsetenv("RFC_INI");
    Write("landscape.ini", std::string(kLandscape) + kOtherSystems);
    g_handler_operations.clear();
    Environment(RecordingHandler);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(dir_);
  }

  static void Write(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
  static std::vector<std::string> Lines(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static bool HasLine(const std::string& name, const std::string& line) {
    for (const std::string& l : Lines(name)) {
      if (l == line) return true;
    }
    return false;
  }
  static std::string LineStarting(const std::string& name, const std::string& prefix) {
    std::string found;
    for (const std::string& l : Lines(name)) {
      if (l.rfind(prefix, 0) == 0) found = l;  // the last one
    }
    return found;
  }

  void Environment(RFC_ERROR_HANDLER handler) {
    RFC_ENV env{handler, nullptr};
    rfc.RfcEnvironment(&env);
  }

  // RfcOpen as the program fills it: user padded to 12, password to 10.
  RFC_HANDLE OpenR3(std::string host, int sysnr, std::string client = "100", std::string user = "MONITOR     ",
                    std::string password = "Secret    ") {
    RFC_CONNOPT_R3ONLY r3{host.data(), sysnr, nullptr, nullptr};
    std::string destination = "PRD", language = "E";
    RFC_OPTIONS options{destination.data(), RFC_MODE_R3ONLY, &r3, client.data(), user.data(),
                        password.data(),    language.data(), 0};
    return rfc.RfcOpen(&options);
  }
  RFC_HANDLE OpenEx(std::string connect, RFC_ERROR_INFO_EX* info = nullptr) {
    RFC_ERROR_INFO_EX scratch;
    return rfc.RfcOpenEx(connect.data(), info ? info : &scratch);
  }
  RFC_ERROR_INFO LastError() {
    RFC_ERROR_INFO info;
    std::memset(&info, 0, sizeof info);
    rfc.RfcLastError(&info);
    return info;
  }
  RFC_TYPEHANDLE Install(const char* name, const std::vector<Element>& list) {
    std::vector<RFC_TYPE_ELEMENT> elements = ToElements(list);
    RFC_TYPEHANDLE handle = 0;
    std::string structure = name;
    EXPECT_EQ(
        rfc.RfcInstallStructure(structure.data(), elements.data(), static_cast<unsigned>(elements.size()), &handle),
        RFC_OK);
    return handle;
  }

  // The ten tables and their descriptors, as the program passes them.
  struct Tables {
    ITAB_H handles[10] = {};
    RFC_TABLE descriptors[11] = {};
  };
  void CreateTables(Tables* tables, RFC_TYPEHANDLE row_type = 0) {
    for (int i = 0; i < 10; ++i) {
      tables->handles[i] = rfc.ItCreate(const_cast<char*>(kTables[i].name), kTables[i].leng, 0, 0);
      ASSERT_NE(tables->handles[i], nullptr) << kTables[i].name;
      tables->descriptors[i] = {const_cast<char*>(kTables[i].name),
                                static_cast<unsigned>(std::strlen(kTables[i].name)),
                                row_type,
                                kTables[i].leng,
                                tables->handles[i],
                                RFC_ITMODE_BYREFERENCE,
                                0};
    }
  }
  RFC_RC Call(RFC_HANDLE handle, RFC_TABLE* tables) {
    std::string blanks(32, ' ');
    RFC_PARAMETER exporting[2] = {{const_cast<char*>("DESTINATION"), 11, TYPC, 32, blanks.data()}, {}};
    return rfc.RfcCall(handle, const_cast<char*>("SAPTUNE_GET_SUMMARY_STATISTIC"), exporting, tables);
  }
  // Calls and receives one scalar parameter; returns RfcReceive's code.
  RFC_RC CallAndReceive(RFC_HANDLE handle, char** exception) {
    Tables tables;
    CreateTables(&tables);
    EXPECT_EQ(Call(handle, tables.descriptors), RFC_OK);
    std::int32_t number = 0;
    RFC_PARAMETER importing[2] = {{const_cast<char*>("NUMBER_OF_TABLES"), 16, TYPINT, 4, &number}, {}};
    const RFC_RC rc = rfc.RfcReceive(handle, importing, tables.descriptors, exception);
    for (ITAB_H table : tables.handles) rfc.ItDelete(table);
    return rc;
  }

  const Rfc& rfc = Library();
  fs::path dir_;
  fs::path previous_;
};

TEST_F(EmulatorTest, ExportsTheElevenOperations) {
  const void* operations[] = {
      reinterpret_cast<const void*>(rfc.RfcEnvironment), reinterpret_cast<const void*>(rfc.RfcOpen),
      reinterpret_cast<const void*>(rfc.RfcOpenEx),      reinterpret_cast<const void*>(rfc.RfcInstallStructure),
      reinterpret_cast<const void*>(rfc.RfcCall),        reinterpret_cast<const void*>(rfc.RfcReceive),
      reinterpret_cast<const void*>(rfc.RfcLastError),   reinterpret_cast<const void*>(rfc.RfcClose),
      reinterpret_cast<const void*>(rfc.ItCreate),       reinterpret_cast<const void*>(rfc.ItFill),
      reinterpret_cast<const void*>(rfc.ItDelete)};
  for (const void* operation : operations) EXPECT_NE(operation, nullptr);
}

TEST_F(EmulatorTest, LogsOnByEveryAddressingWay) {
  // Natively the program's spelling SapRfc.ini is found as well.
  Write("SapRfc.ini", kSapRfcIni);
  std::string host = "SAPPRD01", r2_host = "sapr2gw", r2_service = "3305";
  std::string client = "000", user = "CPIC        ", password = "x         ", empty;
  RFC_CONNOPT_CPIC cpic{r2_host.data(), r2_service.data()};
  RFC_OPTIONS cpic_options{empty.data(), RFC_MODE_CPIC,   &cpic,        client.data(),
                           user.data(),  password.data(), empty.data(), 0};

  const struct {
    const char* label;
    std::function<RFC_HANDLE()> open;
    const char* system;
  } kCases[] = {
      {"application server host and system number", [&] { return OpenR3(host, 0); }, "PRD"},
      {"gateway host and service", [&] { return rfc.RfcOpen(&cpic_options); }, "R2"},
      {"connect string with a saprfc.ini destination",
       [&] { return OpenEx("CLIENT=200 USER=monitor PASSWD=Other LANG=D DEST=QAS"); }, "QAS"},
      {"saprfc.ini destination through a gateway",
       [&] { return OpenEx("client=000 user=CPIC passwd=x lang=D dest=r2"); }, "R2"},
      {"RfcOpen without a connection record: the destination's block",
       [&] {
         std::string qas = "QAS", qas_client = "200", qas_user = "MONITOR     ", qas_password = "Other     ";
         RFC_OPTIONS by_destination{qas.data(),      RFC_MODE_R3ONLY,     nullptr,      qas_client.data(),
                                    qas_user.data(), qas_password.data(), empty.data(), 0};
         return rfc.RfcOpen(&by_destination);
       },
       "QAS"},
      {"connect string with the address itself",
       [&] { return OpenEx("CLIENT=100 USER=MONITOR PASSWD=Secret ASHOST=sapprd01 SYSNR=00"); }, "PRD"},
  };
  std::vector<RFC_HANDLE> handles;
  for (const auto& c : kCases) {
    const RFC_HANDLE handle = c.open();
    ASSERT_NE(handle, RFC_HANDLE_NULL) << c.label << ": " << LastError().message;
    for (RFC_HANDLE other : handles) EXPECT_NE(handle, other) << c.label;
    handles.push_back(handle);
    const std::string result = LineStarting("journal.log", "RfcOpen");
    EXPECT_NE(result.find("result handle=" + std::to_string(handle) + " system=" + c.system), std::string::npos)
        << c.label << ": " << result;
  }
  for (RFC_HANDLE handle : handles) rfc.RfcClose(handle);
  EXPECT_FALSE(fs::exists("Dev_Rfc.Trc"));
}

TEST_F(EmulatorTest, RefusesLogonsLikeARealSystem) {
  Write("saprfc.ini", kSapRfcIni);
  const struct {
    const char* label;
    std::function<RFC_HANDLE()> open;
    const char* key;
    const char* message;
  } kCases[] = {
      {"password of other case", [&] { return OpenR3("sapprd01", 0, "100", "MONITOR", "secret"); },
       "RFC_ERROR_LOGON_FAILURE", "Name or password is incorrect (repeat logon)"},
      {"unknown user", [&] { return OpenR3("sapprd01", 0, "100", "NOBODY", "Secret"); }, "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"other client", [&] { return OpenR3("sapprd01", 0, "999"); }, "RFC_ERROR_LOGON_FAILURE",
       "Client 999 is not available in this system"},
      {"unknown host", [&] { return OpenR3("nohost", 0); }, "RFC_ERROR_COMMUNICATION",
       "partner 'nohost:sapgw00' not reached"},
      {"other system number", [&] { return OpenR3("sapprd01", 3); }, "RFC_ERROR_COMMUNICATION",
       "partner 'sapprd01:sapgw03' not reached"},
      {"destination missing from saprfc.ini",
       [&] { return OpenEx("CLIENT=100 USER=MONITOR PASSWD=Secret LANG=D DEST=DEV"); }, "RFC_ERROR_PROGRAM",
       "destination DEV is not in saprfc.ini"},
      {"connect string password wrong", [&] { return OpenEx("CLIENT=200 USER=MONITOR PASSWD=other LANG=D DEST=QAS"); },
       "RFC_ERROR_LOGON_FAILURE", "Name or password is incorrect (repeat logon)"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.open(), RFC_HANDLE_NULL) << c.label;
    const RFC_ERROR_INFO error = LastError();
    EXPECT_STREQ(error.key, c.key) << c.label;
    EXPECT_STREQ(error.message, c.message) << c.label;
    // The trace file ends with an error block whose message line the
    // program turns into its hint.
    const std::vector<std::string> trace = Lines("Dev_Rfc.Trc");
    ASSERT_GE(trace.size(), 2u) << c.label;
    EXPECT_EQ(trace[trace.size() - 2].rfind("**** ERROR ", 0), 0u) << c.label;
    EXPECT_EQ(trace.back(), std::string("ERROR       ") + c.message) << c.label;
  }
  EXPECT_TRUE(g_handler_operations.empty());

  RFC_ERROR_INFO_EX info;
  std::memset(&info, 0x55, sizeof info);
  EXPECT_EQ(OpenEx("CLIENT=100 USER=MONITOR PASSWD=wrong ASHOST=sapprd01 SYSNR=00", &info), RFC_HANDLE_NULL);
  EXPECT_EQ(info.group, 103);
  EXPECT_STREQ(info.key, "RFC_ERROR_LOGON_FAILURE");
  EXPECT_STREQ(info.message, "Name or password is incorrect (repeat logon)");
}

TEST_F(EmulatorTest, ALandscapeFaultOrABrokenFileRefusesEveryLogon) {
  const struct {
    const char* label;
    std::string landscape;
    const char* key;
    const char* message;
  } kCases[] = {
      {"refuse_logon", std::string(kLandscape) + "refuse_logon = yes\n", "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"refuse_logon with its own error",
       std::string(kLandscape) + "refuse_logon = yes\nerror_message = User is locked\n", "RFC_ERROR_LOGON_FAILURE",
       "User is locked"},
      {"malformed landscape", std::string(kLandscape) + "sysnr = 01\n", "RFC_ERROR_PROGRAM",
       "landscape file landscape.ini, line 24: 'sysnr' is given twice"},
  };
  for (const auto& c : kCases) {
    Write("landscape.ini", c.landscape);
    EXPECT_EQ(OpenR3("sapprd01", 0), RFC_HANDLE_NULL) << c.label;
    EXPECT_STREQ(LastError().key, c.key) << c.label;
    EXPECT_STREQ(LastError().message, c.message) << c.label;
    EXPECT_EQ(Lines("Dev_Rfc.Trc").back(), std::string("ERROR       ") + c.message) << c.label;
  }
  fs::remove("landscape.ini");
  EXPECT_EQ(OpenR3("sapprd01", 0), RFC_HANDLE_NULL);
  EXPECT_STREQ(LastError().message, "cannot read the landscape file landscape.ini");

  // The variable points elsewhere.
  Write("elsewhere.ini", kLandscape);
  setenv("POOLMETRICS_LANDSCAPE", (dir_ / "elsewhere.ini").c_str(), 1);
  const RFC_HANDLE handle = OpenR3("sapprd01", 0);
  EXPECT_NE(handle, RFC_HANDLE_NULL);
  rfc.RfcClose(handle);
}

TEST_F(EmulatorTest, WritesValuesThroughTheCallersDescriptors) {
  const RFC_TYPEHANDLE ccstatsttl = Install("CCSTATSTTL", kCcStatsTtl);
  const RFC_TYPEHANDLE emstatusag = Install("EMSTATUSAG", kEmStatusAg);
  const RFC_TYPEHANDLE tabhitrato = Install("TABHITRATO", kTabHitRato);
  const RFC_TYPEHANDLE emcontext = Install("EMCONTEXT", kEmContext);
  for (RFC_TYPEHANDLE type : {ccstatsttl, emstatusag, tabhitrato, emcontext}) EXPECT_GT(type, TYPINT1);
  EXPECT_NE(ccstatsttl, emstatusag);
  const std::string emcontext_line = LineStarting("journal.log", "RfcInstallStructure name=\"EMCONTEXT\"");
  EXPECT_NE(emcontext_line.find(" rowlength=132 "), std::string::npos) << emcontext_line;
  EXPECT_NE(emcontext_line.find(",TCODE:TYPC:20:0@82,USEKB:TYPINT:4:0@104,"), std::string::npos);

  const RFC_HANDLE handle = OpenR3("sapprd01", 0);
  ASSERT_NE(handle, RFC_HANDLE_NULL);
  Tables tables;
  CreateTables(&tables);
  tables.descriptors[5].type = emcontext;
  ASSERT_EQ(Call(handle, tables.descriptors), RFC_OK);
  EXPECT_EQ(rfc.ItFill(tables.handles[5]), 0u) << "rows arrive with RfcReceive";

  Buffer cursor(108), memory(24), hitratio(21), date(8), time(6), number(4), error(256);
  RFC_PARAMETER importing[] = {{const_cast<char*>("SAP_CURSOR_CACHE_TOTAL"), 22, ccstatsttl, 108, cursor.bytes.data()},
                               {const_cast<char*>("EXTENDED_MEMORY_USAGE"), 21, emstatusag, 24, memory.bytes.data()},
                               {const_cast<char*>("TOTAL_HITRATIO"), 14, tabhitrato, 21, hitratio.bytes.data()},
                               {const_cast<char*>("STARTUP_DATE"), 12, TYPDATE, 8, date.bytes.data()},
                               {const_cast<char*>("STARTUP_TIME"), 12, TYPTIME, 6, time.bytes.data()},
                               {const_cast<char*>("NUMBER_OF_TABLES"), 16, TYPINT, 4, number.bytes.data()},
                               {const_cast<char*>("RFC_ERROR"), 9, TYPC, 256, error.bytes.data()},
                               {}};
  char* exception = nullptr;
  ASSERT_EQ(rfc.RfcReceive(handle, importing, tables.descriptors, &exception), RFC_OK);
  EXPECT_EQ(exception, nullptr);

  EXPECT_EQ(cursor.HexAt(0, 8), "000000000012345C");    // ID_REQ
  EXPECT_EQ(cursor.HexAt(16, 4), "0995000C");           // ID_HITR, 4 bytes at 16
  EXPECT_EQ(cursor.HexAt(20, 8), "000000000000042D");   // ID_FREE, negative
  EXPECT_EQ(cursor.HexAt(100, 8), "000000000000007C");  // STMT_DEL, the last
  EXPECT_EQ(memory.IntAt(0), 4096);
  EXPECT_EQ(memory.IntAt(20), -1);
  EXPECT_EQ(hitratio.HexAt(7, 7), "0000000009987F");  // raw half-bytes as given
  EXPECT_EQ(date.Text(0, 8), "20231231");
  EXPECT_EQ(time.Text(0, 6), "235959");
  EXPECT_EQ(number.IntAt(0), 815);
  EXPECT_EQ(error.Text(0, 256), "boom" + std::string(252, ' '));
  for (const Buffer* b : {&cursor, &memory, &hitratio, &date, &time, &number, &error}) {
    EXPECT_TRUE(b->TailUntouched()) << "written past leng " << b->leng;
  }

  EXPECT_EQ(rfc.ItFill(tables.handles[5]), 3u);
  EXPECT_EQ(rfc.ItFill(tables.handles[9]), 0u);
  for (ITAB_H table : tables.handles) EXPECT_EQ(rfc.ItDelete(table), 0);
  rfc.RfcClose(handle);
}

TEST_F(EmulatorTest, ValuesFollowTheCallersLayoutAndStayWithinLeng) {
  // A caller that declares ID_HITR with 8 bytes gets ID_FREE four bytes
  // later than the function module's layout has it: its mistake shows.
  std::vector<Element> wrong = kCcStatsTtl;
  wrong[2].length = 8;
  const RFC_TYPEHANDLE type = Install("CCSTATSTTL", wrong);
  const RFC_HANDLE handle = OpenR3("sapprd01", 0);
  ASSERT_NE(handle, RFC_HANDLE_NULL);
  Tables tables;
  CreateTables(&tables);
  ASSERT_EQ(Call(handle, tables.descriptors), RFC_OK);
  Buffer cursor(112), shortened(18);
  RFC_PARAMETER importing[] = {{const_cast<char*>("SAP_CURSOR_CACHE_TOTAL"), 22, type, 112, cursor.bytes.data()},
                               {const_cast<char*>("SAP_CURSOR_CACHE_TOTAL"), 22, type, 18, shortened.bytes.data()},
                               {const_cast<char*>("NO_SUCH_PARAMETER"), 17, TYPINT, 4, nullptr},
                               {}};
  char* exception = nullptr;
  ASSERT_EQ(rfc.RfcReceive(handle, importing, tables.descriptors, &exception), RFC_OK);
  EXPECT_EQ(cursor.HexAt(16, 8), "000000000995000C");
  EXPECT_EQ(cursor.HexAt(24, 8), "000000000000042D");
  EXPECT_EQ(shortened.HexAt(16, 2), "0000");  // ID_HITR cut at leng 18
  EXPECT_TRUE(shortened.TailUntouched());
  EXPECT_TRUE(HasLine("journal.log",
                      "RfcReceive importing name=\"NO_SUCH_PARAMETER\" nlen=17 type=8 "
                      "leng=4 filled=no-address"));
  for (ITAB_H table : tables.handles) rfc.ItDelete(table);
  rfc.RfcClose(handle);
}

TEST_F(EmulatorTest, DefaultsAreStableAndDifferBetweenSystems) {
  const RFC_TYPEHANDLE type = Install("CCSTATSTTL", kCcStatsTtl);
  auto receive = [&](RFC_HANDLE handle) {
    Tables tables;
    CreateTables(&tables);
    EXPECT_EQ(Call(handle, tables.descriptors), RFC_OK);
    Buffer cursor(108);
    RFC_PARAMETER importing[] = {{const_cast<char*>("SAP_CURSOR_CACHE_TOTAL"), 22, type, 108, cursor.bytes.data()}, {}};
    char* exception = nullptr;
    EXPECT_EQ(rfc.RfcReceive(handle, importing, tables.descriptors, &exception), RFC_OK);
    std::string rows;
    for (ITAB_H table : tables.handles) {
      rows += std::to_string(rfc.ItFill(table)) + " ";
      rfc.ItDelete(table);
    }
    return cursor.HexAt(28, 8) + " " + rows;  // ID_MAX, which no test system sets
  };
  const RFC_HANDLE prd = OpenR3("sapprd01", 0);
  const RFC_HANDLE qas = OpenR3("sapqas01", 1, "200", "MONITOR", "Other");
  ASSERT_NE(prd, RFC_HANDLE_NULL);
  ASSERT_NE(qas, RFC_HANDLE_NULL);
  const std::string first = receive(prd);
  EXPECT_EQ(receive(prd), first);
  EXPECT_NE(receive(qas), first);
  rfc.RfcClose(prd);
  rfc.RfcClose(qas);
}

TEST_F(EmulatorTest, ReturnCodesOfCallAndReceive) {
  const struct {
    const char* faults;
    RFC_RC call_rc;
    RFC_RC receive_rc;
    const char* exception;  // null: the pointer is left as it was
    const char* key;
    const char* message;
  } kCases[] = {
      {"call_rc = 1\n", RFC_FAILURE, RFC_OK, nullptr, "RFC_ERROR_COMMUNICATION", "connection to partner broken"},
      {"call_rc = 5\n", RFC_INTERNAL_COM, RFC_OK, nullptr, "RFC_ERROR_INTERNAL", "internal error, return code 5"},
      {"receive_rc = 1\n", RFC_OK, RFC_FAILURE, nullptr, "RFC_ERROR_COMMUNICATION", "connection to partner broken"},
      {"receive_rc = 2\n", RFC_OK, RFC_EXCEPTION, "NOT_FOUND", "RFC_ERROR_APPLICATION_EXCEPTION", "NOT_FOUND"},
      {"receive_rc = 2\nexception = NO_DATA_AVAILABLE\n", RFC_OK, RFC_EXCEPTION, "NO_DATA_AVAILABLE",
       "RFC_ERROR_APPLICATION_EXCEPTION", "NO_DATA_AVAILABLE"},
      {"receive_rc = 3\nexception = Connection reset by peer\nerror_key = "
       "RFC_ERROR_COMMUNICATION\n",
       RFC_OK, RFC_SYS_EXCEPTION, "Connection reset by peer", "RFC_ERROR_COMMUNICATION", "Connection reset by peer"},
      {"receive_rc = 6\n", RFC_OK, RFC_CLOSED, nullptr, "RFC_ERROR_INTERNAL", "internal error, return code 6"},
  };
  char untouched[] = "untouched";
  for (const auto& c : kCases) {
    Write("landscape.ini", std::string(kLandscape) + c.faults);
    const RFC_HANDLE handle = OpenR3("sapprd01", 0);
    ASSERT_NE(handle, RFC_HANDLE_NULL) << c.faults;
    Tables tables;
    CreateTables(&tables);
    EXPECT_EQ(Call(handle, tables.descriptors), c.call_rc) << c.faults;
    if (c.call_rc == RFC_OK) {
      char* exception = untouched;
      EXPECT_EQ(rfc.RfcReceive(handle, nullptr, tables.descriptors, &exception), c.receive_rc) << c.faults;
      EXPECT_STREQ(exception, c.exception ? c.exception : untouched) << c.faults;
    }
    EXPECT_STREQ(LastError().key, c.key) << c.faults;
    EXPECT_STREQ(LastError().message, c.message) << c.faults;
    for (ITAB_H table : tables.handles) rfc.ItDelete(table);
    rfc.RfcClose(handle);
  }
  EXPECT_TRUE(g_handler_operations.empty());

  // The emulated systems know one function module only.
  Write("landscape.ini", kLandscape);
  const RFC_HANDLE handle = OpenR3("sapprd01", 0);
  Tables tables;
  CreateTables(&tables);
  EXPECT_EQ(rfc.RfcCall(handle, const_cast<char*>("RFC_PING"), nullptr, tables.descriptors), RFC_OK);
  char* exception = nullptr;
  EXPECT_EQ(rfc.RfcReceive(handle, nullptr, tables.descriptors, &exception), RFC_SYS_EXCEPTION);
  EXPECT_STREQ(exception, "CALL_FUNCTION_NOT_FOUND");
  EXPECT_STREQ(LastError().message, "Function module \"RFC_PING\" not found");
  EXPECT_EQ(rfc.RfcReceive(handle, nullptr, tables.descriptors, &exception), RFC_FAILURE)
      << "a second RfcReceive without RfcCall";
  for (ITAB_H table : tables.handles) rfc.ItDelete(table);
  rfc.RfcClose(handle);
}

TEST_F(EmulatorTest, CallsTheErrorHandlerWhenAsked) {
  const char kError[] =
      "error_key = RFC_ERROR_SYSTEM_FAILURE\nerror_status = CPIC-CALL: 'ThSAPCMRCV'\n"
      "error_message = Connection closed\nerror_intstat = rc=13\n";
  const struct {
    const char* faults;
    bool open_ex;
    const char* operation;
  } kCases[] = {
      {"error_handler = open\n", false, "RfcOpen"},
      {"error_handler = open\n", true, "RfcOpenEx"},
      {"error_handler = call\n", false, "RfcReceive"},
      {"error_handler = call\nerror_operation = RfcCall\n", false, "RfcCall"},
  };
  for (const auto& c : kCases) {
    Write("landscape.ini", std::string(kLandscape) + c.faults + kError);
    g_handler_operations.clear();
    Environment(RecordingHandler);
    const RFC_HANDLE handle =
        c.open_ex ? OpenEx("CLIENT=100 USER=MONITOR PASSWD=Secret ASHOST=sapprd01 SYSNR=00") : OpenR3("sapprd01", 0);
    if (std::string(c.faults).find("open") != std::string::npos) {
      EXPECT_EQ(handle, RFC_HANDLE_NULL) << c.faults;
    } else {
      ASSERT_NE(handle, RFC_HANDLE_NULL) << c.faults;
      EXPECT_EQ(CallAndReceive(handle, nullptr), RFC_FAILURE) << c.faults;
      rfc.RfcClose(handle);
    }
    EXPECT_EQ(g_handler_operations, std::vector<std::string>{c.operation}) << c.faults;
    EXPECT_STREQ(g_handler_error.key, "RFC_ERROR_SYSTEM_FAILURE") << c.faults;
    EXPECT_STREQ(g_handler_error.status, "CPIC-CALL: 'ThSAPCMRCV'") << c.faults;
    EXPECT_STREQ(g_handler_error.message, "Connection closed") << c.faults;
    EXPECT_STREQ(g_handler_error.intstat, "rc=13") << c.faults;
  }
  // Without a registered handler the fault is only the failure.
  Write("landscape.ini", std::string(kLandscape) + "error_handler = open\n");
  Environment(nullptr);
  g_handler_operations.clear();
  EXPECT_EQ(OpenR3("sapprd01", 0), RFC_HANDLE_NULL);
  EXPECT_TRUE(g_handler_operations.empty());
}

TEST_F(EmulatorTest, InternalTableFaultsFollowTheLastOpenedSystem) {
  Write("landscape.ini",
        std::string(kLandscape) + "itcreate_fails = TABLE_STATISTIC\nitdelete_fails = BUFFER_NAMES\n" + kOtherSystems);
  const RFC_HANDLE prd = OpenR3("sapprd01", 0);
  ASSERT_NE(prd, RFC_HANDLE_NULL);
  char table_statistic[] = "TABLE_STATISTIC", buffer_names[] = "BUFFER_NAMES";
  EXPECT_EQ(rfc.ItCreate(table_statistic, 379, 0, 0), nullptr);
  EXPECT_NE(rfc.RfcLastError, nullptr);
  EXPECT_STREQ(LastError().message, "no memory for internal table TABLE_STATISTIC");
  ITAB_H names = rfc.ItCreate(buffer_names, 5, 0, 0);
  ASSERT_NE(names, nullptr);
  EXPECT_NE(rfc.ItDelete(names), 0);
  rfc.RfcClose(prd);

  // Another system opened since: its (absent) faults apply.
  const RFC_HANDLE qas = OpenR3("sapqas01", 1, "200", "MONITOR", "Other");
  ASSERT_NE(qas, RFC_HANDLE_NULL);
  ITAB_H statistic = rfc.ItCreate(table_statistic, 379, 0, 0);
  EXPECT_NE(statistic, nullptr);
  EXPECT_EQ(rfc.ItDelete(statistic), 0);
  EXPECT_EQ(rfc.ItDelete(names), 0);
  EXPECT_NE(rfc.ItDelete(names), 0) << "deleted twice";
  rfc.RfcClose(qas);

  Write("landscape.ini", std::string(kLandscape) + "itcreate_fails = all\n");
  const RFC_HANDLE all = OpenR3("sapprd01", 0);
  for (const auto& table : kTables) EXPECT_EQ(rfc.ItCreate(const_cast<char*>(table.name), table.leng, 0, 0), nullptr);
  rfc.RfcClose(all);
}

TEST_F(EmulatorTest, DelaysTheReplyAndWritesTraceLines) {
  Write("landscape.ini", std::string(kLandscape) +
                             "delay_ms = 300\n"
                             "trace_at_open = **** ERROR file opened at 20240101 120000\n"
                             "trace_at_call = ERROR       partner not reached\n"
                             "trace_at_call = \"T:4711 ======> User locked\"\n");
  const RFC_HANDLE handle = OpenR3("sapprd01", 0);
  ASSERT_NE(handle, RFC_HANDLE_NULL);
  EXPECT_EQ(Lines("Dev_Rfc.Trc"), std::vector<std::string>{"**** ERROR file opened at 20240101 120000"});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CallAndReceive(handle, nullptr), RFC_OK);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ(Lines("Dev_Rfc.Trc"),
            (std::vector<std::string>{"**** ERROR file opened at 20240101 120000", "ERROR       partner not reached",
                                      "T:4711 ======> User locked"}));
  rfc.RfcClose(handle);
}

TEST_F(EmulatorTest, JournalsEveryCallWithItsArguments) {
  std::string host = "sapprd01", destination = "PRD", client = "100", user = "MONITOR     ", password = "Secret    ",
              language = "E";
  RFC_CONNOPT_R3ONLY r3{host.data(), 0, nullptr, nullptr};
  RFC_OPTIONS options{destination.data(), RFC_MODE_R3ONLY, &r3, client.data(), user.data(),
                      password.data(),    language.data(), 0};
  const RFC_HANDLE handle = rfc.RfcOpen(&options);
  ASSERT_NE(handle, RFC_HANDLE_NULL);
  const std::string h = std::to_string(handle);
  const RFC_TYPEHANDLE type = Install("TABHITRATO", kTabHitRato);
  Tables tables;
  CreateTables(&tables);
  ASSERT_EQ(Call(handle, tables.descriptors), RFC_OK);
  RFC_PARAMETER importing[] = {{const_cast<char*>("TOTAL_HITRATIO"), 14, type, 21, nullptr}, {}};
  char* exception = nullptr;
  ASSERT_EQ(rfc.RfcReceive(handle, importing, tables.descriptors, &exception), RFC_OK);
  rfc.RfcClose(handle);
  rfc.RfcClose(RFC_HANDLE_NULL);
  EXPECT_EQ(Call(handle, tables.descriptors), RFC_FAILURE) << "a closed handle";
  EXPECT_EQ(OpenEx("CLIENT=100 USER=MONITOR PASSWD=Secret LANG=D  ASHOST=sapprd01 SYSNR=00"), handle + 1);

  const std::vector<std::string> expected = {
      "RfcEnvironment errorhandler=SET allocate=NULL",
      "RfcOpen options bytes=" + Hex(&options, sizeof options),
      "RfcOpen options destination=\"PRD\" mode=0 connopt=SET client=\"100\" user=\"MONITOR     \" "
      "password=\"Secret    \" language=\"E\" trace=0",
      "RfcOpen connopt R3ONLY bytes=" + Hex(&r3, sizeof r3) +
          " hostname=\"sapprd01\" sysnr=0 gateway_host=NULL gateway_service=NULL",
      "RfcOpen result handle=" + h + " system=PRD",
      "RfcInstallStructure name=\"TABHITRATO\" entries=3 rc=0 handle=" + std::to_string(type) +
          " rowlength=21 elements=DIRECT:TYPP:7:0@0,SEQUENTIAL:TYPP:7:0@7,AVERAGE:TYPP:7:0@14",
      "RfcCall handle=" + h + " function=\"SAPTUNE_GET_SUMMARY_STATISTIC\"",
      "RfcCall exporting name=\"DESTINATION\" nlen=11 type=0 leng=32 value=\"" + std::string(32, ' ') + "\"",
      "RfcCall result rc=0",
      "RfcReceive handle=" + h,
      "RfcReceive importing name=\"TOTAL_HITRATIO\" nlen=14 type=" + std::to_string(type) +
          " structure=\"TABHITRATO\" leng=21 filled=no-address",
      "RfcReceive result rc=0 exception=NULL",
      "RfcClose handle=" + h + " system=PRD",
      "RfcClose handle=0 unknown",
      "RfcOpenEx connect=\"CLIENT=100 USER=MONITOR PASSWD=Secret LANG=D  ASHOST=sapprd01 "
      "SYSNR=00\"",
      "RfcOpenEx result handle=" + std::to_string(handle + 1) + " system=PRD",
  };
  for (const std::string& line : expected) EXPECT_TRUE(HasLine("journal.log", line)) << line;

  // Tables: created, passed to the call, filled; numbered in creation order.
  const std::string created = LineStarting("journal.log", "ItCreate name=\"TABLE_STATISTIC\"");
  ASSERT_EQ(created.rfind("ItCreate name=\"TABLE_STATISTIC\" leng=379 occu=0 memo=0 result=", 0), 0u);
  const std::string id = created.substr(created.find("result=") + 7);
  EXPECT_TRUE(
      HasLine("journal.log", "RfcCall table name=\"TABLE_STATISTIC\" nlen=15 type=0 leng=379 itmode=0 table=" + id));
  EXPECT_TRUE(HasLine("journal.log",
                      "RfcReceive table name=\"TABLE_STATISTIC\" nlen=15 type=0 leng=379 table=" + id + " rows=0"));
  for (ITAB_H table : tables.handles) rfc.ItDelete(table);
  EXPECT_TRUE(HasLine("journal.log", "ItDelete table=" + id + " rc=0"));
  rfc.RfcClose(handle + 1);
}

TEST_F(EmulatorTest, ReadsTheR2AndDestinationPathsIntoTheJournal) {
  Write("saprfc.ini", kSapRfcIni);
  std::string gateway = "sapr2gw", empty, client = "000", user = "CPIC        ", password = "x         ";
  RFC_CONNOPT_CPIC cpic{gateway.data(), nullptr};
  RFC_OPTIONS options{empty.data(), RFC_MODE_CPIC, &cpic, client.data(), user.data(), password.data(), empty.data(), 0};
  EXPECT_EQ(rfc.RfcOpen(&options), RFC_HANDLE_NULL);
  EXPECT_TRUE(HasLine("journal.log", "RfcOpen connopt CPIC bytes=" + Hex(&cpic, sizeof cpic) +
                                         " gateway_host=\"sapr2gw\" gateway_service=NULL"));
  const RFC_HANDLE handle = OpenEx("CLIENT=000 USER=CPIC PASSWD=x LANG=D DEST=R2");
  EXPECT_NE(handle, RFC_HANDLE_NULL);
  EXPECT_TRUE(
      HasLine("journal.log", "RfcOpenEx saprfc file=\"saprfc.ini\" DEST=\"R2\" GWHOST=\"sapr2gw\" GWSERV=\"3305\""));
  rfc.RfcClose(handle);
}

}  // namespace
