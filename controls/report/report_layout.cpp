// Laying a report out into pages. Every text line is placed here, once, so
// that preview, printer and PDF show the same lines on the same pages.
#include "controls/report/report.h"
#include "controls/report/report_expression.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace lty::report {

int ReportTable::FieldIndex(const QString& name) const {
    for (qsizetype i = 0; i < Fields.size(); ++i)
        if (Fields[i].compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    return -1;
}

Box* ReportDefinition::FindBox(const QString& name) {
    for (Band* band : {&Title, &ColumnHeader, &GroupHeader, &GroupContinued, &Detail, &GroupFooter}) {
        for (Box& box : band->Boxes)
            if (box.Name == name) return &box;
    }
    for (Band& band : Summary)
        for (Box& box : band.Boxes)
            if (box.Name == name) return &box;
    return nullptr;
}

void ReportDefinition::SetText(const QString& name, const QString& text) {
    if (Box* box = FindBox(name); box && box->Kind == BoxKind::Static) box->Text = text;
}

namespace {

constexpr double kMeasureDpi = 1200;
constexpr double kPxPerMm = kMeasureDpi / 25.4;
constexpr double kEpsilon = 0.01;

// Text metrics at a fixed resolution, independent of the screen.
class Measure {
public:
    Measure() : device_(1, 1, QImage::Format_Mono) {
        const int dpm = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        device_.setDotsPerMeterX(dpm);
        device_.setDotsPerMeterY(dpm);
    }

    double LineHeightMm(const QFont& font) {
        const QString key = font.key();
        auto it = lineHeights_.find(key);
        if (it == lineHeights_.end()) it = lineHeights_.insert(key, QFontMetricsF(font, &device_).height() / kPxPerMm);
        return it.value();
    }

    double WidthMm(const QString& text, const QFont& font) {
        return QFontMetricsF(font, &device_).horizontalAdvance(text) / kPxPerMm;
    }

    // The font a one-line text needs to fit `widthMm`: `font` itself, or
    // the same in steps of half a point smaller, down to 5 points.
    QFont Fitting(const QString& text, const QFont& font, double widthMm) {
        QFont f = font;
        while (WidthMm(text, f) > widthMm && f.pointSizeF() > 5.25) f.setPointSizeF(f.pointSizeF() - 0.5);
        return f;
    }

    // The lines of `text` wrapped to `widthMm`; hard line breaks are kept.
    QStringList Wrap(const QString& text, const QFont& font, double widthMm) {
        QStringList lines;
        const double widthPx = widthMm * kPxPerMm;
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        const QStringList paragraphs = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split('\n');
        for (const QString& paragraph : paragraphs) {
            if (paragraph.isEmpty()) {
                lines << QString();
                continue;
            }
            QTextLayout layout(paragraph, font, &device_);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(widthPx);
                QString piece = paragraph.mid(line.textStart(), line.textLength());
                while (!piece.isEmpty() && piece.back().isSpace()) piece.chop(1);
                lines << piece;
            }
            layout.endLayout();
        }
        return lines;
    }

private:
    QImage device_;
    QHash<QString, double> lineHeights_;
};

// One band as it prints for one row: its primitives relative to the band's
// top left corner, and its height once grown.
struct BandPrint {
    std::vector<Primitive> Items;
    double Height = 0;
};

class LayoutRun {
public:
    LayoutRun(const ReportDefinition& def, const ReportTable& table) : def_(def), table_(table) {
        const PageSetup& p = def.Page;
        left_ = p.LeftMm;
        width_ = p.PaperMm.width() - p.LeftMm - p.RightMm;
        top_ = p.TopMm;
        bottom_ = p.PaperMm.height() - p.BottomMm - (p.PageFooter.isEmpty() ? 0 : p.PageFooterHeightMm);
        // "dataset.Field" names Field: the rows come from one data set.
        const QString group = def.GroupField.mid(def.GroupField.lastIndexOf('.') + 1);
        groupField_ = group.isEmpty() ? -1 : table.FieldIndex(group);
        out_.PaperMm = p.PaperMm;
    }

    LaidOutReport Run() {
        NewPage();
        Place(Render(def_.Title, nullptr));
        PlaceColumnHeader();
        const auto& rows = table_.Rows;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& row = rows[i];
            const bool newGroup = groupField_ >= 0 && (i == 0 || GroupKey(row) != GroupKey(rows[i - 1]));
            if (newGroup && i > 0) EndGroup(rows[i - 1]);
            BandPrint detail = Render(def_.Detail, &row);
            if (newGroup) {
                BandPrint header = Render(def_.GroupHeader, &row);
                // A group heading never stands alone at the foot of a page.
                if (!PageEmpty() && y_ + header.Height + detail.Height > bottom_ + kEpsilon) NewPage();
                Place(std::move(header));
                group_ = &row;
            }
            Place(std::move(detail));
        }
        if (groupField_ >= 0 && !rows.empty()) EndGroup(rows.back());
        // A page that only carries what follows the lines needs no column headings.
        repeatColumnHeader_ = false;
        for (const Band& band : def_.Summary) Place(Render(band, rows.empty() ? nullptr : &rows.back()));
        AddPageFooters();
        return std::move(out_);
    }

private:
    QString GroupKey(const std::vector<QVariant>& row) const {
        return groupField_ < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(groupField_)].toString()
                                                          : QString();
    }

    void EndGroup(const std::vector<QVariant>& last) {
        Place(Render(def_.GroupFooter, &last));
        group_ = nullptr;
    }

    bool Prints(const Band& band, const std::vector<QVariant>* row) const {
        if (band.PrintWhen.isEmpty()) return true;
        if (!row) return false;
        const int f = table_.FieldIndex(band.PrintWhen);
        return f >= 0 && f < static_cast<int>(row->size()) && (*row)[static_cast<std::size_t>(f)].toBool();
    }

    QFont FontOf(const Box& box) const { return box.Font ? *box.Font : def_.Page.DefaultFont; }

    QString ValueText(const Box& box, const std::vector<QVariant>* row) {
        switch (box.Kind) {
        case BoxKind::Static:
            return box.Text;
        case BoxKind::Field: {
            if (!row) return {};
            const int f = table_.FieldIndex(box.Text);
            if (f < 0 || f >= static_cast<int>(row->size())) return {};
            const QVariant& v = (*row)[static_cast<std::size_t>(f)];
            return box.Format ? box.Format(v) : v.toString();
        }
        case BoxKind::Expression: {
            if (!row) return {};
            const Expression* e = Compiled(box);
            if (!e) return {};
            const QVariant v(e->Evaluate(*row));
            return box.Format ? box.Format(v) : v.toString();
        }
        }
        return {};
    }

    const Expression* Compiled(const Box& box) {
        auto it = expressions_.find(&box);
        if (it == expressions_.end())
            it = expressions_.emplace(&box, Expression::Compile(box.Text, table_, nullptr)).first;
        return it->second.get();
    }

    BandPrint Render(const Band& band, const std::vector<QVariant>* row) {
        BandPrint bp;
        if (!band.Enabled || band.Height <= 0 || !Prints(band, row)) return bp;
        bp.Height = band.Height;
        struct TextBlock {
            const Box* Source;
            QStringList Lines;
            double LineHeight;
        };
        std::vector<TextBlock> blocks;
        blocks.reserve(band.Boxes.size());
        for (const Box& box : band.Boxes) {
            const QString text = ValueText(box, row);
            const QFont font = FontOf(box);
            TextBlock block{&box, {}, measure_.LineHeightMm(font)};
            if (box.WordWrap)
                block.Lines = measure_.Wrap(text, font, box.Rect.width());
            else
                block.Lines = text.split('\n');
            if (box.Grows) {
                const double textHeight = block.LineHeight * static_cast<double>(block.Lines.size());
                const double below = std::max(0.0, band.Height - box.Rect.bottom());
                bp.Height = std::max(bp.Height, box.Rect.top() + std::max(textHeight, box.Rect.height()) + below);
            }
            blocks.push_back(std::move(block));
        }
        const double grown = bp.Height - band.Height;
        auto add = [&](Primitive p) {
            p.Band = band.Name;
            bp.Items.push_back(std::move(p));
        };
        if (band.Background.isValid()) {
            Primitive p;
            p.Type = Primitive::Kind::Rect;
            p.Rect = QRectF(0, 0, width_, bp.Height);
            p.Fill = band.Background;
            p.Stroke = false;
            add(std::move(p));
        }
        for (const TextBlock& block : blocks) {
            const Box& box = *block.Source;
            QRectF area = box.Rect;
            if (box.Grows)
                area.setHeight(std::max(area.height(), block.LineHeight * static_cast<double>(block.Lines.size())));
            if (box.Background.isValid() || box.Frame) {
                Primitive p;
                p.Type = Primitive::Kind::Rect;
                p.Rect = area;
                p.Fill = box.Background;
                p.Stroke = box.Frame;
                p.PenMm = def_.Page.RuleWidthMm;
                add(std::move(p));
            }
            const QFont font = FontOf(box);
            if (block.Lines.size() == 1 && !box.WordWrap) {
                if (block.Lines.front().isEmpty()) continue;
                Primitive p;
                p.Rect = QRectF(area.left(), area.top(), area.width(), std::max(area.height(), block.LineHeight));
                p.Text = block.Lines.front();
                p.Font = box.ShrinkToFit ? measure_.Fitting(p.Text, font, area.width()) : font;
                p.Align = box.Align;
                add(std::move(p));
                continue;
            }
            const Qt::Alignment horizontal = box.Align & Qt::AlignHorizontal_Mask;
            for (qsizetype i = 0; i < block.Lines.size(); ++i) {
                if (block.Lines[i].isEmpty()) continue;
                Primitive p;
                p.Rect = QRectF(area.left(), area.top() + block.LineHeight * static_cast<double>(i), area.width(),
                                block.LineHeight);
                p.Text = block.Lines[i];
                p.Font = font;
                p.Align = horizontal | Qt::AlignTop;
                add(std::move(p));
            }
        }
        for (const Rule& rule : band.Rules) {
            QLineF line = rule.Line;
            // Rules that reach the band's foot follow it down when it grows.
            if (std::abs(line.y1() - band.Height) < kEpsilon) line.setP1({line.x1(), line.y1() + grown});
            if (std::abs(line.y2() - band.Height) < kEpsilon) line.setP2({line.x2(), line.y2() + grown});
            Primitive p;
            p.Type = Primitive::Kind::Line;
            p.Line = line;
            p.PenMm = def_.Page.RuleWidthMm;
            add(std::move(p));
        }
        if (band.Frame) {
            Primitive p;
            p.Type = Primitive::Kind::Rect;
            p.Rect = QRectF(0, 0, width_, bp.Height);
            p.PenMm = def_.Page.RuleWidthMm;
            add(std::move(p));
        }
        return bp;
    }

    bool PageEmpty() const { return y_ <= pageBodyTop_ + kEpsilon; }

    void NewPage() {
        out_.Pages.emplace_back();
        y_ = top_;
        pageBodyTop_ = top_;
        if (repeatColumnHeader_ && out_.Pages.size() > 1) PlaceColumnHeader();
        // A group that goes on over the break says so at the top of the page.
        if (group_) {
            Place(Render(def_.GroupContinued, group_));
            pageBodyTop_ = y_;
        }
    }

    void PlaceColumnHeader() {
        Place(Render(def_.ColumnHeader, nullptr));
        pageBodyTop_ = y_;
    }

    // Puts a band at the current position; a band that does not fit goes to
    // the next page whole, and one taller than a whole page is cut at its foot.
    void Place(BandPrint bp) {
        if (bp.Height <= 0) return;
        if (y_ + bp.Height > bottom_ + kEpsilon && !PageEmpty()) NewPage();
        const double room = bottom_ - y_;
        if (bp.Height > room + kEpsilon) {
            ++out_.ClippedBands;
            Clip(bp, room);
        }
        Page& page = out_.Pages.back();
        for (Primitive& p : bp.Items) {
            p.Rect.translate(left_, y_);
            p.Line.translate(left_, y_);
            page.Items.push_back(std::move(p));
        }
        y_ += bp.Height;
    }

    static void Clip(BandPrint& bp, double height) {
        std::vector<Primitive> kept;
        for (Primitive& p : bp.Items) {
            switch (p.Type) {
            case Primitive::Kind::Text:
                if (p.Rect.bottom() > height + kEpsilon) continue;
                break;
            case Primitive::Kind::Rect:
                if (p.Rect.top() >= height) continue;
                p.Rect.setBottom(std::min(p.Rect.bottom(), height));
                break;
            case Primitive::Kind::Line:
                if (std::min(p.Line.y1(), p.Line.y2()) >= height) continue;
                p.Line.setP1({p.Line.x1(), std::min(p.Line.y1(), height)});
                p.Line.setP2({p.Line.x2(), std::min(p.Line.y2(), height)});
                break;
            }
            kept.push_back(std::move(p));
        }
        bp.Items = std::move(kept);
        bp.Height = height;
    }

    void AddPageFooters() {
        const PageSetup& setup = def_.Page;
        if (setup.PageFooter.isEmpty()) return;
        const int count = static_cast<int>(out_.Pages.size());
        for (int i = 0; i < count; ++i) {
            Primitive p;
            p.Rect = QRectF(left_, bottom_, width_, setup.PageFooterHeightMm);
            p.Text = setup.PageFooter.arg(i + 1).arg(count);
            p.Font = setup.DefaultFont;
            p.Align = Qt::AlignHCenter | Qt::AlignBottom;
            p.Band = QStringLiteral("PageFooter");
            out_.Pages[static_cast<std::size_t>(i)].Items.push_back(std::move(p));
        }
    }

    const ReportDefinition& def_;
    const ReportTable& table_;
    Measure measure_;
    std::unordered_map<const Box*, std::unique_ptr<Expression>> expressions_;
    int groupField_ = -1;
    const std::vector<QVariant>* group_ = nullptr; // the first row of the group being placed
    bool repeatColumnHeader_ = true;
    double left_ = 0, width_ = 0, top_ = 0, bottom_ = 0;
    double y_ = 0, pageBodyTop_ = 0;
    LaidOutReport out_;
};

} // namespace

LaidOutReport LayOut(const ReportDefinition& report, const ReportTable& table) {
    return LayoutRun(report, table).Run();
}

} // namespace lty::report
