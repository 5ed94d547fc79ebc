#include "run/run_library.h"

#include <string>

#include "run/run_failure.h"

namespace poolmetrics {

RfcLibrary& RunLibrary() {
  std::string failure;
  RfcLibrary* library = LoadRfcLibrary(&failure);
  if (!library) Fail(failure);
  return *library;
}

}  // namespace poolmetrics
