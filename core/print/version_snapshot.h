// A version of a quotation kept as it stood: everything its printout shows
// (heading, lines, totals, remark), the project fields it was printed from
// and the quotation text, so that a signed quotation prints exactly as signed
// however the catalog, the rates, the company page or the project's own lines
// change afterwards. Stored as text: a format line, then one keyed line per
// field, so that a field added to the printout later reads back from an
// older version with its default.
#pragma once

#include "core/print/print_rows.h"
#include "core/print/print_sheet.h"
#include "core/print/print_source.h"
#include "core/print/print_totals.h"

#include <string>
#include <string_view>
#include <vector>

namespace lty {

// What a printout of a quotation shows, besides the bands' own captions.
struct PrintedQuotation {
    PrintHeading Heading; // the customer's version; the crew's differs only in its title
    std::vector<PrintRow> Rows;
    PrintTotals Totals;
    std::string Remark;
};

inline constexpr int kVersionSnapshotFormat = 1;

struct VersionSnapshot {
    int Format = kVersionSnapshotFormat; // the format it was read in
    PrintedQuotation Printed;
    QuotationPrintSource Project; // the fields printed from; Grid stays null
    std::string QuotationText;    // the lines in the stored quotation form
};

std::string VersionSnapshotText(const VersionSnapshot& snapshot);
// Throws std::invalid_argument for a text that is no snapshot. Keys it does
// not know are passed over; fields it does not find keep their defaults.
VersionSnapshot ReadVersionSnapshot(std::string_view text);

// The money figures of the printed totals, in the order printed, each with
// its caption ("工程总价", ...) and its text.
struct TotalsFigure {
    const char* Caption;
    std::string Text;
};
std::vector<TotalsFigure> TotalsFigures(const PrintTotals& totals);

} // namespace lty
