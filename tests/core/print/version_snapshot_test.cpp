// A version keeps what its printout showed, reads back field by field, and
// its change orders add up with the signed sum to the cent.
#include "core/print/change_order_sheet.h"
#include "core/print/version_snapshot.h"
#include "core/text/capital_amount.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lty {
namespace {

VersionSnapshot Version(const std::string& quotation, const PrintTotals& totals) {
    VersionSnapshot s;
    s.QuotationText = quotation;
    s.Printed.Totals = totals;
    s.Printed.Heading.Company = "岚庭雅装饰";
    s.Printed.Heading.Title = "居室装修报价单（两室一厅）";
    s.Printed.Heading.Date = "2024年5月6日";
    return s;
}

TEST(VersionSnapshot, EveryPrintedFieldRoundTripsAndOlderOrNewerTextsReadWithDefaults) {
    VersionSnapshot s = Version("1@客厅@@@@540.00@@墙面@18@30@平米@540.00@两遍\\底漆\t\n面漆",
                                QuotationPrintTotals(540, "43.20", "19.89"));
    s.Printed.Heading.Customer = "王\t先生";
    s.Printed.Heading.Address = "文一路1号\r\n2单元";
    s.Printed.Remark = "备注：\n1. 以上价格含税";
    s.Printed.Rows = {{"客厅", "墙面", "18", "30", "平米", "两遍\\t底漆\n面漆", "1", "540.00"}, {}};
    s.Project.Customer = "王\t先生";
    s.Project.OverheadText = "43.20";
    s.Project.HouseType = "两室一厅";

    const std::string text = VersionSnapshotText(s);
    const VersionSnapshot back = ReadVersionSnapshot(text);
    EXPECT_EQ(back.Format, kVersionSnapshotFormat);
    EXPECT_EQ(back.QuotationText, s.QuotationText);
    EXPECT_EQ(back.Printed.Remark, s.Printed.Remark);
    EXPECT_EQ(back.Printed.Heading.Customer, "王\t先生");
    EXPECT_EQ(back.Printed.Heading.Address, s.Printed.Heading.Address);
    EXPECT_EQ(back.Printed.Heading.Date, "2024年5月6日");
    EXPECT_EQ(back.Printed.Totals.Sum, "603.09");
    EXPECT_EQ(back.Printed.Totals.SumInCapitals, s.Printed.Totals.SumInCapitals);
    ASSERT_EQ(back.Printed.Rows.size(), 2u);
    EXPECT_EQ(back.Printed.Rows[0].DataMemo, "两遍\\t底漆\n面漆");
    EXPECT_EQ(back.Printed.Rows[0].Datasum, "540.00");
    EXPECT_EQ(back.Printed.Rows[1].ItemName, "");
    EXPECT_EQ(back.Project.Customer, "王\t先生");
    EXPECT_EQ(back.Project.HouseType, "两室一厅");
    EXPECT_EQ(back.Project.Grid, nullptr);
    EXPECT_EQ(VersionSnapshotText(back), text);

    // A text written before a field existed, or after one was added: what it
    // lacks keeps its default, what this program does not know is passed over.
    const VersionSnapshot other = ReadVersionSnapshot(
        "ltyquote-version-snapshot 7\ntotals.Sum\t99.00\ntotals.Discount\t5.00\nfuture\tx\trow\nrow\tDataName\t门\tNew\t1\n");
    EXPECT_EQ(other.Format, 7);
    EXPECT_EQ(other.Printed.Totals.Sum, "99.00");
    EXPECT_EQ(other.Printed.Totals.Tax, "");
    ASSERT_EQ(other.Printed.Rows.size(), 1u);
    EXPECT_EQ(other.Printed.Rows[0].DataName, "门");
    EXPECT_THROW(ReadVersionSnapshot("1@客厅@@@@@"), std::invalid_argument);
    EXPECT_THROW(ReadVersionSnapshot(""), std::invalid_argument);
}

TEST(ChangeOrderSheet, SignedPlusEarlierPlusThisChangeIsTheNewSumToTheCent) {
    const VersionSnapshot signedVersion = Version("10@客厅@@@@@@墙面@18@30@平米@540.00@",
                                                  QuotationPrintTotals(540, "43.20", "19.89"));
    const VersionSnapshot first = Version("100@客厅@@@@@@墙面@18@30@平米@540.00@@踢脚线@12.5@8.3@米@103.75@",
                                          QuotationPrintTotals(643.75, "51.50", "23.71"));
    VersionSnapshot second = Version("10@客厅@@@@@@墙面@18.8@30.15@平米@566.82@",
                                     QuotationPrintTotals(566.82, "45.35", "20.88"));
    second.Printed.Heading.Customer = "王先生";

    const ChangeOrderSheet sheet = MakeChangeOrderSheet(signedVersion, first, second, 2);
    EXPECT_EQ(sheet.Heading.Title, "增减项目单（增减项 2）");
    EXPECT_EQ(sheet.Heading.Customer, "王先生");
    ASSERT_EQ(sheet.Lines.Lines.size(), 2u); // against the version before it: 墙面 changed, 踢脚线 removed
    EXPECT_EQ(sheet.Lines.Lines[0].Kind, LineChange::Changed);
    EXPECT_EQ(sheet.Lines.Lines[0].OldAmount, "540.00");
    EXPECT_EQ(sheet.Lines.Lines[1].Kind, LineChange::Removed);
    EXPECT_EQ(sheet.Lines.DeltaCents, 56682 - 64375);

    ASSERT_EQ(sheet.Figures.size(), 4u);
    EXPECT_EQ(sheet.Figures[0].Caption, "工程总价");
    EXPECT_EQ(sheet.Figures[0].Change, "-76.93");
    EXPECT_EQ(sheet.Figures[0].Change, CentsText(sheet.Lines.DeltaCents));
    const ChangeOrderFigure& sum = sheet.Figures[3];
    EXPECT_EQ(sum.Caption, "合计");
    EXPECT_EQ(sum.Signed, "603.09");
    EXPECT_EQ(sum.Earlier, "115.87");
    EXPECT_EQ(sum.Change, "-85.91");
    EXPECT_EQ(sum.New, "633.05");
    for (const ChangeOrderFigure& f : sheet.Figures)
        EXPECT_EQ(MoneyTextCents(f.Signed) + MoneyTextCents(f.Earlier) + MoneyTextCents(f.Change),
                  MoneyTextCents(f.New))
            << f.Caption;
    EXPECT_EQ(sheet.ChangeInCapitals, "负捌拾伍元玖角壹分");
    EXPECT_EQ(sheet.NewInCapitals, second.Printed.Totals.SumInCapitals);
    EXPECT_EQ(VersionCaption(0), "签约版");
}

} // namespace
} // namespace lty
