#include "run/rfc_error_report.h"

#include "base/console.h"
#include "output/document_writer.h"

namespace poolmetrics {

void ReportBesideErrorDocument(const ErrorBlock& block) {
  OutputLock lock;
  PrintInstead(ErrorDocument(RfcErrorMessage(block)));
  PrintAside(ErrorBlockText(block));
}

}  // namespace poolmetrics
