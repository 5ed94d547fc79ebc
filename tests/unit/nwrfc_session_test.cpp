// The NetWeaver session against a fake library: every failure of every
// operation becomes the program's failure kind, null handles never reach the
// library again, and every connection and function handle is given back on
// every path.
#include "rfc/nwrfc/nwrfc_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rfc/nwrfc/sap_text.h"

namespace poolmetrics {
namespace {

using namespace nwrfc;

// What the fake library does, and what it counts.
struct Fake {
  std::string fail_at;            // the operation that fails
  RFC_RC rc = RFC_OK;             // with this code
  bool null_claiming_ok = false;  // or answers a null handle and RFC_OK
  RFC_ERROR_GROUP group = OK;
  std::u16string key, message;
  std::u16string packed = u"-123.45";
  int opens = 0, closes = 0, creates = 0, destroys = 0, null_uses = 0;
  std::string opened_with;
  std::vector<std::string> ini_paths;  // every RfcSetIniPath's directory
};
Fake g;

int g_connection, g_description, g_function, g_structure, g_table;
template <typename T>
T Handle(int& object) {
  return reinterpret_cast<T>(&object);
}

// Fills the error record and answers the failing code when `operation` is
// the one to fail.
bool Failing(const char* operation, RFC_ERROR_INFO* error, RFC_RC* rc) {
  *error = RFC_ERROR_INFO{};
  if (g.fail_at != operation) return false;
  error->code = g.null_claiming_ok ? RFC_OK : g.rc;
  error->group = g.group;
  std::copy(g.key.begin(), g.key.end(), error->key);
  std::copy(g.message.begin(), g.message.end(), error->message);
  *rc = error->code;
  return true;
}

void Use(const void* handle) {
  if (!handle) ++g.null_uses;
}

RFC_CONNECTION_HANDLE OpenConnection(const RFC_CONNECTION_PARAMETER* p, unsigned count, RFC_ERROR_INFO* e) {
  RFC_RC rc;
  for (unsigned i = 0; i < count; ++i)
    g.opened_with += FromSapText(p[i].name, 64) + "=" + FromSapText(p[i].value, 64) + ";";
  if (Failing("RfcOpenConnection", e, &rc)) return nullptr;
  ++g.opens;
  return Handle<RFC_CONNECTION_HANDLE>(g_connection);
}
RFC_RC CloseConnection(RFC_CONNECTION_HANDLE c, RFC_ERROR_INFO*) {
  Use(c);
  ++g.closes;
  return RFC_OK;
}
RFC_FUNCTION_DESC_HANDLE GetFunctionDesc(RFC_CONNECTION_HANDLE c, const SAP_UC*, RFC_ERROR_INFO* e) {
  RFC_RC rc;
  Use(c);
  return Failing("RfcGetFunctionDesc", e, &rc) ? nullptr : Handle<RFC_FUNCTION_DESC_HANDLE>(g_description);
}
RFC_FUNCTION_HANDLE CreateFunction(RFC_FUNCTION_DESC_HANDLE d, RFC_ERROR_INFO* e) {
  RFC_RC rc;
  Use(d);
  if (Failing("RfcCreateFunction", e, &rc)) return nullptr;
  ++g.creates;
  return Handle<RFC_FUNCTION_HANDLE>(g_function);
}
RFC_RC DestroyFunction(RFC_FUNCTION_HANDLE f, RFC_ERROR_INFO*) {
  Use(f);
  ++g.destroys;
  return RFC_OK;
}
RFC_RC SetChars(DATA_CONTAINER_HANDLE c, const SAP_UC*, const RFC_CHAR*, unsigned, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  Failing("RfcSetChars", e, &rc);
  return rc;
}
RFC_RC Invoke(RFC_CONNECTION_HANDLE c, RFC_FUNCTION_HANDLE f, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  Use(f);
  Failing("RfcInvoke", e, &rc);
  return rc;
}
RFC_RC GetStructure(DATA_CONTAINER_HANDLE c, const SAP_UC*, RFC_STRUCTURE_HANDLE* s, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  bool failing = Failing("RfcGetStructure", e, &rc);
  *s = failing ? nullptr : Handle<RFC_STRUCTURE_HANDLE>(g_structure);
  return rc;
}
RFC_RC GetTable(DATA_CONTAINER_HANDLE c, const SAP_UC*, RFC_TABLE_HANDLE* t, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  bool failing = Failing("RfcGetTable", e, &rc);
  *t = failing ? nullptr : Handle<RFC_TABLE_HANDLE>(g_table);
  return rc;
}
RFC_RC GetRowCount(RFC_TABLE_HANDLE t, unsigned* rows, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(t);
  if (!Failing("RfcGetRowCount", e, &rc)) *rows = 7;
  return rc;
}
RFC_RC GetInt(DATA_CONTAINER_HANDLE c, const SAP_UC*, RFC_INT* value, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  if (!Failing("RfcGetInt", e, &rc)) *value = -42;
  return rc;
}
RFC_RC GetChars(DATA_CONTAINER_HANDLE c, const SAP_UC*, RFC_CHAR* buffer, unsigned length, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  if (!Failing("RfcGetChars", e, &rc)) std::fill(buffer, buffer + length, SAP_UC{'X'});
  return rc;
}
RFC_RC GetDate(DATA_CONTAINER_HANDLE c, const SAP_UC*, RFC_DATE date, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  std::u16string text = u"20230102";
  if (!Failing("RfcGetDate", e, &rc)) std::copy(text.begin(), text.end(), date);
  return rc;
}
RFC_RC GetTime(DATA_CONTAINER_HANDLE c, const SAP_UC*, RFC_TIME time, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  std::u16string text = u"101530";
  if (!Failing("RfcGetTime", e, &rc)) std::copy(text.begin(), text.end(), time);
  return rc;
}
RFC_RC GetString(DATA_CONTAINER_HANDLE c, const SAP_UC*, SAP_UC* buffer, unsigned size, unsigned* length,
                 RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  Use(c);
  if (Failing("RfcGetString", e, &rc)) return rc;
  *length = static_cast<unsigned>(g.packed.size());
  if (g.packed.size() >= size) return RFC_BUFFER_TOO_SMALL;
  std::copy(g.packed.begin(), g.packed.end(), buffer);
  buffer[g.packed.size()] = 0;
  return RFC_OK;
}
const SAP_UC* GetVersion(unsigned* major, unsigned* minor, unsigned* patch) {
  *major = 7500, *minor = 0, *patch = 11;
  return nullptr;
}

RFC_RC SetIniPath(const SAP_UC* directory, RFC_ERROR_INFO* e) {
  RFC_RC rc = RFC_OK;
  g.ini_paths.push_back(FromSapText(directory, 4096));
  Failing("RfcSetIniPath", e, &rc);
  return rc;
}

// The operations a library must have; without RfcSetIniPath.
const NwRfc kFake = {OpenConnection, CloseConnection, GetFunctionDesc, CreateFunction, DestroyFunction, SetChars,
                     Invoke,         GetStructure,    GetTable,        GetRowCount,    GetInt,          GetChars,
                     GetDate,        GetTime,         GetString,       GetVersion,     nullptr};

struct Events final : SessionEvents {
  void DestinationFileUsed(std::string_view) override { ++used; }
  void ClassicDestinationFileNotUsed(std::string_view) override { ++not_used; }
  int used = 0, not_used = 0;
};

const LogonDescription kLogon{"PRD", "100", "MONITOR", "secret1", "E", "R/3", "sapprd01", "00", "", ""};

// Opens a session, makes the call and closes it.
CallOutcome Call() {
  std::unique_ptr<RfcLibrary> library = MakeNetWeaverLibrary(kFake, "libsapnwrfc.so");
  Events events;
  OpenOutcome opened = library->Open(kLogon, events);
  auto* session = std::get_if<std::unique_ptr<Session>>(&opened);
  if (!session) return CallFailure{CallFailureKind::kOther, "not opened", {}};
  return (*session)->CallSummaryStatistic();
}

class NwRfcSession : public ::testing::Test {
 protected:
  void SetUp() override { g = Fake(); }
  void TearDown() override {
    EXPECT_EQ(g.closes, g.opens) << "every connection closed";
    EXPECT_EQ(g.destroys, g.creates) << "every function destroyed";
    EXPECT_EQ(g.null_uses, 0) << "no null handle passed to the library";
  }
};

TEST_F(NwRfcSession, ReadsTheResultByName) {
  CallOutcome outcome = Call();
  ASSERT_TRUE(std::holds_alternative<SharedStatistic>(outcome));
  const StatisticResult& r = *std::get<SharedStatistic>(outcome);
  EXPECT_EQ(g.opened_with, "ASHOST=sapprd01;SYSNR=00;CLIENT=100;USER=MONITOR;PASSWD=secret1;LANG=E;");
  EXPECT_EQ(r.startup_date, "20230102");
  EXPECT_EQ(r.startup_time, "101530");
  EXPECT_EQ(r.analysis_date, "20230102");
  EXPECT_EQ(r.bufstat_available, "X");
  EXPECT_EQ(r.rfc_error, std::string(256, 'X'));
  EXPECT_EQ(r.number_of_tables, -42);
  const FieldValue& ints = r.Field(RowParameter::kPxaInfo, FieldIndex(StructureId::kPxainfos, "PRG_GEN"));
  EXPECT_EQ(ints.integer, -42);
  const FieldValue& hitr = r.Field(RowParameter::kSapCursorCacheTotal, FieldIndex(StructureId::kCcstatsttl, "ID_HITR"));
  EXPECT_TRUE(hitr.packed.negative);
  EXPECT_EQ(hitr.packed.digits, "0012345");
  const FieldValue& rows = r.Field(RowParameter::kTotalRows, FieldIndex(StructureId::kTabphysacc, "UPDATE"));
  EXPECT_EQ(rows.packed.digits, "000000000012345");
  for (long count : r.row_counts) EXPECT_EQ(count, 7);
  EXPECT_EQ(g.creates, 1);
}

TEST_F(NwRfcSession, FailuresBecomeTheProgramsKinds) {
  using K = CallFailureKind;
  struct {
    const char* operation;
    RFC_RC rc;
    bool null_claiming_ok;
    K kind;
    std::string exception;
    std::optional<std::string> message;
  } cases[] = {
      {"RfcInvoke", RFC_ABAP_EXCEPTION, false, K::kException, "NO_DATA", std::nullopt},
      {"RfcInvoke", RFC_COMMUNICATION_FAILURE, false, K::kFailure, "", "the message"},
      {"RfcInvoke", RFC_ABAP_RUNTIME_FAILURE, false, K::kSystemException, "", "the message"},
      {"RfcInvoke", RFC_ABAP_MESSAGE, false, K::kSystemException, "", "the message"},
      {"RfcInvoke", RFC_LOGON_FAILURE, false, K::kOther, "", "the message"},
      {"RfcInvoke", RFC_TIMEOUT, false, K::kOther, "", "the message"},
      {"RfcInvoke", static_cast<RFC_RC>(31), false, K::kOther, "", "the message"},
      {"RfcGetFunctionDesc", RFC_NOT_FOUND, false, K::kOther, "", "the message"},
      {"RfcGetFunctionDesc", RFC_COMMUNICATION_FAILURE, false, K::kFailure, "", "the message"},
      {"RfcGetFunctionDesc", RFC_OK, true, K::kOther, "",
       "RfcGetFunctionDesc gave no handle for SAPTUNE_GET_SUMMARY_STATISTIC"},
      {"RfcCreateFunction", RFC_MEMORY_INSUFFICIENT, false, K::kOther, "", "the message"},
      {"RfcCreateFunction", RFC_OK, true, K::kOther, "",
       "RfcCreateFunction gave no handle for SAPTUNE_GET_SUMMARY_STATISTIC"},
      {"RfcSetChars", RFC_CONVERSION_FAILURE, false, K::kOther, "", "the message"},
      {"RfcGetStructure", RFC_INVALID_PARAMETER, false, K::kOther, "", "the message"},
      {"RfcGetStructure", RFC_OK, true, K::kOther, "", "RfcGetStructure gave no handle for DB_ACCESSES"},
      {"RfcGetTable", RFC_OK, true, K::kOther, "", "RfcGetTable gave no handle for ALLOC_PROCEDURE_DIA"},
      {"RfcGetRowCount", RFC_INVALID_HANDLE, false, K::kOther, "", "the message"},
      {"RfcGetInt", RFC_CONVERSION_FAILURE, false, K::kOther, "", "the message"},
      {"RfcGetChars", RFC_BUFFER_TOO_SMALL, false, K::kOther, "", "the message"},
      {"RfcGetDate", RFC_CONVERSION_FAILURE, false, K::kOther, "", "the message"},
      {"RfcGetTime", RFC_CONVERSION_FAILURE, false, K::kOther, "", "the message"},
      {"RfcGetString", RFC_CONVERSION_FAILURE, false, K::kOther, "", "the message"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.operation) + " " + std::to_string(c.rc));
    g = Fake();
    g.fail_at = c.operation;
    g.rc = c.rc;
    g.null_claiming_ok = c.null_claiming_ok;
    g.key = u"NO_DATA";
    g.message = u"the message";
    CallOutcome outcome = Call();
    ASSERT_TRUE(std::holds_alternative<CallFailure>(outcome));
    const CallFailure& failure = std::get<CallFailure>(outcome);
    EXPECT_EQ(failure.kind, c.kind);
    EXPECT_EQ(failure.exception, c.exception);
    EXPECT_EQ(failure.library_message, c.message);
    EXPECT_EQ(g.closes, g.opens);
    EXPECT_EQ(g.destroys, g.creates);
    EXPECT_EQ(g.null_uses, 0);
  }
}

TEST_F(NwRfcSession, EdgesOfTheLibrarysTexts) {
  // Without a message the trace-file hint follows the message number.
  g.fail_at = "RfcInvoke";
  g.rc = RFC_COMMUNICATION_FAILURE;
  EXPECT_EQ(std::get<CallFailure>(Call()).library_message, std::nullopt);

  // An exception name is cut to what the classic library hands over, never
  // inside a character.
  g = Fake();
  g.fail_at = "RfcInvoke";
  g.rc = RFC_ABAP_EXCEPTION;
  g.key = u"a" + std::u16string(100, u'\u20AC');  // 301 bytes of UTF-8
  std::string exception = std::get<CallFailure>(Call()).exception;
  EXPECT_EQ(exception.size(), 253u);
  EXPECT_EQ(exception.substr(250), "\xE2\x82\xAC");

  // A rendering that is no packed number of the field is a failure, not a
  // wrong figure.
  g = Fake();
  g.packed = u"12.3.4";
  CallFailure failure = std::get<CallFailure>(Call());
  EXPECT_EQ(failure.kind, CallFailureKind::kOther);
  EXPECT_EQ(failure.library_message, "DB_ACCESSES-UPDATE: \"12.3.4\" is no packed number of 8 bytes");
  g = Fake();
  g.packed = u"123456789";  // ID_HITR has 7 digits
  EXPECT_EQ(std::get<CallFailure>(Call()).library_message,
            "SAP_CURSOR_CACHE_TOTAL-ID_HITR: \"123456789\" is no packed number of 4 bytes");
}

// Only SAP's and the network's answers are theirs: what the library's own
// groups report (a destination it cannot find, a parameter it cannot use)
// is the program's side's, and no run may share it.
TEST_F(NwRfcSession, LocalLogonFailures) {
  std::unique_ptr<RfcLibrary> library = MakeNetWeaverLibrary(kFake, "sapnwrfc.dll");
  Events events;
  const struct {
    RFC_RC rc;
    RFC_ERROR_GROUP group;
    bool local;
  } kCases[] = {
      {RFC_LOGON_FAILURE, LOGON_FAILURE, false},
      {RFC_COMMUNICATION_FAILURE, COMMUNICATION_FAILURE, false},
      {RFC_LOGON_FAILURE, OK, false},  // a library that fills no group
      {RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE, true},
      {RFC_NOT_FOUND, EXTERNAL_RUNTIME_FAILURE, true},
      {RFC_EXTERNAL_FAILURE, EXTERNAL_RUNTIME_FAILURE, true},
      {RFC_AUTHENTICATION_FAILURE, EXTERNAL_AUTHENTICATION_FAILURE, true},
      {RFC_UNKNOWN_ERROR, OK, true},
  };
  for (const auto& c : kCases) {
    g = Fake();
    g.fail_at = "RfcOpenConnection";
    g.rc = c.rc;
    g.group = c.group;
    OpenOutcome opened = library->Open(kLogon, events);
    ASSERT_TRUE(std::holds_alternative<OpenFailure>(opened));
    EXPECT_EQ(std::get<OpenFailure>(opened).local, c.local) << "code " << c.rc << ", group " << c.group;
  }
}

TEST_F(NwRfcSession, LogonFailuresAndTheR2Mode) {
  std::unique_ptr<RfcLibrary> library = MakeNetWeaverLibrary(kFake, "sapnwrfc.dll");
  Events events;
  g.fail_at = "RfcOpenConnection";
  g.rc = RFC_LOGON_FAILURE;
  OpenOutcome refused = library->Open(kLogon, events);
  ASSERT_TRUE(std::holds_alternative<OpenFailure>(refused));
  EXPECT_FALSE(std::get<OpenFailure>(refused).unsupported_mode);
  EXPECT_FALSE(std::get<OpenFailure>(refused).block);

  g = Fake();
  g.fail_at = "RfcOpenConnection";
  g.null_claiming_ok = true;
  EXPECT_TRUE(std::holds_alternative<OpenFailure>(library->Open(kLogon, events)));

  g = Fake();
  LogonDescription r2 = kLogon;
  r2.mode = "R/2";
  OpenOutcome unsupported = library->Open(r2, events);
  ASSERT_TRUE(std::holds_alternative<OpenFailure>(unsupported));
  EXPECT_TRUE(std::get<OpenFailure>(unsupported).unsupported_mode);
  EXPECT_EQ(g.opened_with, "") << "no logon is tried";
  EXPECT_EQ(events.not_used + events.used, 0);

  EXPECT_EQ(library->FileName(), "sapnwrfc.dll");
  EXPECT_EQ(library->Identification(), "sapnwrfc.dll, NetWeaver RFC 7500.0.11");
}

// sapnwrfc.ini beside the program: the library is pointed at it once,
// before the first logon, and the program looks for the destination in the
// same file; where the library cannot be pointed at it, both read the
// working directory's (which has none here).
TEST_F(NwRfcSession, SapnwrfcIniBesideTheProgram) {
  namespace fs = std::filesystem;
  fs::path folder =
      fs::temp_directory_path() / ("pm-nwini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(folder);
  fs::create_directories(folder / "empty" / "sapnwrfc.ini");  // a folder of that name is no file
  std::ofstream(folder / "sapnwrfc.ini") << "DEST=PRD\nASHOST=prdhost\nSYSNR=00\n";
  const std::string beside = folder.string() + "/";
  NwRfc with_ini_path = kFake;
  with_ini_path.RfcSetIniPath = SetIniPath;
  const std::string kEntry = "DEST=PRD;CLIENT=100;USER=MONITOR;PASSWD=secret1;LANG=E;";
  const std::string kDirect = "ASHOST=sapprd01;SYSNR=00;CLIENT=100;USER=MONITOR;PASSWD=secret1;LANG=E;";
  struct {
    const char* label;
    const NwRfc& rfc;
    std::string directory;
    const char* failing;
    std::vector<std::string> ini_paths;
    std::string opened_with;  // two logons
  } cases[] = {
      {"beside the program", with_ini_path, beside, "", {beside}, kEntry + kEntry},
      {"no RfcSetIniPath", kFake, beside, "", {}, kDirect + kDirect},
      {"no file beside the program", with_ini_path, beside + "empty/", "", {}, kDirect + kDirect},
      {"directory unknown", with_ini_path, "", "", {}, kDirect + kDirect},
      {"RfcSetIniPath refuses", with_ini_path, beside, "RfcSetIniPath", {beside}, kDirect + kDirect},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    g = Fake();
    g.fail_at = c.failing;
    g.rc = RFC_INVALID_PARAMETER;
    std::unique_ptr<RfcLibrary> library = MakeNetWeaverLibrary(c.rfc, "libsapnwrfc.so", c.directory);
    Events events;
    for (int logon = 0; logon < 2; ++logon) library->Open(kLogon, events);
    EXPECT_EQ(g.ini_paths, c.ini_paths);
    EXPECT_EQ(g.opened_with, c.opened_with);
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace poolmetrics
