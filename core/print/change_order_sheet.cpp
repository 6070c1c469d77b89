#include "core/print/change_order_sheet.h"

#include "core/quotation/quotation_text.h"
#include "core/text/capital_amount.h"

namespace lty {
namespace {

std::vector<QuotationLine> LinesOf(const VersionSnapshot& version) {
    QuotationGrid grid;
    TextToQuotation(grid, version.QuotationText);
    return QuotationLines(grid);
}

} // namespace

std::string VersionCaption(int version) { return version == 0 ? "签约版" : "增减项 " + std::to_string(version); }

ChangeOrderSheet MakeChangeOrderSheet(const VersionSnapshot& signedVersion, const VersionSnapshot& previous,
                                      const VersionSnapshot& current, int number) {
    ChangeOrderSheet sheet;
    sheet.Number = number;
    sheet.Heading = current.Printed.Heading;
    sheet.Heading.Title = "增减项目单（" + VersionCaption(number) + "）";
    sheet.Lines = DiffQuotationLines(LinesOf(previous), LinesOf(current));

    const std::vector<TotalsFigure> signedFigures = TotalsFigures(signedVersion.Printed.Totals);
    const std::vector<TotalsFigure> previousFigures = TotalsFigures(previous.Printed.Totals);
    const std::vector<TotalsFigure> newFigures = TotalsFigures(current.Printed.Totals);
    std::int64_t sumChange = 0, sumNew = 0;
    for (std::size_t i = 0; i < newFigures.size(); ++i) {
        // A line none of the three printed (no discount ever) is left out.
        if (signedFigures[i].Text.empty() && previousFigures[i].Text.empty() && newFigures[i].Text.empty()) continue;
        const std::int64_t s = MoneyTextCents(signedFigures[i].Text);
        const std::int64_t p = MoneyTextCents(previousFigures[i].Text);
        const std::int64_t n = MoneyTextCents(newFigures[i].Text);
        sheet.Figures.push_back({newFigures[i].Caption, CentsText(s), CentsText(p - s), CentsText(n - p), CentsText(n)});
        if (sheet.Figures.back().Caption == "合计") { // the sum the customer pays
            sumChange = n - p;
            sumNew = n;
        }
    }
    sheet.ChangeInCapitals = CapitalAmount(sumChange);
    sheet.NewInCapitals = CapitalAmount(sumNew);
    return sheet;
}

} // namespace lty
