#include "rfc/classic/logon.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "base/console.h"
#include "base/wipe.h"
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

template <typename Text>
char* OrNull(Text& text) {
  return text.empty() ? nullptr : text.data();
}

template <typename Text>
void PadWithBlanks(Text& text, std::size_t width) {
  while (text.size() < width && !text.full()) text += ' ';
}

void FillOptions(const LogonDescription& s, LogonRecord& r) {
  r.destination = s.destination;
  r.client = s.client;
  r.user = s.user;
  r.password = s.password;
  r.language = s.language;
  r.mode = s.mode;
  r.hostname = s.hostname;
  r.sysnr = s.sysnr;
  r.gateway_host = s.gateway_host;
  r.gateway_service = s.gateway_service;
  PadWithBlanks(r.user, kUserWidth);
  PadWithBlanks(r.password, kPasswordWidth);

  r.options.destination = r.destination.data();
  r.options.client = r.client.data();
  r.options.user = r.user.data();
  r.options.password = r.password.data();
  r.options.language = r.language.data();
  r.options.trace = 0;
  if (r.mode == "R/2") {
    r.options.mode = RFC_MODE_CPIC;
    r.cpic.gateway_host = OrNull(r.gateway_host);
    r.cpic.gateway_service = OrNull(r.gateway_service);
    r.options.connopt = &r.cpic;
  } else {
    r.options.mode = RFC_MODE_R3ONLY;
    r.r3only.hostname = OrNull(r.hostname);
    r.r3only.sysnr = SystemNumber(r.sysnr);
    r.r3only.gateway_host = OrNull(r.gateway_host);
    r.r3only.gateway_service = OrNull(r.gateway_service);
    r.options.connopt = &r.r3only;
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
                                LogonRecord& record, ClassicLogon* logon) {
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
  record.error_info = RFC_ERROR_INFO_EX{};
  std::fflush(stdout);  // what the library prints itself comes after our lines
  logon->handle = rfc.RfcOpenEx(connect.data(), &record.error_info);
  WipeText(connect);  // the library keeps no pointer into it
  if (logon->handle == 0) {
    TakeError(TextOfField(record.error_info.key), TextOfField(record.error_info.message), logon);
    // Older libraries leave the record empty and keep the error for RfcLastError.
    if (logon->reason.empty()) TakeLastError(rfc, logon);
  }
  return true;
}

// OpenConnection with the user and password in the library's code page.
ClassicLogon OpenInLibraryCodePage(const ClassicRfc& rfc, const LogonDescription& logon, SessionEvents& events,
                                   LogonRecord& record) {
  ClassicLogon result;
  FillOptions(logon, record);
  // The profile check refuses such a destination before any logon; should
  // one come here all the same, it opens neither a file nor a connection.
  if (!logon.destination.empty() && !IsPlainFileName(logon.destination)) return result;
  if (OpenThroughDestinationFile(rfc, logon, events, record, &result)) return result;
  std::fflush(stdout);  // what the library prints itself comes after our lines
  result.handle = rfc.RfcOpen(&record.options);
  if (result.handle == 0) TakeLastError(rfc, &result);
  return result;
}

}  // namespace

LogonRecord::~LogonRecord() { WipeText(password); }

ClassicLogon OpenConnection(const ClassicRfc& rfc, const LogonDescription& given, SessionEvents& events,
                            LogonRecord& record) {
  // PRTG's user and password are UTF-8 text; this library reads its code
  // page's bytes. A profile's are bytes already and go as they are.
  if (given.credentials != CredentialForm::kUtf8Text) return OpenInLibraryCodePage(rfc, given, events, record);
  std::optional<std::string> user = InLibraryCodePage(given.user);
  std::optional<std::string> password = InLibraryCodePage(given.password);
  ClassicLogon result;
  // The run asks CarriesText first; no logon goes with a changed text.
  if (!user || !password) {
    result.reason = "the user or the password holds a character outside the library's code page";
  } else {
    LogonDescription logon = given;
    logon.user = *user;
    logon.password = *password;
    result = OpenInLibraryCodePage(rfc, logon, events, record);
  }
  if (password) WipeText(*password);
  return result;
}

bool LocalErrorKey(std::string_view key) {
  while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
  while (!key.empty() && key.front() == ' ') key.remove_prefix(1);
  return key == "RFC_ERROR_PROGRAM" || key == "RFC_ERROR_INTERNAL" || key == "RFC_ERROR_RESOURCE";
}

}  // namespace poolmetrics
