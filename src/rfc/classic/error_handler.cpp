#include "rfc/classic/error_handler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rfc/classic/classic_library.h"
#include "run/console.h"
#include "run/text.h"

namespace poolmetrics {
namespace {

// The library keeps a pointer to the environment record.
RFC_ENV g_environment;

std::string_view Field(const char* text, std::size_t size) { return {text, strnlen(text, size)}; }

}  // namespace

void InstallRfcErrorHandler() {
  g_environment.errorhandler = &RfcErrorHandler;
  g_environment.allocate = nullptr;
  Rfc().RfcEnvironment(&g_environment);
}

void WriteLabelLine(std::string_view label, int indent, int width, std::string_view value) {
  for (int i = 0; i < indent; ++i) std::fputc(' ', stdout);
  Print(label);
  for (int i = static_cast<int>(label.size()); i < width; ++i) std::fputc(' ', stdout);
  Print(" : ");
  PrintLine(LineText(value));  // the library's texts may quote files
}

void ReportRfcError(std::string_view operation) {
  PrintLine("RFC error");
  WriteLabelLine("operation/code", 0, 15, operation);
  RFC_ERROR_INFO info;
  std::memset(&info, 0, sizeof info);
  const RfcLibrary* rfc = LoadedRfc();
  if (rfc) rfc->RfcLastError(&info);
  WriteLabelLine("key", 0, 15, Field(info.key, sizeof info.key));
  WriteLabelLine("status", 0, 15, Field(info.status, sizeof info.status));
  WriteLabelLine("message", 0, 15, Field(info.message, sizeof info.message));
  WriteLabelLine("internal status", 0, 15, Field(info.intstat, sizeof info.intstat));
  PrintLine("");
  if (rfc) rfc->RfcClose(RFC_HANDLE_NULL);
  PrintLine("* Programm aborted...");
  PrintLine("* Error at EoXput-File...");
  // The library may be in the middle of a call: end here, without running
  // destructors that would unload it under its own feet.
  std::fflush(stdout);
  std::_Exit(1);
}

extern "C" void RFC_STDCALL RfcErrorHandler(char* operation) {
  ReportRfcError(operation ? Field(operation, 4096) : std::string_view());
}

}  // namespace poolmetrics
