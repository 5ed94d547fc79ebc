// The writers of the three output forms, made by MakeDocumentWriter.
#pragma once

#include <memory>
#include <optional>

#include "output/document_writer.h"

namespace poolmetrics {

// The PRTG EXE/XML form: modes EXEXML, Holdrun and Varnock.
std::unique_ptr<DocumentWriter> MakeXmlWriter();
// Message and statistic lines, at most ten channels in a run: mode Brennick.
std::unique_ptr<DocumentWriter> MakeBrennickWriter();
// Plain lines, or only the bare value of the selected channel: mode Quillon.
std::unique_ptr<DocumentWriter> MakeQuillonWriter(std::optional<unsigned> selected_channel);

}  // namespace poolmetrics
