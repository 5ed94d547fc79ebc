#include "rfc/classic/error_handler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "base/code_page.h"
#include "base/console.h"

namespace poolmetrics {
namespace {

// What the handler works with, which the library calls without any context
// of the run: the environment record, to which the library keeps a pointer,
// and the operations of the library that was given it (they live as long as
// the process).
struct HandlerRecord {
  RFC_ENV environment;
  const ClassicRfc* rfc;
};
HandlerRecord g_handler;

std::string_view Field(const char* text, std::size_t size) { return {text, strnlen(text, size)}; }

// The most of the library's operation text that the block takes: a longer
// one is cut between two characters, never inside one's UTF-8 sequence.
constexpr std::size_t kLongestOperation = 4096;
constexpr std::size_t kLongestSequence = 4;

std::string_view OperationText(const char* operation) {
  if (!operation) return {};
  return HeadOfWholeCharacters(Field(operation, kLongestOperation + kLongestSequence), kLongestOperation);
}

}  // namespace

// The library calls the handler in its own convention (rfc_api.h pins it).
static_assert(std::is_same_v<decltype(&RfcErrorHandler), RFC_ERROR_HANDLER>);

void InstallRfcErrorHandler(const ClassicRfc& rfc) {
  g_handler.environment.errorhandler = &RfcErrorHandler;
  g_handler.environment.allocate = nullptr;
  g_handler.rfc = &rfc;
  rfc.RfcEnvironment(&g_handler.environment);
}

ErrorBlock CaptureErrorBlock(const ClassicRfc& rfc, std::string_view operation) {
  RFC_ERROR_INFO info;
  std::memset(&info, 0, sizeof info);
  rfc.RfcLastError(&info);
  rfc.RfcClose(RFC_HANDLE_NULL);
  return {std::string(operation), std::string(Field(info.key, sizeof info.key)),
          std::string(Field(info.status, sizeof info.status)), std::string(Field(info.message, sizeof info.message)),
          std::string(Field(info.intstat, sizeof info.intstat))};
}

extern "C" void RFC_STDCALL RfcErrorHandler(char* operation) {
  std::string_view text = OperationText(operation);
  const ClassicRfc* rfc = g_handler.rfc;
  // Held to the end: a deadline passing now must not write its document
  // into or after the block.
  OutputLock lock;
  ReportErrorBlock(rfc ? CaptureErrorBlock(*rfc, text) : ErrorBlock{std::string(text), {}, {}, {}, {}});
  // Without running destructors: they would close and unload what the
  // library is still working with.
  DeliverLastWords();
  std::_Exit(1);
}

}  // namespace poolmetrics
