// Drives the built NetWeaver face of the emulated landscape (libsapnwrfc.so)
// through its seventeen operations, loaded at run time with dlopen and called
// through the declarations of nwrfc_api.h, as the program calls them. Each
// test runs in a fresh working directory of its own, where the library
// looks for its landscape, sapnwrfc.ini and dev_rfc.log.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "rfc/nwrfc/nwrfc_api.h"

namespace {

using namespace nwrfc;
namespace fs = std::filesystem;
static_assert(std::is_same_v<SAP_UC, char16_t>, "the library's texts are char16_t off Windows");

struct NwRfc {
  RfcOpenConnectionFn RfcOpenConnection;
  RfcCloseConnectionFn RfcCloseConnection;
  RfcGetFunctionDescFn RfcGetFunctionDesc;
  RfcCreateFunctionFn RfcCreateFunction;
  RfcDestroyFunctionFn RfcDestroyFunction;
  RfcSetCharsFn RfcSetChars;
  RfcInvokeFn RfcInvoke;
  RfcGetStructureFn RfcGetStructure;
  RfcGetTableFn RfcGetTable;
  RfcGetRowCountFn RfcGetRowCount;
  RfcGetIntFn RfcGetInt;
  RfcGetCharsFn RfcGetChars;
  RfcGetDateFn RfcGetDate;
  RfcGetTimeFn RfcGetTime;
  RfcGetStringFn RfcGetString;
  RfcGetVersionFn RfcGetVersion;
  RfcSetIniPathFn RfcSetIniPath;
};

template <typename Fn>
void Resolve(void* library, const char* name, Fn* fn) {
  *fn = reinterpret_cast<Fn>(dlsym(library, name));
}

const NwRfc& Library() {
  static const NwRfc rfc = [] {
    NwRfc r{};
    void* library = dlopen(NWRFC_EMULATOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      ADD_FAILURE() << dlerror();
      return r;
    }
    Resolve(library, "RfcOpenConnection", &r.RfcOpenConnection);
    Resolve(library, "RfcCloseConnection", &r.RfcCloseConnection);
    Resolve(library, "RfcGetFunctionDesc", &r.RfcGetFunctionDesc);
    Resolve(library, "RfcCreateFunction", &r.RfcCreateFunction);
    Resolve(library, "RfcDestroyFunction", &r.RfcDestroyFunction);
    Resolve(library, "RfcSetChars", &r.RfcSetChars);
    Resolve(library, "RfcInvoke", &r.RfcInvoke);
    Resolve(library, "RfcGetStructure", &r.RfcGetStructure);
    Resolve(library, "RfcGetTable", &r.RfcGetTable);
    Resolve(library, "RfcGetRowCount", &r.RfcGetRowCount);
    Resolve(library, "RfcGetInt", &r.RfcGetInt);
    Resolve(library, "RfcGetChars", &r.RfcGetChars);
    Resolve(library, "RfcGetDate", &r.RfcGetDate);
    Resolve(library, "RfcGetTime", &r.RfcGetTime);
    Resolve(library, "RfcGetString", &r.RfcGetString);
    Resolve(library, "RfcGetVersion", &r.RfcGetVersion);
    Resolve(library, "RfcSetIniPath", &r.RfcSetIniPath);
    return r;
  }();
  return rfc;
}

// Texts of the tests are ASCII: one code unit per character.
std::u16string U(const std::string& text) { return std::u16string(text.begin(), text.end()); }
std::string Ascii(const SAP_UC* text, std::size_t length) {
  std::string out;
  for (std::size_t i = 0; i < length; ++i) out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  return out;
}
std::string Ascii(const SAP_UC* text) { return Ascii(text, std::char_traits<char16_t>::length(text)); }

const char kLandscape[] = R"(# test landscape
[landscape]
journal = journal.log

[system PRD]
ashost = sapprd01
sysnr = 00
client = 100
user = MONITOR
password = Secret
)";

const char kQas[] = R"(
[system QAS]
ashost = sapqas01
sysnr = 01
client = 200
user = MONITOR
password = Other
)";

// The importing structures of SAPTUNE_GET_SUMMARY_STATISTIC with the types
// the program reads them by: INT fields, and packed fields with decimals.
struct Field {
  const char* name;
  bool packed;
  unsigned decimals;
};
const std::vector<Field> kTabPhysAcc = {
    {"UPDATE", true, 0}, {"DELETE", true, 0}, {"INSERT", true, 0}, {"DIRECT", true, 0}, {"SEQUENTIAL", true, 0}};
const std::vector<Field> kRlpgStat = {{"AREA_WP", false, 0},   {"AREA_SHM", false, 0},  {"AREA_SIZE", false, 0},
                                      {"CURR_USED", false, 0}, {"MAX_USED", false, 0},  {"FILE_SIZE", false, 0},
                                      {"QUOTA_DIA", false, 0}, {"QUOTA_NDIA", false, 0}};
const std::vector<std::pair<const char*, std::vector<Field>>> kStructures = {
    {"DB_ACCESSES", kTabPhysAcc},
    {"EXTENDED_MEMORY_USAGE",
     {{"ATTACHED", false, 0},
      {"ALLOCATED", false, 0},
      {"USED", false, 0},
      {"TOTAL", false, 0},
      {"QUOTA_DIA", false, 0},
      {"QUOTA_NDIA", false, 0}}},
    {"HEAP_MEMORY_USAGE",
     {{"USED", false, 0},
      {"TOTAL", false, 0},
      {"QUOTA_DIA", false, 0},
      {"QUOTA_NDIA", false, 0},
      {"TOTAL_DIA", false, 0},
      {"TOTAL_NDIA", false, 0}}},
    {"LOGIC_ACCESSES",
     {{"UPDCNT", false, 0},
      {"UPDFAIL", false, 0},
      {"DELCNT", false, 0},
      {"DELFAIL", false, 0},
      {"INSCNT", false, 0},
      {"INSFAIL", false, 0},
      {"DIRCNT", false, 0},
      {"DIRFAIL", false, 0},
      {"SEQCNT", false, 0}}},
    {"PAGING_AREA", kRlpgStat},
    {"PXA_INFO", {{"GAPS", false, 0}, {"PRG_GEN", false, 0}}},
    {"ROLL_AREA", kRlpgStat},
    {"SAP_CURSOR_CACHE_TOTAL",
     {{"ID_REQ", true, 0},
      {"ID_HITS", true, 0},
      {"ID_HITR", true, 4},
      {"ID_FREE", true, 0},
      {"ID_MAX", true, 0},
      {"ID_INS", true, 0},
      {"ID_DEL", true, 0},
      {"STMT_REQ", true, 0},
      {"STMT_HITS", true, 0},
      {"STMT_HITR", true, 0},
      {"STMT_FREE", true, 0},
      {"STMT_MAX", true, 0},
      {"STMT_INS", true, 0},
      {"STMT_DEL", true, 0}}},
    {"TOTAL_DURATIONS", kTabPhysAcc},
    {"TOTAL_HITRATIO", {{"DIRECT", true, 2}, {"SEQUENTIAL", true, 2}, {"AVERAGE", true, 2}}},
    {"TOTAL_OPERATIONS", {{"REQUESTS", false, 0}, {"FAILS", false, 0}, {"CALLS", false, 0}, {"ROWS", false, 0}}},
    {"TOTAL_ROWS", kTabPhysAcc},
};

const char* const kTables[] = {"ALLOC_PROCEDURE_DIA",
                               "ALLOC_PROCEDURE_NONDIA",
                               "BUFFER_NAMES",
                               "BUFFER_STATISTIC",
                               "CURSOR_CACHE_INFO",
                               "EXTENDED_MEMORY_ACTIVE_CONTEXT",
                               "INTERNAL_EXTERNAL_MODES_MEMORY",
                               "MODE_MEMORY_HISTORY",
                               "TABLE_QUALITIES",
                               "TABLE_STATISTIC"};

class NwRfcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library().RfcGetVersion, nullptr) << "the library did not load";
    char pattern[] = "/tmp/nwrfcemu-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    previous_ = fs::current_path();
    fs::current_path(dir_);
    unsetenv("POOLMETRICS_LANDSCAPE");
    Write("landscape.ini", std::string(kLandscape) + kQas);
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

  // RfcOpenConnection with ASCII parameters.
  RFC_CONNECTION_HANDLE Open(const std::vector<std::pair<std::string, std::string>>& parameters,
                             RFC_ERROR_INFO* error = nullptr) {
    std::vector<std::u16string> texts;
    for (const auto& [name, value] : parameters) {
      texts.push_back(U(name));
      texts.push_back(U(value));
    }
    std::vector<RFC_CONNECTION_PARAMETER> list;
    for (std::size_t i = 0; i < texts.size(); i += 2) list.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    RFC_ERROR_INFO scratch;
    return rfc.RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), error ? error : &scratch);
  }
  // Logon data as the program sends it: user and password padded.
  RFC_CONNECTION_HANDLE OpenPrd(RFC_ERROR_INFO* error = nullptr) {
    return Open({{"USER", "MONITOR     "},
                 {"PASSWD", "Secret    "},
                 {"CLIENT", "100"},
                 {"LANG", "E"},
                 {"ASHOST", "sapprd01"},
                 {"SYSNR", "00"}},
                error);
  }

  // Description, function and DESTINATION as the program prepares a call.
  RFC_FUNCTION_HANDLE Prepare(RFC_CONNECTION_HANDLE connection) {
    RFC_ERROR_INFO error;
    RFC_FUNCTION_DESC_HANDLE desc = rfc.RfcGetFunctionDesc(connection, u"SAPTUNE_GET_SUMMARY_STATISTIC", &error);
    EXPECT_NE(desc, nullptr) << Ascii(error.message);
    RFC_FUNCTION_HANDLE function = rfc.RfcCreateFunction(desc, &error);
    EXPECT_NE(function, nullptr) << Ascii(error.message);
    const std::u16string blanks(32, u' ');
    EXPECT_EQ(rfc.RfcSetChars(function, u"DESTINATION", blanks.data(), 32, &error), RFC_OK);
    return function;
  }

  // RfcGetString into an ample buffer.
  std::string String(DATA_CONTAINER_HANDLE container, const std::string& name, RFC_RC* rc = nullptr) {
    SAP_UC buffer[64];
    unsigned length = 0;
    RFC_ERROR_INFO error;
    const RFC_RC got = rfc.RfcGetString(container, U(name).c_str(), buffer, 64, &length, &error);
    if (rc != nullptr) *rc = got;
    if (got != RFC_OK) return "rc=" + std::to_string(got) + " " + Ascii(error.message);
    EXPECT_EQ(length, std::char_traits<char16_t>::length(buffer)) << name;
    return Ascii(buffer);
  }
  DATA_CONTAINER_HANDLE Structure(RFC_FUNCTION_HANDLE function, const std::string& name) {
    RFC_STRUCTURE_HANDLE structure = nullptr;
    RFC_ERROR_INFO error;
    EXPECT_EQ(rfc.RfcGetStructure(function, U(name).c_str(), &structure, &error), RFC_OK) << Ascii(error.message);
    return structure;
  }
  static void ExpectError(const RFC_ERROR_INFO& error, RFC_RC code, RFC_ERROR_GROUP group, const std::string& key,
                          const std::string& message, const std::string& label) {
    EXPECT_EQ(error.code, code) << label;
    EXPECT_EQ(error.group, group) << label;
    EXPECT_EQ(Ascii(error.key), key) << label;
    EXPECT_EQ(Ascii(error.message), message) << label;
  }

  const NwRfc& rfc = Library();
  fs::path dir_;
  fs::path previous_;
};

TEST_F(NwRfcTest, ExportsTheSeventeenOperationsAndAVersion) {
  const void* operations[] = {
      reinterpret_cast<const void*>(rfc.RfcOpenConnection),  reinterpret_cast<const void*>(rfc.RfcCloseConnection),
      reinterpret_cast<const void*>(rfc.RfcGetFunctionDesc), reinterpret_cast<const void*>(rfc.RfcCreateFunction),
      reinterpret_cast<const void*>(rfc.RfcDestroyFunction), reinterpret_cast<const void*>(rfc.RfcSetChars),
      reinterpret_cast<const void*>(rfc.RfcInvoke),          reinterpret_cast<const void*>(rfc.RfcGetStructure),
      reinterpret_cast<const void*>(rfc.RfcGetTable),        reinterpret_cast<const void*>(rfc.RfcGetRowCount),
      reinterpret_cast<const void*>(rfc.RfcGetInt),          reinterpret_cast<const void*>(rfc.RfcGetChars),
      reinterpret_cast<const void*>(rfc.RfcGetDate),         reinterpret_cast<const void*>(rfc.RfcGetTime),
      reinterpret_cast<const void*>(rfc.RfcGetString),       reinterpret_cast<const void*>(rfc.RfcGetVersion),
      reinterpret_cast<const void*>(rfc.RfcSetIniPath)};
  for (const void* operation : operations) EXPECT_NE(operation, nullptr);
  unsigned major = 0, minor = 1, patch = 1;
  EXPECT_EQ(Ascii(rfc.RfcGetVersion(&major, &minor, &patch)), "7500.0.0 (emulated SAP landscape)");
  EXPECT_EQ(major, 7500u);
  EXPECT_EQ(minor + patch, 0u);
  EXPECT_NE(rfc.RfcGetVersion(nullptr, nullptr, nullptr), nullptr);
}

TEST_F(NwRfcTest, LogsOnDirectlyAndThroughSapnwrfcIni) {
  Write("sapnwrfc.ini",
        "# destinations of the monitoring host\r\n"
        "DEFAULT\r\n"
        "RFC_TRACE=0\r\n"
        "\r\n"
        "DEST=QAS\r\n"
        "/* the quality system */\r\n"
        "ashost = sapqas01\r\n"
        "// its system number\r\n"
        "SYSNR=01\r\n"
        "\r\n"
        "dest=prd\n"
        "ASHOST=sapprd01\n"
        "SYSNR=00\n"
        "CLIENT=100\n"
        "DEST=OTHER\n"
        "ASHOST=sapother\n"
        "SYSNR=05\n");
  const struct {
    const char* label;
    std::vector<std::pair<std::string, std::string>> parameters;
    const char* system;
  } kCases[] = {
      {"host and system number, trailing blanks and user case ignored",
       {{"user", "monitor  "},
        {"PASSWD", "Secret  "},
        {"Client", "100 "},
        {"LANG", "EN"},
        {"ASHOST", "SAPPRD01"},
        {"SYSNR", "00"}},
       "PRD"},
      {"destination entry between comments",
       {{"USER", "MONITOR"}, {"PASSWD", "Other"}, {"CLIENT", "200"}, {"LANG", "E"}, {"DEST", "qas"}},
       "QAS"},
      {"destination entry with logon data of its own, ended by the next DEST",
       {{"USER", "MONITOR"}, {"PASSWD", "Secret"}, {"DEST", "PRD"}},
       "PRD"},
      {"the caller's address wins over the entry's",
       {{"USER", "MONITOR"},
        {"PASSWD", "Other"},
        {"CLIENT", "200"},
        {"DEST", "PRD"},
        {"ASHOST", "sapqas01"},
        {"SYSNR", "01"}},
       "QAS"},
  };
  std::vector<RFC_CONNECTION_HANDLE> handles;
  for (const auto& c : kCases) {
    RFC_ERROR_INFO error;
    std::memset(&error, 0x55, sizeof error);
    RFC_CONNECTION_HANDLE handle = Open(c.parameters, &error);
    ASSERT_NE(handle, nullptr) << c.label << ": " << Ascii(error.message);
    EXPECT_EQ(error.code, RFC_OK) << c.label;
    EXPECT_EQ(error.key[0], 0) << c.label << ": the record is cleared on success";
    for (RFC_CONNECTION_HANDLE other : handles) EXPECT_NE(handle, other) << c.label;
    handles.push_back(handle);
    const std::string result = Lines("journal.log").back();
    EXPECT_EQ(result.rfind("RfcOpenConnection result handle=", 0), 0u) << result;
    EXPECT_NE(result.find(std::string(" system=") + c.system), std::string::npos) << c.label << ": " << result;
  }
  EXPECT_TRUE(HasLine(
      "journal.log", "RfcOpenConnection sapnwrfc file=\"sapnwrfc.ini\" ASHOST=\"sapqas01\" DEST=\"QAS\" SYSNR=\"01\""));
  for (RFC_CONNECTION_HANDLE handle : handles) {
    RFC_ERROR_INFO error;
    EXPECT_EQ(rfc.RfcCloseConnection(handle, &error), RFC_OK);
  }
  EXPECT_FALSE(fs::exists("dev_rfc.log"));
  EXPECT_FALSE(fs::exists("Dev_Rfc.Trc"));
}

// DEST= reads sapnwrfc.ini in the directory that RfcSetIniPath names, with
// or without its separator, until a null directory names the working
// directory again.
TEST_F(NwRfcTest, SetIniPathMovesTheDestinationLookUp) {
  fs::create_directory("beside");
  Write("beside/sapnwrfc.ini", "DEST=PRD\nASHOST=sapqas01\nSYSNR=01\n");
  Write("sapnwrfc.ini", "DEST=PRD\nASHOST=sapprd01\nSYSNR=00\n");
  const std::string folder = (dir_ / "beside").string();
  const std::string kBeside = " ASHOST=\"sapqas01\" DEST=\"PRD\" SYSNR=\"01\"";
  const std::string kWorking = " ASHOST=\"sapprd01\" DEST=\"PRD\" SYSNR=\"00\"";
  const struct {
    const char* label;
    const char* directory;  // null: NULL
    std::string quoted;     // the directory as journalled
    std::string file;       // the file read
    std::string entry;
  } kCases[] = {
      {"with the separator", "/beside/", "\"" + folder + "/\"", folder + "/sapnwrfc.ini", kBeside},
      {"without it", "/beside", "\"" + folder + "\"", folder + "/sapnwrfc.ini", kBeside},
      {"a relative directory", "beside", "\"beside\"", "beside/sapnwrfc.ini", kBeside},
      {"null: the working directory", nullptr, "NULL", "sapnwrfc.ini", kWorking},
  };
  for (const auto& c : kCases) {
    RFC_ERROR_INFO error;
    std::memset(&error, 0x55, sizeof error);
    std::string directory = c.directory == nullptr ? "" : c.directory;
    if (directory[0] == '/') directory = dir_.string() + directory;
    const std::u16string text = U(directory);
    EXPECT_EQ(rfc.RfcSetIniPath(c.directory == nullptr ? nullptr : text.c_str(), &error), RFC_OK) << c.label;
    EXPECT_EQ(error.key[0], 0) << c.label;
    EXPECT_EQ(Lines("journal.log").back(), "RfcSetIniPath directory=" + c.quoted + " file=\"" + c.file + "\" rc=0")
        << c.label;
    // The entry gives the address; the logon data are each system's own.
    const bool beside = c.entry == kBeside;
    RFC_CONNECTION_HANDLE handle = Open({{"USER", "MONITOR"},
                                         {"PASSWD", beside ? "Other" : "Secret"},
                                         {"CLIENT", beside ? "200" : "100"},
                                         {"DEST", "PRD"}},
                                        &error);
    ASSERT_NE(handle, nullptr) << c.label << ": " << Ascii(error.message);
    EXPECT_TRUE(HasLine("journal.log", "RfcOpenConnection sapnwrfc file=\"" + c.file + "\"" + c.entry)) << c.label;
    EXPECT_EQ(rfc.RfcCloseConnection(handle, &error), RFC_OK);
  }
}

TEST_F(NwRfcTest, RefusesLogonsLikeARealSystem) {
  Write("sapnwrfc.ini", "DEST=CUT\nSYSNR=00\n\nASHOST=sapprd01\n");
  const std::vector<std::pair<std::string, std::string>> kPrd = {
      {"USER", "MONITOR"}, {"PASSWD", "Secret"}, {"CLIENT", "100"}, {"ASHOST", "sapprd01"}, {"SYSNR", "00"}};
  auto with = [&](const std::string& name, const std::string& value) {
    auto parameters = kPrd;
    for (auto& p : parameters) {
      if (p.first == name) p.second = value;
    }
    if (name == "DEST" || name == "GWHOST") {
      parameters.erase(parameters.begin() + 3, parameters.end());
      parameters.push_back({name, value});
    }
    return parameters;
  };
  const struct {
    const char* label;
    std::vector<std::pair<std::string, std::string>> parameters;
    RFC_RC code;
    RFC_ERROR_GROUP group;
    const char* key;
    const char* message;
  } kCases[] = {
      {"password of other case", with("PASSWD", "secret"), RFC_LOGON_FAILURE, LOGON_FAILURE, "RFC_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"unknown user", with("USER", "NOBODY"), RFC_LOGON_FAILURE, LOGON_FAILURE, "RFC_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"other client", with("CLIENT", "999"), RFC_LOGON_FAILURE, LOGON_FAILURE, "RFC_LOGON_FAILURE",
       "Client 999 is not available in this system"},
      {"unknown host", with("ASHOST", "nohost"), RFC_COMMUNICATION_FAILURE, COMMUNICATION_FAILURE,
       "RFC_COMMUNICATION_FAILURE", "partner 'nohost:sapgw00' not reached"},
      {"other system number", with("SYSNR", "03"), RFC_COMMUNICATION_FAILURE, COMMUNICATION_FAILURE,
       "RFC_COMMUNICATION_FAILURE", "partner 'sapprd01:sapgw03' not reached"},
      {"bad system number", with("SYSNR", "0x"), RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE,
       "RFC_INVALID_PARAMETER", "SYSNR=0x is not a system number 00 to 99"},
      {"destination missing from sapnwrfc.ini", with("DEST", "DEV"), RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE,
       "RFC_INVALID_PARAMETER", "destination DEV is not in sapnwrfc.ini"},
      {"an entry ends at a blank line", with("DEST", "CUT"), RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE,
       "RFC_INVALID_PARAMETER", "parameter ASHOST is missing"},
      {"a gateway is no application server", with("GWHOST", "sapprd01"), RFC_INVALID_PARAMETER,
       EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_PARAMETER", "GWHOST is for registered servers; give ASHOST and SYSNR"},
  };
  for (const auto& c : kCases) {
    RFC_ERROR_INFO error;
    EXPECT_EQ(Open(c.parameters, &error), nullptr) << c.label;
    ExpectError(error, c.code, c.group, c.key, c.message, c.label);
    // dev_rfc.log ends with an error block whose message line the program
    // turns into its hint.
    const std::vector<std::string> trace = Lines("dev_rfc.log");
    ASSERT_GE(trace.size(), 2u) << c.label;
    EXPECT_EQ(trace[trace.size() - 2], "**** ERROR file opened by the emulated SAP landscape, RfcOpenConnection");
    EXPECT_EQ(trace.back(), std::string("ERROR       ") + c.message) << c.label;
  }
  EXPECT_FALSE(fs::exists("Dev_Rfc.Trc"));

  fs::remove("sapnwrfc.ini");
  RFC_ERROR_INFO error;
  EXPECT_EQ(Open(with("DEST", "PRD"), &error), nullptr);
  EXPECT_EQ(Ascii(error.message), "cannot read sapnwrfc.ini for destination PRD");
}

TEST_F(NwRfcTest, LandscapeFaultsAtLogon) {
  const struct {
    const char* label;
    std::string landscape;
    RFC_RC code;
    const char* message;
  } kCases[] = {
      {"refuse_logon", std::string(kLandscape) + "refuse_logon = yes\n", RFC_LOGON_FAILURE,
       "Name or password is incorrect (repeat logon)"},
      {"refuse_logon with its own message", std::string(kLandscape) + "refuse_logon = yes\nerror_message = Locked\n",
       RFC_LOGON_FAILURE, "Locked"},
      {"the classic error handler at logon", std::string(kLandscape) + "error_handler = open\n",
       RFC_COMMUNICATION_FAILURE, "connection closed by the emulated system PRD"},
      {"malformed landscape", std::string(kLandscape) + "sysnr = 01\n", RFC_EXTERNAL_FAILURE,
       "landscape file landscape.ini, line 11: 'sysnr' is given twice"},
  };
  for (const auto& c : kCases) {
    Write("landscape.ini", c.landscape);
    RFC_ERROR_INFO error;
    EXPECT_EQ(OpenPrd(&error), nullptr) << c.label;
    EXPECT_EQ(error.code, c.code) << c.label;
    EXPECT_EQ(Ascii(error.message), c.message) << c.label;
  }

  // A logon delay holds the logon, whatever its outcome.
  Write("landscape.ini", std::string(kLandscape) + "logon_delay_ms = 300\n");
  const auto start = std::chrono::steady_clock::now();
  RFC_CONNECTION_HANDLE handle = OpenPrd();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  ASSERT_NE(handle, nullptr);
  rfc.RfcCloseConnection(handle, nullptr);
}

TEST_F(NwRfcTest, ReadsEveryFieldOfTheInterfaceAsTyped) {
  // Every structure field gets a value of its own: INT fields 1000 + n,
  // packed ones n * 1111 (negative for every third), read back by name.
  std::string values;
  int n = 0;
  for (const auto& [parameter, fields] : kStructures) {
    for (const Field& field : fields) {
      ++n;
      const long long value = field.packed ? (n % 3 == 0 ? -1 : 1) * n * 1111LL : 1000 + n;
      values += std::string("value ") + parameter + "." + field.name + " = " + std::to_string(value) + "\n";
    }
  }
  values +=
      "value ANALYSIS_DATE = 20240229\nvalue ANALYSIS_TIME = 071500\nvalue STARTUP_DATE = 20231231\n"
      "value STARTUP_TIME = 235959\nvalue BUFSTAT_AVAILABLE = X\nvalue CCSTAT_AVAILABLE = \" \"\n"
      "value NUMBER_OF_TABLES = -815\nvalue RFC_ERROR = \"  boom\"\nvalue RFC_ERROR_TYPE = E\n";
  for (int i = 0; i < 10; ++i) values += std::string("rows ") + kTables[i] + " = " + std::to_string(i * 3) + "\n";
  Write("landscape.ini", std::string(kLandscape) + values);

  RFC_CONNECTION_HANDLE connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  RFC_FUNCTION_HANDLE function = Prepare(connection);
  RFC_ERROR_INFO error;
  ASSERT_EQ(rfc.RfcInvoke(connection, function, &error), RFC_OK) << Ascii(error.message);

  n = 0;
  for (const auto& [parameter, fields] : kStructures) {
    DATA_CONTAINER_HANDLE structure = Structure(function, parameter);
    for (const Field& field : fields) {
      ++n;
      const std::string label = std::string(parameter) + "." + field.name;
      if (field.packed) {
        const long long digits = (n % 3 == 0 ? -1 : 1) * n * 1111LL;
        std::string expected = std::to_string(digits < 0 ? -digits : digits);
        if (field.decimals > 0) {
          expected.insert(0, field.decimals + 1 > expected.size() ? field.decimals + 1 - expected.size() : 0, '0');
          expected.insert(expected.size() - field.decimals, ".");
        }
        EXPECT_EQ(String(structure, field.name), (digits < 0 ? "-" : "") + expected) << label;
        RFC_INT wrong = 7;
        EXPECT_EQ(rfc.RfcGetInt(structure, U(field.name).c_str(), &wrong, &error), RFC_CONVERSION_FAILURE) << label;
      } else {
        RFC_INT value = 0;
        EXPECT_EQ(rfc.RfcGetInt(structure, U(field.name).c_str(), &value, &error), RFC_OK) << label;
        EXPECT_EQ(value, 1000 + n) << label;
        EXPECT_EQ(String(structure, field.name), std::to_string(1000 + n)) << label;
      }
    }
  }
  EXPECT_EQ(n, 75);
  // The same structure twice: the same handle.
  EXPECT_EQ(Structure(function, "TOTAL_ROWS"), Structure(function, "TOTAL_ROWS"));

  RFC_DATE date;
  RFC_TIME time;
  ASSERT_EQ(rfc.RfcGetDate(function, u"STARTUP_DATE", date, &error), RFC_OK);
  EXPECT_EQ(Ascii(date, 8), "20231231");
  ASSERT_EQ(rfc.RfcGetTime(function, u"STARTUP_TIME", time, &error), RFC_OK);
  EXPECT_EQ(Ascii(time, 6), "235959");
  ASSERT_EQ(rfc.RfcGetDate(function, u"ANALYSIS_DATE", date, &error), RFC_OK);
  EXPECT_EQ(Ascii(date, 8), "20240229");
  EXPECT_EQ(rfc.RfcGetDate(function, u"ANALYSIS_TIME", date, &error), RFC_CONVERSION_FAILURE);
  EXPECT_EQ(String(function, "ANALYSIS_TIME"), "071500");
  RFC_INT tables = 0;
  ASSERT_EQ(rfc.RfcGetInt(function, u"NUMBER_OF_TABLES", &tables, &error), RFC_OK);
  EXPECT_EQ(tables, -815);

  SAP_UC flag[1] = {u'?'};
  SAP_UC error_text[256];
  const struct {
    const char* name;
    std::string chars;  // RfcGetChars into a buffer of the field's length
    std::string string;
  } kChars[] = {
      {"BUFSTAT_AVAILABLE", "X", "X"},
      {"CCSTAT_AVAILABLE", " ", ""},
      {"RFC_ERROR_TYPE", "E", "E"},
      {"TABSTAT_AVAILABLE", "X", "X"},  // a flag the landscape leaves out
      {"RFC_ERROR", "  boom" + std::string(250, ' '), "  boom"},
  };
  for (const auto& c : kChars) {
    SAP_UC* buffer = c.chars.size() == 1 ? flag : error_text;
    ASSERT_EQ(rfc.RfcGetChars(function, U(c.name).c_str(), buffer, static_cast<unsigned>(c.chars.size()), &error),
              RFC_OK)
        << c.name;
    EXPECT_EQ(Ascii(buffer, c.chars.size()), c.chars) << c.name;
    EXPECT_EQ(String(function, c.name), c.string) << c.name;
  }

  for (int i = 0; i < 10; ++i) {
    RFC_TABLE_HANDLE table = nullptr;
    ASSERT_EQ(rfc.RfcGetTable(function, U(kTables[i]).c_str(), &table, &error), RFC_OK) << kTables[i];
    unsigned rows = 99;
    EXPECT_EQ(rfc.RfcGetRowCount(table, &rows, &error), RFC_OK) << kTables[i];
    EXPECT_EQ(rows, static_cast<unsigned>(i * 3)) << kTables[i];
  }

  // Names that are not of the kind asked for.
  DATA_CONTAINER_HANDLE out = nullptr;
  const struct {
    RFC_RC got;
    RFC_RC code;
    const char* message;
  } kMisreads[] = {
      {rfc.RfcGetStructure(function, u"NUMBER_OF_TABLES", &out, &error), RFC_CONVERSION_FAILURE,
       "NUMBER_OF_TABLES is not a structure"},
      {rfc.RfcGetStructure(function, u"TOTAL_ROW", &out, &error), RFC_INVALID_PARAMETER, "field 'TOTAL_ROW' not found"},
      {rfc.RfcGetTable(function, u"TOTAL_ROWS", &out, &error), RFC_CONVERSION_FAILURE, "TOTAL_ROWS is not a table"},
      {rfc.RfcGetInt(function, u"TOTAL_ROWS", &tables, &error), RFC_CONVERSION_FAILURE,
       "TOTAL_ROWS is a structure: read it with RfcGetStructure"},
      {rfc.RfcGetInt(Structure(function, "PXA_INFO"), u"GAP", &tables, &error), RFC_INVALID_PARAMETER,
       "field 'GAP' not found"},
      {rfc.RfcGetChars(function, u"NUMBER_OF_TABLES", flag, 1, &error), RFC_CONVERSION_FAILURE,
       "field NUMBER_OF_TABLES of type INT cannot be read as CHAR"},
  };
  for (const auto& m : kMisreads) EXPECT_EQ(m.got, m.code) << m.message;

  EXPECT_EQ(rfc.RfcDestroyFunction(function, &error), RFC_OK);
  EXPECT_EQ(rfc.RfcCloseConnection(connection, &error), RFC_OK);
}

TEST_F(NwRfcTest, RendersPackedNumbersWithTheirDecimals) {
  const struct {
    const char* field;  // of SAP_CURSOR_CACHE_TOTAL or TOTAL_HITRATIO
    const char* value;
    const char* text;  // null: no valid packed number
  } kCases[] = {
      {"SAP_CURSOR_CACHE_TOTAL.ID_HITR", "995000", "99.5000"},
      {"SAP_CURSOR_CACHE_TOTAL.ID_HITR", "-1234500", "-123.4500"},
      {"SAP_CURSOR_CACHE_TOTAL.ID_HITR", "500", "0.0500"},
      {"SAP_CURSOR_CACHE_TOTAL.ID_REQ", "-42", "-42"},
      {"SAP_CURSOR_CACHE_TOTAL.ID_REQ", "0", "0"},
      {"SAP_CURSOR_CACHE_TOTAL.ID_REQ", "999999999999999", "999999999999999"},
      {"SAP_CURSOR_CACHE_TOTAL.STMT_HITR", "9950", "9950"},
      {"TOTAL_HITRATIO.DIRECT", "10000", "100.00"},
      {"TOTAL_HITRATIO.DIRECT", "5", "0.05"},
      {"TOTAL_HITRATIO.DIRECT", "raw:00000000 00000D", "0.00"},    // a negative zero is zero
      {"TOTAL_HITRATIO.DIRECT", "raw:00000000 09987F", "99.87"},   // F is a positive sign too
      {"TOTAL_HITRATIO.DIRECT", "raw:00000000 09987B", "-99.87"},  // B is a negative sign too
      {"TOTAL_HITRATIO.DIRECT", "raw:00000000 0998BB", nullptr},   // ... but no digit
      {"TOTAL_HITRATIO.DIRECT", "raw:00000000 099871", nullptr},   // no sign half-byte
  };
  for (const auto& c : kCases) {
    const std::string field = c.field;
    const std::string structure = field.substr(0, field.find('.'));
    Write("landscape.ini", std::string(kLandscape) + "value " + field + " = " + c.value + "\n");
    RFC_CONNECTION_HANDLE connection = OpenPrd();
    ASSERT_NE(connection, nullptr);
    RFC_FUNCTION_HANDLE function = Prepare(connection);
    ASSERT_EQ(rfc.RfcInvoke(connection, function, nullptr), RFC_OK);
    RFC_RC rc = RFC_OK;
    const std::string text = String(Structure(function, structure), field.substr(field.find('.') + 1), &rc);
    if (c.text == nullptr) {
      EXPECT_EQ(rc, RFC_CONVERSION_FAILURE) << c.value << ": " << text;
    } else {
      EXPECT_EQ(text, c.text) << c.value;
    }
    rfc.RfcDestroyFunction(function, nullptr);
    rfc.RfcCloseConnection(connection, nullptr);
  }
}

TEST_F(NwRfcTest, AnswersABufferTooSmallWithTheLengthNeeded) {
  Write("landscape.ini",
        std::string(kLandscape) + "value SAP_CURSOR_CACHE_TOTAL.ID_HITR = 995000\nvalue RFC_ERROR = boom\n");
  RFC_CONNECTION_HANDLE connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  RFC_FUNCTION_HANDLE function = Prepare(connection);
  ASSERT_EQ(rfc.RfcInvoke(connection, function, nullptr), RFC_OK);
  DATA_CONTAINER_HANDLE cursor = Structure(function, "SAP_CURSOR_CACHE_TOTAL");

  // "99.5000" has seven characters: a buffer of eight takes it with its
  // terminator, seven is too small and gets as much as fits.
  SAP_UC buffer[16];
  unsigned length = 0;
  RFC_ERROR_INFO error;
  EXPECT_EQ(rfc.RfcGetString(cursor, u"ID_HITR", buffer, 8, &length, &error), RFC_OK);
  EXPECT_EQ(Ascii(buffer), "99.5000");
  EXPECT_EQ(length, 7u);
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  length = 0;
  EXPECT_EQ(rfc.RfcGetString(cursor, u"ID_HITR", buffer, 7, &length, &error), RFC_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 7u);
  EXPECT_EQ(Ascii(buffer), "99.500");
  ExpectError(error, RFC_BUFFER_TOO_SMALL, EXTERNAL_RUNTIME_FAILURE, "RFC_BUFFER_TOO_SMALL",
              "field SAP_CURSOR_CACHE_TOTAL.ID_HITR needs a buffer of 8 characters, 7 given", "RfcGetString");
  length = 0;
  EXPECT_EQ(rfc.RfcGetString(cursor, u"ID_HITR", nullptr, 0, &length, &error), RFC_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 7u);

  SAP_UC chars[3];
  EXPECT_EQ(rfc.RfcGetChars(function, u"RFC_ERROR", chars, 3, &error), RFC_BUFFER_TOO_SMALL);
  EXPECT_EQ(Ascii(chars, 3), "boo");
  SAP_UC roomy[6];
  EXPECT_EQ(rfc.RfcGetChars(function, u"RFC_ERROR", roomy, 6, &error), RFC_OK);
  EXPECT_EQ(Ascii(roomy, 6), "boom  ");
  rfc.RfcDestroyFunction(function, nullptr);
  rfc.RfcCloseConnection(connection, nullptr);
}

TEST_F(NwRfcTest, FailsTheCallOnDemand) {
  const struct {
    const char* faults;
    RFC_RC code;
    RFC_ERROR_GROUP group;
    const char* key;
    const char* message;
    bool closes;  // the library closes the connection after it
  } kCases[] = {
      {"receive_rc = 1\n", RFC_COMMUNICATION_FAILURE, COMMUNICATION_FAILURE, "RFC_COMMUNICATION_FAILURE",
       "connection to partner broken", true},
      {"receive_rc = 2\nexception = NO_DATA_AVAILABLE\n", RFC_ABAP_EXCEPTION, ABAP_APPLICATION_FAILURE,
       "NO_DATA_AVAILABLE", "NO_DATA_AVAILABLE", false},
      {"receive_rc = 2\n", RFC_ABAP_EXCEPTION, ABAP_APPLICATION_FAILURE, "NOT_FOUND", "NOT_FOUND", false},
      {"receive_rc = 3\n", RFC_ABAP_RUNTIME_FAILURE, ABAP_RUNTIME_FAILURE, "SYSTEM_FAILURE", "SYSTEM_FAILURE", true},
      {"call_rc = 6\n", RFC_UNKNOWN_ERROR, EXTERNAL_RUNTIME_FAILURE, "RFC_UNKNOWN_ERROR",
       "internal error, return code 6", false},
      {"error_handler = call\n", RFC_COMMUNICATION_FAILURE, COMMUNICATION_FAILURE, "RFC_COMMUNICATION_FAILURE",
       "connection closed by the emulated system PRD", true},
      {"invoke_rc = 3\nexception = TIME_OUT\nerror_message = Time limit exceeded.\n", RFC_ABAP_RUNTIME_FAILURE,
       ABAP_RUNTIME_FAILURE, "TIME_OUT", "Time limit exceeded.", true},
      {"invoke_rc = 4\n", RFC_ABAP_MESSAGE, ABAP_APPLICATION_FAILURE, "RFC_ABAP_MESSAGE",
       "Message 001 of class 00 (type E) raised by the emulated system PRD", true},
      {"invoke_rc = 5\nreceive_rc = 1\n", RFC_ABAP_EXCEPTION, ABAP_APPLICATION_FAILURE, "NOT_FOUND", "NOT_FOUND",
       false},
      {"invoke_rc = 7\n", RFC_CANCELED, EXTERNAL_RUNTIME_FAILURE, "RFC_CANCELED", "internal error, return code 7",
       false},
  };
  for (const auto& c : kCases) {
    Write("landscape.ini", std::string(kLandscape) + c.faults + "trace_at_call = T:4711 ======> hint\n");
    fs::remove("dev_rfc.log");
    RFC_CONNECTION_HANDLE connection = OpenPrd();
    ASSERT_NE(connection, nullptr) << c.faults;
    RFC_FUNCTION_HANDLE function = Prepare(connection);
    RFC_ERROR_INFO error;
    EXPECT_EQ(rfc.RfcInvoke(connection, function, &error), c.code) << c.faults;
    ExpectError(error, c.code, c.group, c.key, c.message, c.faults);
    EXPECT_EQ(Ascii(error.abapMsgClass), c.code == RFC_ABAP_MESSAGE ? "00" : "") << c.faults;
    // Nothing was filled: the fields keep their initial values.
    RFC_INT value = 5;
    EXPECT_EQ(rfc.RfcGetInt(function, u"NUMBER_OF_TABLES", &value, &error), RFC_OK);
    EXPECT_EQ(value, 0) << c.faults;
    // The call's trace lines, and an error block unless the function module
    // itself raised an exception.
    std::vector<std::string> expected = {"T:4711 ======> hint"};
    if (c.code != RFC_ABAP_EXCEPTION) {
      expected.push_back("**** ERROR file opened by the emulated SAP landscape, RfcInvoke");
      expected.push_back(std::string("ERROR       ") + c.message);
    }
    EXPECT_EQ(Lines("dev_rfc.log"), expected) << c.faults;

    EXPECT_EQ(rfc.RfcInvoke(connection, function, &error), c.closes ? RFC_INVALID_HANDLE : c.code) << c.faults;
    EXPECT_EQ(rfc.RfcDestroyFunction(function, &error), RFC_OK) << c.faults;
    EXPECT_EQ(rfc.RfcCloseConnection(connection, &error), RFC_OK) << c.faults;
  }

  // A system without the function module: no description.
  Write("landscape.ini", std::string(kLandscape) + "function_not_found = yes\n");
  RFC_CONNECTION_HANDLE connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  RFC_ERROR_INFO error;
  EXPECT_EQ(rfc.RfcGetFunctionDesc(connection, u"SAPTUNE_GET_SUMMARY_STATISTIC", &error), nullptr);
  ExpectError(error, RFC_NOT_FOUND, ABAP_RUNTIME_FAILURE, "FU_NOT_FOUND",
              "Function module \"SAPTUNE_GET_SUMMARY_STATISTIC\" not found", "function_not_found");
  EXPECT_EQ(rfc.RfcGetFunctionDesc(connection, u"RFC_PING", &error), nullptr);
  EXPECT_EQ(error.code, RFC_NOT_FOUND);
  rfc.RfcCloseConnection(connection, nullptr);

  // A delayed call answers after its delay.
  Write("landscape.ini", std::string(kLandscape) + "delay_ms = 300\n");
  connection = OpenPrd();
  RFC_FUNCTION_HANDLE function = Prepare(connection);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(rfc.RfcInvoke(connection, function, &error), RFC_OK);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  rfc.RfcDestroyFunction(function, nullptr);
  rfc.RfcCloseConnection(connection, nullptr);
}

TEST_F(NwRfcTest, NullAndStaleHandlesAreRefusedNeverFollowed) {
  // No record of the same kind is made after one is freed, so that no
  // stale handle can name a new one by chance.
  RFC_CONNECTION_HANDLE connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  RFC_FUNCTION_HANDLE function = Prepare(connection);
  RFC_FUNCTION_HANDLE stale = Prepare(connection);
  ASSERT_EQ(rfc.RfcDestroyFunction(stale, nullptr), RFC_OK);
  DATA_CONTAINER_HANDLE structure = Structure(function, "PXA_INFO");
  RFC_CONNECTION_HANDLE closed = OpenPrd();
  ASSERT_EQ(rfc.RfcCloseConnection(closed, nullptr), RFC_OK);

  RFC_INT number = 0;
  unsigned rows = 0, length = 0;
  SAP_UC text[8];
  RFC_DATE date;
  RFC_TIME time;
  DATA_CONTAINER_HANDLE out = nullptr;
  RFC_ERROR_INFO error;
  // Operations that return a handle answer with the record's code, or
  // without a record with RFC_INVALID_HANDLE for the null they return.
  auto code = [](const void* handle, RFC_ERROR_INFO* e) {
    return handle != nullptr ? RFC_OK : e != nullptr ? e->code : RFC_INVALID_HANDLE;
  };
  const std::function<RFC_RC(RFC_ERROR_INFO*)> kCalls[] = {
      [&](RFC_ERROR_INFO* e) { return code(rfc.RfcOpenConnection(nullptr, 2, e), e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcCloseConnection(nullptr, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcCloseConnection(closed, e); },
      [&](RFC_ERROR_INFO* e) { return code(rfc.RfcGetFunctionDesc(nullptr, u"SAPTUNE_GET_SUMMARY_STATISTIC", e), e); },
      [&](RFC_ERROR_INFO* e) { return code(rfc.RfcGetFunctionDesc(closed, u"SAPTUNE_GET_SUMMARY_STATISTIC", e), e); },
      [&](RFC_ERROR_INFO* e) { return code(rfc.RfcCreateFunction(nullptr, e), e); },
      [&](RFC_ERROR_INFO* e) {
        return code(rfc.RfcCreateFunction(reinterpret_cast<RFC_FUNCTION_DESC_HANDLE>(function), e), e);
      },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcDestroyFunction(nullptr, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcDestroyFunction(stale, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcDestroyFunction(structure, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcSetChars(nullptr, u"DESTINATION", u" ", 1, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcSetChars(stale, u"DESTINATION", u" ", 1, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcInvoke(nullptr, function, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcInvoke(connection, nullptr, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcInvoke(closed, function, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcInvoke(connection, stale, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcInvoke(connection, structure, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetStructure(nullptr, u"PXA_INFO", &out, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetStructure(stale, u"PXA_INFO", &out, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetTable(nullptr, u"BUFFER_NAMES", &out, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetRowCount(nullptr, &rows, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetRowCount(structure, &rows, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetInt(nullptr, u"GAPS", &number, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetInt(stale, u"NUMBER_OF_TABLES", &number, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetChars(nullptr, u"RFC_ERROR", text, 8, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetDate(nullptr, u"STARTUP_DATE", date, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetTime(nullptr, u"STARTUP_TIME", time, e); },
      [&](RFC_ERROR_INFO* e) { return rfc.RfcGetString(nullptr, u"GAPS", text, 8, &length, e); },
  };
  int i = 0;
  for (const auto& call : kCalls) {
    ++i;
    std::memset(&error, 0, sizeof error);
    const RFC_RC rc = call(&error);
    if (i == 1) {  // no parameter list at all: a parameter fault, not a handle
      EXPECT_EQ(rc, RFC_INVALID_PARAMETER);
      continue;
    }
    EXPECT_EQ(rc, RFC_INVALID_HANDLE) << "call " << i;
    EXPECT_EQ(error.code, RFC_INVALID_HANDLE) << "call " << i;
    EXPECT_EQ(error.group, EXTERNAL_RUNTIME_FAILURE) << "call " << i;
    EXPECT_EQ(Ascii(error.key), "RFC_INVALID_HANDLE") << "call " << i;
    EXPECT_EQ(Ascii(error.message).rfind("invalid ", 0), 0u) << "call " << i;
    // Without an error record the answer is the same.
    EXPECT_EQ(call(nullptr), RFC_INVALID_HANDLE) << "call " << i;
  }
  // The valid handles still work after all that.
  EXPECT_EQ(rfc.RfcGetInt(structure, u"GAPS", &number, &error), RFC_OK);
  EXPECT_EQ(rfc.RfcDestroyFunction(function, &error), RFC_OK);
  EXPECT_EQ(rfc.RfcCloseConnection(connection, &error), RFC_OK);
}

TEST_F(NwRfcTest, ChecksWhatTheCallerSends) {
  RFC_CONNECTION_HANDLE connection = OpenPrd();
  ASSERT_NE(connection, nullptr);
  RFC_FUNCTION_HANDLE function = Prepare(connection);
  RFC_ERROR_INFO error;
  const std::u16string long_value(33, u' ');
  EXPECT_EQ(rfc.RfcSetChars(function, u"DESTINATION", long_value.data(), 33, &error), RFC_CONVERSION_FAILURE);
  EXPECT_EQ(Ascii(error.message), "a value of 33 characters does not fit DESTINATION (32)");
  EXPECT_EQ(rfc.RfcSetChars(function, u"RFC_ERROR", u"x", 1, &error), RFC_INVALID_PARAMETER);
  EXPECT_EQ(Ascii(error.message), "field 'RFC_ERROR' is filled by the function module, not sent");
  EXPECT_EQ(rfc.RfcSetChars(function, u"DESTINATON", u"x", 1, &error), RFC_INVALID_PARAMETER);
  // A shorter value is padded with blanks.
  EXPECT_EQ(rfc.RfcSetChars(function, u"DESTINATION", u"PRD", 3, &error), RFC_OK);
  EXPECT_EQ(String(function, "DESTINATION"), "PRD");
  // Before the call every field has its initial value.
  RFC_DATE date;
  ASSERT_EQ(rfc.RfcGetDate(function, u"STARTUP_DATE", date, &error), RFC_OK);
  EXPECT_EQ(Ascii(date, 8), "00000000");
  EXPECT_EQ(String(Structure(function, "TOTAL_HITRATIO"), "AVERAGE"), "0.00");
  RFC_TABLE_HANDLE table = nullptr;
  ASSERT_EQ(rfc.RfcGetTable(function, u"TABLE_STATISTIC", &table, &error), RFC_OK);
  unsigned rows = 7;
  EXPECT_EQ(rfc.RfcGetRowCount(table, &rows, &error), RFC_OK);
  EXPECT_EQ(rows, 0u);
  rfc.RfcDestroyFunction(function, nullptr);
  rfc.RfcCloseConnection(connection, nullptr);
}

TEST_F(NwRfcTest, JournalsEveryCallWithItsArguments) {
  // Systems of their own: descriptions are cached for the process, and
  // this test is to see the first lookups.
  Write("landscape.ini",
        "[landscape]\njournal = journal.log\n"
        "[system JRN1]\nashost = sapjrn01\nsysnr = 00\nclient = 100\nuser = MONITOR\npassword = Secret\n"
        "value PXA_INFO.GAPS = 12\nrows BUFFER_NAMES = 4\n"
        "[system JRN2]\nashost = sapjrn02\nsysnr = 01\nclient = 200\nuser = MONITOR\npassword = Other\n");
  RFC_CONNECTION_HANDLE connection = Open({{"USER", "MONITOR     "},
                                           {"PASSWD", "Secret    "},
                                           {"CLIENT", "100"},
                                           {"LANG", "E"},
                                           {"ASHOST", "sapjrn01"},
                                           {"SYSNR", "00"}});
  ASSERT_NE(connection, nullptr);
  RFC_FUNCTION_HANDLE function = Prepare(connection);
  ASSERT_EQ(rfc.RfcInvoke(connection, function, nullptr), RFC_OK);
  DATA_CONTAINER_HANDLE pxa = Structure(function, "PXA_INFO");
  RFC_INT gaps = 0;
  rfc.RfcGetInt(pxa, u"GAPS", &gaps, nullptr);
  const std::string prg_gen = String(pxa, "PRG_GEN");
  RFC_TABLE_HANDLE table = nullptr;
  rfc.RfcGetTable(function, u"BUFFER_NAMES", &table, nullptr);
  unsigned rows = 0;
  rfc.RfcGetRowCount(table, &rows, nullptr);
  rfc.RfcDestroyFunction(function, nullptr);
  // A second system, then the first again: one lookup per system.
  RFC_CONNECTION_HANDLE qas =
      Open({{"USER", "MONITOR"}, {"PASSWD", "Other"}, {"CLIENT", "200"}, {"ASHOST", "sapjrn02"}, {"SYSNR", "01"}});
  rfc.RfcGetFunctionDesc(qas, u"SAPTUNE_GET_SUMMARY_STATISTIC", nullptr);
  rfc.RfcGetFunctionDesc(connection, u"SAPTUNE_GET_SUMMARY_STATISTIC", nullptr);
  rfc.RfcCloseConnection(qas, nullptr);
  rfc.RfcCloseConnection(connection, nullptr);
  rfc.RfcCloseConnection(nullptr, nullptr);
  rfc.RfcGetVersion(nullptr, nullptr, nullptr);

  // Handles and functions count on from earlier tests in this process:
  // read this test's numbers from its own lines.
  const std::vector<std::string> lines = Lines("journal.log");
  ASSERT_GE(lines.size(), 20u);
  auto number_after = [&](const std::string& prefix, const std::string& key) {
    for (const std::string& line : lines) {
      if (line.rfind(prefix, 0) == 0) {
        const std::size_t at = line.find(key);
        return line.substr(at + key.size(), line.find(' ', at) - at - key.size());
      }
    }
    return std::string("?");
  };
  const std::string h = number_after("RfcOpenConnection result", "handle=");
  const std::string f = number_after("RfcCreateFunction", "result=");
  const std::string d = number_after("RfcGetFunctionDesc", "desc=");
  const std::string q = std::to_string(std::stoi(h) + 1);
  const std::string blanks(32, ' ');
  const std::vector<std::string> expected = {
      "RfcOpenConnection count=6",
      "RfcOpenConnection parameter name=\"USER\" value=\"MONITOR     \"",
      "RfcOpenConnection parameter name=\"PASSWD\" value=\"Secret    \"",
      "RfcOpenConnection parameter name=\"CLIENT\" value=\"100\"",
      "RfcOpenConnection parameter name=\"LANG\" value=\"E\"",
      "RfcOpenConnection parameter name=\"ASHOST\" value=\"sapjrn01\"",
      "RfcOpenConnection parameter name=\"SYSNR\" value=\"00\"",
      "RfcOpenConnection result handle=" + h + " system=JRN1",
      "RfcGetFunctionDesc handle=" + h + " name=\"SAPTUNE_GET_SUMMARY_STATISTIC\" desc=" + d + " source=system rc=0",
      "RfcCreateFunction desc=" + d + " result=" + f + " rc=0",
      "RfcSetChars container=" + f + " name=\"DESTINATION\" length=32 value=\"" + blanks + "\" rc=0",
      "RfcInvoke handle=" + h + " function=" + f + " name=\"SAPTUNE_GET_SUMMARY_STATISTIC\" DESTINATION=\"" + blanks +
          "\"",
      "RfcInvoke result system=JRN1 rc=0",
      "RfcGetStructure container=" + f + " name=\"PXA_INFO\" result=" + f + ".PXA_INFO rc=0",
      "RfcGetInt container=" + f + ".PXA_INFO name=\"GAPS\" value=12 rc=0",
      "RfcGetString container=" + f + ".PXA_INFO name=\"PRG_GEN\" buffer=64 value=\"" + prg_gen +
          "\" length=" + std::to_string(prg_gen.size()) + " rc=0",
      "RfcGetTable container=" + f + " name=\"BUFFER_NAMES\" result=" + f + ".BUFFER_NAMES rc=0",
      "RfcGetRowCount table=" + f + ".BUFFER_NAMES rows=4 rc=0",
      "RfcDestroyFunction function=" + f + " rc=0",
      "RfcOpenConnection result handle=" + q + " system=JRN2",
      "RfcGetFunctionDesc handle=" + q +
          " name=\"SAPTUNE_GET_SUMMARY_STATISTIC\" desc=" + std::to_string(std::stoi(d) + 1) + " source=system rc=0",
      "RfcGetFunctionDesc handle=" + h + " name=\"SAPTUNE_GET_SUMMARY_STATISTIC\" desc=" + d + " source=cache rc=0",
      "RfcCloseConnection handle=" + q + " system=JRN2 rc=0",
      "RfcCloseConnection handle=" + h + " system=JRN1 rc=0",
      "RfcCloseConnection handle=NULL rc=13 key=\"RFC_INVALID_HANDLE\" message=\"invalid connection handle\"",
      "RfcGetVersion",
  };
  for (const std::string& line : expected) EXPECT_TRUE(HasLine("journal.log", line)) << line;
}

}  // namespace
