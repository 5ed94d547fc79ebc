#include "rfc/classic/logon.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "base/console.h"
#include "base/plain_file_name.h"
#include "base/text.h"
#include "rfc/classic/destination_file.h"
#include "rfc/classic/library_text.h"
#include "base/file_lock.h"
#include "rfc/classic/rfc_api.h"
#include "rfc/library_reason.h"
#include "rfc/system_number.h"

namespace poolmetrics {
namespace {

constexpr std::size_t kUserWidth = 12;
constexpr std::size_t kPasswordWidth = 10;

// The connection's own copies of the logon fields, and the library's
// records that point into them: they live as long as the process because the
// records must stay valid while the library works with them.
struct RfcOpenFields {
  FixedText<12> destination;
  FixedText<12> client;
  FixedText<48> user;
  FixedText<41> password;  // up to 40 characters, the longest SAP takes
  FixedText<32> language;
  FixedText<32> mode;
  FixedText<128> hostname;
  FixedText<128> sysnr;
  FixedText<62> gateway_host;
  FixedText<32> gateway_service;
};
RfcOpenFields g_fields;
RFC_OPTIONS g_options;
RFC_CONNOPT_R3ONLY g_r3only;
RFC_CONNOPT_CPIC g_cpic;
RFC_ERROR_INFO_EX g_error_info;

template <typename Text>
char* OrNull(Text& text) {
  return text.empty() ? nullptr : text.data();
}

template <typename Text>
void PadWithBlanks(Text& text, std::size_t width) {
  while (text.size() < width && !text.full()) text += ' ';
}

void FillOptions(const LogonDescription& s) {
  g_fields.destination = s.destination;
  g_fields.client = s.client;
  g_fields.user = s.user;
  g_fields.password = s.password;
  g_fields.language = s.language;
  g_fields.mode = s.mode;
  g_fields.hostname = s.hostname;
  g_fields.sysnr = s.sysnr;
  g_fields.gateway_host = s.gateway_host;
  g_fields.gateway_service = s.gateway_service;
  PadWithBlanks(g_fields.user, kUserWidth);
  PadWithBlanks(g_fields.password, kPasswordWidth);

  g_options.destination = g_fields.destination.data();
  g_options.client = g_fields.client.data();
  g_options.user = g_fields.user.data();
  g_options.password = g_fields.password.data();
  g_options.language = g_fields.language.data();
  g_options.trace = 0;
  if (g_fields.mode == "R/2") {
    g_options.mode = RFC_MODE_CPIC;
    g_cpic.gateway_host = OrNull(g_fields.gateway_host);
    g_cpic.gateway_service = OrNull(g_fields.gateway_service);
    g_options.connopt = &g_cpic;
  } else {
    g_options.mode = RFC_MODE_R3ONLY;
    g_r3only.hostname = OrNull(g_fields.hostname);
    g_r3only.sysnr = SystemNumber(g_fields.sysnr);
    g_r3only.gateway_host = OrNull(g_fields.gateway_host);
    g_r3only.gateway_service = OrNull(g_fields.gateway_service);
    g_options.connopt = &g_r3only;
  }
}

// The text of one of the library's character fields, which it need not
// terminate.
template <std::size_t N>
std::string_view TextOfField(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// Why the logon failed, from the library's error key and message.
void TakeError(std::string_view key, std::string_view message, ClassicLogon* logon) {
  logon->reason = LibraryReason(key, message);
  logon->local = LocalErrorKey(key);
}

// What RfcLastError gives for the logon that just failed.
void TakeLastError(const ClassicRfc& rfc, ClassicLogon* logon) {
  RFC_ERROR_INFO info{};
  rfc.RfcLastError(&info);
  TakeError(TextOfField(info.key), TextOfField(info.message), logon);
}

// Logs on through the destination ini file when there is one, with `logon`
// then set to the result. Returns false when there is none.
bool OpenThroughDestinationFile(const ClassicRfc& rfc, const LogonDescription& s, SessionEvents& events,
                                ClassicLogon* logon) {
  // Only a destination file that exists is worth waiting for the lock.
  if (!CanOpen(DestinationFileName(s.destination).c_str())) return false;
  // Sensors started at the same time in this directory would overwrite each
  // other's "SapRfc.ini" between the copy and the logon, and one of them would
  // report another system's figures: the lock spans both. It also spans
  // telling the destination file from SapRfc.ini, which no other run then
  // replaces.
  FileLock lock = FileLock::Acquire(kSapRfcLockFile);
  File source = OpenDestinationFile(s.destination);
  if (!source) return false;
  events.DestinationFileUsed(s.destination);
  if (!InstallSapRfcIni(std::move(source))) {
    logon->reason = Concat({DestinationFileName(s.destination), " could not be copied to ", kSapRfcIniFile,
                            " in the working directory"});
    logon->local = true;
    return true;
  }
  std::string connect =
      Concat({"CLIENT=", s.client, " USER=", s.user, " PASSWD=", s.password, " LANG=D DEST=", s.destination});
  g_error_info = RFC_ERROR_INFO_EX{};
  std::fflush(stdout);  // what the library prints itself comes after our lines
  logon->handle = rfc.RfcOpenEx(connect.data(), &g_error_info);
  if (logon->handle == 0) {
    TakeError(TextOfField(g_error_info.key), TextOfField(g_error_info.message), logon);
    // Older libraries leave the record empty and keep the error for RfcLastError.
    if (logon->reason.empty()) TakeLastError(rfc, logon);
  }
  return true;
}

}  // namespace

ClassicLogon OpenConnection(const ClassicRfc& rfc, const LogonDescription& given, SessionEvents& events) {
  ClassicLogon result;
  // PRTG's user and password are UTF-8 text; this library reads its code
  // page's bytes. A profile's are bytes already and go as they are.
  LogonDescription logon = given;
  std::optional<std::string> user, password;
  if (given.credentials == CredentialForm::kUtf8Text) {
    user = InLibraryCodePage(given.user);
    password = InLibraryCodePage(given.password);
    // The run asks CarriesText first; no logon goes with a changed text.
    if (!user || !password) {
      result.reason = "the user or the password holds a character outside the library's code page";
      return result;
    }
    logon.user = *user;
    logon.password = *password;
  }
  FillOptions(logon);
  // The profile check refuses such a destination before any logon; should
  // one come here all the same, it opens neither a file nor a connection.
  if (!logon.destination.empty() && !IsPlainFileName(logon.destination)) return result;
  if (OpenThroughDestinationFile(rfc, logon, events, &result)) return result;
  std::fflush(stdout);  // what the library prints itself comes after our lines
  result.handle = rfc.RfcOpen(&g_options);
  if (result.handle == 0) TakeLastError(rfc, &result);
  return result;
}

bool LocalErrorKey(std::string_view key) {
  while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
  while (!key.empty() && key.front() == ' ') key.remove_prefix(1);
  return key == "RFC_ERROR_PROGRAM" || key == "RFC_ERROR_INTERNAL" || key == "RFC_ERROR_RESOURCE";
}

}  // namespace poolmetrics
