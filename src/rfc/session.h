// The RFC session interface: the program logs on to a system and makes its
// one call through it, whichever vendor library serves the run. Each
// library's folder (classic/, nwrfc/) implements it; tests use a fake.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "rfc/error_block.h"
#include "rfc/statistic_result.h"

namespace poolmetrics {

// How a logon's user and password are written.
enum class CredentialForm {
  // As a profile holds them: bytes that every library takes as they are.
  kAsWritten,
  // Text in UTF-8 (PRTG's, from the environment): each library writes its
  // characters in its own character set (RfcLibrary::CarriesText).
  kUtf8Text,
};

// What a logon needs: the profile's values, with the parameters' ",HOST="
// and ",NO=" overrides already applied to hostname and sysnr.
struct LogonDescription {
  std::string_view destination, client, user, password, language, mode, hostname, sysnr, gateway_host, gateway_service;
  CredentialForm credentials = CredentialForm::kAsWritten;
};

// How a call failed, in the program's terms; the run turns it into one of
// the messages 1012 to 1015.
enum class CallFailureKind { kFailure, kException, kSystemException, kOther };
struct CallFailure {
  CallFailureKind kind = CallFailureKind::kOther;
  std::string exception;  // kException: the exception's name
  // The library's own account of the failure, where it gives one: it then
  // follows the message in place of the trace-file hint.
  std::optional<std::string> library_message;
};

// A call's outcome: the figures, a failure the run reports, or an RFC
// error that the program found itself (the error block, status 1).
using CallOutcome = std::variant<SharedStatistic, CallFailure, ErrorBlock>;

// An open connection; it is closed when the session goes.
class Session {
 public:
  virtual ~Session() = default;
  virtual CallOutcome CallSummaryStatistic() = 0;
};

// Told while a session opens, before the library gets control, so that the
// run's own lines stand before whatever the library prints itself.
class SessionEvents {
 public:
  virtual ~SessionEvents() = default;
  // The classic library's path: the destination's ini file "SapRfc." +
  // destination is about to be copied over SapRfc.ini.
  virtual void DestinationFileUsed(std::string_view destination) = 0;
  // The NetWeaver library's path: a classic "SapRfc." + destination file
  // lies in the working directory, but that library reads only sapnwrfc.ini,
  // which has no entry for the destination; the logon goes direct.
  virtual void ClassicDestinationFileNotUsed(std::string_view destination) = 0;
};

// An open that gave no session: the logon failed (message 1011), or an RFC
// error that the program found itself (`block`: the error block, status 1),
// or a logon that the library cannot make at all (`unsupported_mode`: the
// R/2 mode through the NetWeaver library, message 1034); no logon was tried.
struct OpenFailure {
  std::optional<ErrorBlock> block;
  bool unsupported_mode = false;
  // Why the logon failed, as the library tells it ("KEY: message"), or
  // what went wrong on this side before the library was asked; empty when
  // neither says.
  std::string reason;
  // The failure is the program's own side's, not an answer of SAP or the
  // network: a destination file that could not be copied, a destination
  // entry or logon parameter the library could not use, the library's own
  // trouble. Another run, from another folder, may well log on.
  bool local = false;
};
using OpenOutcome = std::variant<std::unique_ptr<Session>, OpenFailure>;

// A loaded RFC library.
class RfcLibrary {
 public:
  virtual ~RfcLibrary() = default;
  virtual OpenOutcome Open(const LogonDescription& logon, SessionEvents& events) = 0;
  // The library's file name, as messages name it.
  virtual std::string FileName() const = 0;
  // The trace file the library writes in the working directory: the hint of
  // a failed call reads it, a successful run deletes it.
  virtual std::string TraceFile() const = 0;
  // What a run with progress marks says about the library that serves it:
  // empty for the classic library, whose runs print no such line; else its
  // file name and version.
  virtual std::string Identification() const { return {}; }
  // Whether a logon through this library carries every character of the
  // UTF-8 `text` (a user or password of the form CredentialForm::kUtf8Text)
  // unchanged. A library that does not is never handed such a text.
  virtual bool CarriesText(std::string_view text) const = 0;
};

}  // namespace poolmetrics
