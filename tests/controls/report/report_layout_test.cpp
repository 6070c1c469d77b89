// The report engine judged on its laid-out pages: which band went where,
// with which texts, never on pixels.
#include "controls/report/report.h"
#include "controls/report/report_paint.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << s.toStdString(); }

namespace lty::report {
namespace {

constexpr double kTop = 10, kBottom = 297 - 10 - 6; // A4, 10 mm margins, 6 mm page footer

Box TextBox(const QString& text, double left, double top, double width = 40) {
    Box b;
    b.Text = text;
    b.Rect = QRectF(left, top, width, 5);
    return b;
}
Box FieldBox(const QString& field, double left, double top, double width = 40) {
    Box b = TextBox(field, left, top, width);
    b.Kind = BoxKind::Field;
    return b;
}
Band MakeBand(const QString& name, double height, std::vector<Box> boxes = {}) {
    Band b;
    b.Name = name;
    b.Height = height;
    b.Frame = true;
    b.Boxes = std::move(boxes);
    return b;
}

ReportDefinition Definition() {
    ReportDefinition r;
    r.Page.DefaultFont = QFont(QStringLiteral("Noto Sans CJK SC"));
    r.Page.DefaultFont.setPointSizeF(10);
    r.Page.PageFooter = QStringLiteral("第 %1 页 共 %2 页");
    r.Title = MakeBand(QStringLiteral("Title"), 40, {TextBox(QStringLiteral("报价单"), 0, 5)});
    r.ColumnHeader = MakeBand(QStringLiteral("Columns"), 7, {TextBox(QStringLiteral("项目名称"), 0, 1)});
    r.GroupField = QStringLiteral("data.Room");
    r.GroupHeader = MakeBand(QStringLiteral("GroupHeader"), 6, {FieldBox(QStringLiteral("Room"), 1, 0.5)});
    Box memo = FieldBox(QStringLiteral("Memo"), 50, 2, 60);
    memo.Rect.setHeight(6);
    memo.WordWrap = true;
    memo.Grows = true;
    Box amount = FieldBox(QStringLiteral("Price * Count"), 150, 2, 30);
    amount.Kind = BoxKind::Expression;
    amount.Format = [](const QVariant& v) { return QString::number(v.toDouble(), 'f', 2); };
    r.Detail = MakeBand(QStringLiteral("Detail"), 10, {FieldBox(QStringLiteral("Name"), 1, 2), memo, amount});
    r.Detail.Rules.push_back({QLineF(45, 0, 45, 10)});
    r.GroupFooter = MakeBand(QStringLiteral("GroupFooter"), 6, {FieldBox(QStringLiteral("Sum"), 150, 0.5)});
    r.Summary = {MakeBand(QStringLiteral("Totals"), 20, {TextBox(QStringLiteral("合计"), 1, 1)})};
    return r;
}

ReportTable Table(const std::vector<std::pair<QString, QString>>& roomsAndMemos) {
    ReportTable t;
    t.Fields = {QStringLiteral("Room"),  QStringLiteral("Name"),  QStringLiteral("Memo"),
                QStringLiteral("Price"), QStringLiteral("Count"), QStringLiteral("Sum")};
    int i = 0;
    for (const auto& [room, memo] : roomsAndMemos) {
        ++i;
        t.Rows.push_back({room, QStringLiteral("项目%1").arg(i), memo, 12.5, i, room + QStringLiteral("小计")});
    }
    return t;
}

// One placed band: its page and its frame (the band's full rectangle).
struct Placed {
    int PageNo;
    QString Band;
    QRectF Frame;
};
std::vector<Placed> Bands(const LaidOutReport& r) {
    std::vector<Placed> out;
    for (std::size_t p = 0; p < r.Pages.size(); ++p)
        for (const Primitive& item : r.Pages[p].Items)
            if (item.Type == Primitive::Kind::Rect && item.Stroke && item.Rect.width() > 180)
                out.push_back({static_cast<int>(p), item.Band, item.Rect});
    return out;
}
QStringList Texts(const Page& page, const QString& band = {}) {
    QStringList out;
    for (const Primitive& item : page.Items)
        if (item.Type == Primitive::Kind::Text && (band.isEmpty() || item.Band == band)) out << item.Text;
    return out;
}
QStringList AllTexts(const LaidOutReport& r, const QString& band) {
    QStringList out;
    for (const Page& p : r.Pages) out << Texts(p, band);
    return out;
}

TEST(ReportLayout, GroupsFollowChangesOfTheFieldAndFootersShowTheirGroupsValue) {
    const auto laid = LayOut(Definition(), Table({{"客厅", ""}, {"客厅", ""}, {"卧室", ""}, {"客厅", ""}}));
    ASSERT_EQ(laid.Pages.size(), 1u);
    QStringList order;
    for (const auto& b : Bands(laid)) order << b.Band;
    EXPECT_EQ(order.join(' '), "Title Columns GroupHeader Detail Detail GroupFooter GroupHeader Detail GroupFooter "
                               "GroupHeader Detail GroupFooter Totals");
    // A room that comes back after another is a new group, as the rows run.
    EXPECT_EQ(AllTexts(laid, "GroupHeader"), (QStringList{"客厅", "卧室", "客厅"}));
    EXPECT_EQ(AllTexts(laid, "GroupFooter"), (QStringList{"客厅小计", "卧室小计", "客厅小计"}));
    // Price * Count per row, formatted by the box.
    const QStringList detail = AllTexts(laid, "Detail");
    EXPECT_TRUE(detail.contains("12.50") && detail.contains("25.00") && detail.contains("50.00"))
        << detail.join('|').toStdString();
    // Bands stack without gaps from the top margin.
    const auto bands = Bands(laid);
    EXPECT_DOUBLE_EQ(bands.front().Frame.top(), kTop);
    for (std::size_t i = 1; i < bands.size(); ++i) EXPECT_NEAR(bands[i].Frame.top(), bands[i - 1].Frame.bottom(), 1e-9);
    EXPECT_EQ(Texts(laid.Pages[0], "PageFooter"), QStringList{"第 1 页 共 1 页"});

    // No rows still prints the title, the headings and the totals.
    const auto empty = LayOut(Definition(), Table({}));
    order.clear();
    for (const auto& b : Bands(empty)) order << b.Band;
    EXPECT_EQ(order.join(' '), "Title Columns Totals");
}

TEST(ReportLayout, PagesBreakBetweenBandsRepeatTheHeadingsAndCountThemselves) {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < 120; ++i) rows.push_back({QStringLiteral("房间%1").arg(i / 7), QString()});
    const auto laid = LayOut(Definition(), Table(rows));
    const int pages = static_cast<int>(laid.Pages.size());
    ASSERT_GE(pages, 5);
    int details = 0;
    for (const auto& b : Bands(laid)) {
        details += b.Band == "Detail";
        // Whole bands only: every frame inside the page's body.
        EXPECT_GE(b.Frame.top(), kTop - 1e-9) << b.Band.toStdString() << " on page " << b.PageNo;
        EXPECT_LE(b.Frame.bottom(), kBottom + 1e-9) << b.Band.toStdString() << " on page " << b.PageNo;
    }
    EXPECT_EQ(details, 120);
    EXPECT_EQ(laid.ClippedBands, 0);
    for (int p = 0; p < pages; ++p) {
        const auto& page = laid.Pages[static_cast<std::size_t>(p)];
        EXPECT_EQ(Texts(page, "PageFooter"), QStringList{QStringLiteral("第 %1 页 共 %2 页").arg(p + 1).arg(pages)});
        if (p == 0) continue;
        // Later pages open with the column headings and never with the title.
        std::vector<Placed> on;
        for (const auto& b : Bands(laid))
            if (b.PageNo == p) on.push_back(b);
        ASSERT_FALSE(on.empty());
        EXPECT_EQ(on.front().Band, "Columns");
        EXPECT_DOUBLE_EQ(on.front().Frame.top(), kTop);
        EXPECT_TRUE(Texts(page, "Title").isEmpty());
        // A group heading is never the last band of a page.
        EXPECT_NE(on.back().Band, "GroupHeader") << "page " << p;
    }

    // 21 lines fill the first page but for 2 mm: the totals go over alone,
    // without column headings above nothing.
    rows.assign(21, {QStringLiteral("客厅"), QString()});
    const auto overflow = LayOut(Definition(), Table(rows));
    ASSERT_EQ(overflow.Pages.size(), 2u);
    std::vector<Placed> second;
    for (const auto& b : Bands(overflow))
        if (b.PageNo == 1) second.push_back(b);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].Band, "Totals");
    EXPECT_DOUBLE_EQ(second[0].Frame.top(), kTop);
}

TEST(ReportLayout, ABandEndingAtThePageFootStaysAndAHeadingGoesOverWithItsFirstLine) {
    ReportDefinition def = Definition();
    def.Summary[0].Height = 12; // 20 lines and then the totals end at the page's foot to the millimetre
    std::vector<std::pair<QString, QString>> rows(20, {QStringLiteral("客厅"), QString()});
    const auto exact = LayOut(def, Table(rows));
    ASSERT_EQ(exact.Pages.size(), 1u);
    EXPECT_DOUBLE_EQ(Bands(exact).back().Frame.bottom(), kBottom);
    EXPECT_EQ(Texts(exact.Pages[0], "PageFooter"), QStringList{"第 1 页 共 1 页"});

    // A second room's heading would still fit below the first room, its first line not.
    rows.push_back({QStringLiteral("卧室"), QString()});
    const auto laid = LayOut(Definition(), Table(rows));
    ASSERT_EQ(laid.Pages.size(), 2u);
    EXPECT_EQ(Texts(laid.Pages[0], "GroupHeader"), QStringList{"客厅"});
    EXPECT_EQ(Texts(laid.Pages[1], "GroupHeader"), QStringList{"卧室"});
}

TEST(ReportLayout, AMemoGrowsItsBandAndABandTallerThanAPageIsCutNotLost) {
    const QString longMemo = QString(QStringLiteral("水泥砂浆找平，防水涂料两遍，闭水试验四十八小时。")).repeated(6);
    const auto laid = LayOut(Definition(), Table({{"卫生间", longMemo}, {"卫生间", "短"}}));
    std::vector<Placed> details;
    for (const auto& b : Bands(laid))
        if (b.Band == "Detail") details.push_back(b);
    ASSERT_EQ(details.size(), 2u);
    EXPECT_GT(details[0].Frame.height(), 20);
    EXPECT_DOUBLE_EQ(details[1].Frame.height(), 10);
    // Every character of the memo is on paper, in order, in lines inside the box.
    QStringList memoLines;
    for (const Primitive& item : laid.Pages[0].Items)
        if (item.Band == "Detail" && item.Type == Primitive::Kind::Text && item.Rect.left() == 60 &&
            item.Rect.top() < details[1].Frame.top()) {
            memoLines << item.Text;
            EXPECT_LE(item.Rect.bottom(), details[0].Frame.bottom() + 1e-9);
        }
    EXPECT_GT(memoLines.size(), 3);
    EXPECT_EQ(memoLines.join(QString()), longMemo);
    // The band's rule follows it down.
    bool ruleGrown = false;
    for (const Primitive& item : laid.Pages[0].Items)
        if (item.Type == Primitive::Kind::Line && item.Band == "Detail" && item.Line.x1() == 55)
            ruleGrown |= std::abs(item.Line.y2() - details[0].Frame.bottom()) < 1e-9;
    EXPECT_TRUE(ruleGrown);

    // Longer than a page: cut at the page's foot, and the report goes on.
    const auto huge =
        LayOut(Definition(), Table({{"卫生间", "开始"}, {"卫生间", longMemo.repeated(12)}, {"卫生间", "之后"}}));
    EXPECT_EQ(huge.ClippedBands, 1);
    details.clear();
    for (const auto& b : Bands(huge))
        if (b.Band == "Detail") details.push_back(b);
    ASSERT_EQ(details.size(), 3u);
    EXPECT_EQ(details[1].PageNo, 1);
    EXPECT_DOUBLE_EQ(details[1].Frame.top(), kTop + 7); // under the repeated headings
    EXPECT_DOUBLE_EQ(details[1].Frame.bottom(), kBottom);
    EXPECT_EQ(details[2].PageNo, 2);
    for (const Primitive& item : huge.Pages[1].Items)
        if (item.Type == Primitive::Kind::Text && item.Band != "PageFooter") {
            EXPECT_LE(item.Rect.bottom(), kBottom + 1e-9);
        }
    EXPECT_TRUE(AllTexts(huge, "Detail").contains("之后"));
}

TEST(ReportLayout, ExpressionsAndNamedBoxes) {
    ReportDefinition def = Definition();
    def.SetText(QStringLiteral("nothing"), QStringLiteral("x")); // no such box: ignored
    def.Title.Boxes[0].Name = QStringLiteral("Heading");
    def.SetText(QStringLiteral("Heading"), QStringLiteral("新标题"));
    def.Detail.Boxes[2].Text = QStringLiteral("-(Price + 0.5) * Count / 2");
    ReportTable t = Table({{"厨房", ""}, {"厨房", ""}});
    t.Rows[1][3] = QStringLiteral("不是数字"); // counts 0
    auto laid = LayOut(def, t);
    EXPECT_EQ(Texts(laid.Pages[0], "Title"), QStringList{"新标题"});
    const QStringList detail = AllTexts(laid, "Detail");
    EXPECT_TRUE(detail.contains("-6.50") && detail.contains("-0.50")) << detail.join('|').toStdString();
    // An expression naming a field the rows lack prints nothing rather than failing.
    def.Detail.Boxes[2].Text = QStringLiteral("Price * Missing");
    laid = LayOut(def, t);
    EXPECT_FALSE(AllTexts(laid, "Detail").join('|').contains('.'));

    // The pages paint onto an image of the paper's size.
    const QImage page = RenderPage(laid, 0, 2);
    EXPECT_EQ(page.size(), QSize(420, 594));
    int inked = 0; // the title band's top rule, 10 mm down
    for (int x = 0; x < page.width(); ++x) inked += page.pixel(x, 20) != page.pixel(5, 5);
    EXPECT_GT(inked, 300);
}

} // namespace
} // namespace lty::report
