// What the print commands remember between runs: the version last chosen
// (the customer's quotation or the crew's work sheet) and the folder the
// last export (PDF or workbook) went to.
#pragma once

#include "core/print/print_sheet.h"

#include <QString>

namespace lty {

PrintVersion RememberedPrintVersion();
void RememberPrintVersion(PrintVersion version);

// The folder of the last export, or empty when there was none (or it is gone).
QString LastPdfFolder();
void RememberPdfFolder(const QString& folder);

} // namespace lty
