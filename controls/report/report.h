// A banded report: a page set-up and bands of boxes, laid out once into pages
// of positioned primitives (millimetres from the paper's top left corner) and
// then painted to any paged device or a preview. Knows nothing about what
// the report is about; the caller defines the bands and hands over the rows.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace lty::report {

// The rows a report runs over, in the order they print.
struct ReportTable {
    QStringList Fields;
    std::vector<std::vector<QVariant>> Rows;
    // Case-insensitive; -1 when there is no such field.
    int FieldIndex(const QString& name) const;
};

enum class BoxKind {
    Static,     // Text as it stands
    Field,      // the current row's value of Field
    Expression, // a small arithmetic expression over fields, e.g. "DataPrice*DataCount"
};

struct Box {
    QString Name; // lets the caller set a static text before layout
    BoxKind Kind = BoxKind::Static;
    QString Text; // static text, field name or expression
    QRectF Rect;  // in the band, mm; for a growing box the least size
    Qt::Alignment Align = Qt::AlignLeft | Qt::AlignTop;
    std::optional<QFont> Font; // the report's default font when none
    bool WordWrap = false;
    bool Grows = false; // the band grows when the wrapped text needs more room
    // A one-line text wider than its box is set in smaller type until it
    // fits, so that a figure never runs over its column nor loses a digit.
    bool ShrinkToFit = false;
    bool Frame = false;
    QColor Background; // invalid: none
    // Field and expression values to text; QVariant::toString when unset.
    std::function<QString(const QVariant&)> Format;
};

// A rule inside a band, in mm. A vertical rule that reaches the band's
// bottom edge follows the band when it grows.
struct Rule {
    QLineF Line;
};

struct Band {
    QString Name;
    double Height = 0; // mm, the least height
    bool Frame = false;
    QColor Background;
    std::vector<Box> Boxes;
    std::vector<Rule> Rules;
    bool Enabled = true;
    // A field: the band prints for a row only when the row's value of it is
    // true. Empty: always.
    QString PrintWhen;
};

struct PageSetup {
    QSizeF PaperMm{210, 297};
    double LeftMm = 10, TopMm = 10, RightMm = 10, BottomMm = 10;
    QFont DefaultFont;
    double RuleWidthMm = 0.2;
    // The footer "%1" page number and "%2" page count, in the bottom margin
    // area inside the page; empty for none.
    QString PageFooter;
    double PageFooterHeightMm = 6;
};

struct ReportDefinition {
    PageSetup Page;
    Band Title;        // once, at the start
    Band ColumnHeader; // after the title, and at the top of every later page
    // A group header when GroupField's value changes between rows, a footer
    // after the last row of each group (its boxes read that row).
    QString GroupField;
    Band GroupHeader;
    // At the top of a page that goes on with a group begun on an earlier
    // one, after the column headings (it reads the group's first row).
    Band GroupContinued;
    Band Detail; // one per row
    Band GroupFooter;
    std::vector<Band> Summary; // once each, after the data

    Box* FindBox(const QString& name);
    void SetText(const QString& name, const QString& text); // static boxes only
};

// ---- the laid-out pages -----------------------------------------------------

struct Primitive {
    enum class Kind { Text, Line, Rect };
    Kind Type = Kind::Text;
    QRectF Rect;  // text box or rectangle, mm on the paper
    QLineF Line;  // mm on the paper
    QString Text; // one line of text: painting never wraps
    QFont Font;
    Qt::Alignment Align = Qt::AlignLeft | Qt::AlignTop;
    QColor Fill;        // rectangles: invalid for none
    bool Stroke = true; // rectangles: draw the outline
    double PenMm = 0.2;
    QString Band; // the band it came from, for tests and tools
};

struct Page {
    std::vector<Primitive> Items;
};

struct LaidOutReport {
    QSizeF PaperMm;
    std::vector<Page> Pages;
    int ClippedBands = 0; // bands taller than a page, cut at the page's foot
};

// Lays the report out. Text is measured with a fixed high-resolution metric,
// so the pages are the same on every device.
LaidOutReport LayOut(const ReportDefinition& report, const ReportTable& table);

} // namespace lty::report
