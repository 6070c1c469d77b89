#include "ui/shell/guide_document.h"

#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QColor>
#include <QTextImageFormat>

namespace lty {
namespace {

// The anchor named on the line above each heading, in the order of the
// headings; code blocks are skipped, as the Markdown reader skips them.
std::vector<QString> TakeAnchors(const QString& markdown, QString& cleaned) {
    static const QRegularExpression anchor(QStringLiteral(R"re(^\s*<a (?:id|name)="([A-Za-z0-9_-]+)"></a>\s*$)re"));
    static const QRegularExpression heading(QStringLiteral(R"re(^ {0,3}#{1,6}(\s|$))re"));
    static const QRegularExpression fence(QStringLiteral(R"re(^ {0,3}(```|~~~))re"));
    std::vector<QString> anchors;
    QString pending;
    bool inFence = false;
    QStringList kept;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        if (fence.match(line).hasMatch()) inFence = !inFence;
        if (!inFence) {
            if (const auto m = anchor.match(line); m.hasMatch()) {
                pending = m.captured(1);
                continue;
            }
            if (heading.match(line).hasMatch()) {
                anchors.push_back(pending);
                pending.clear();
            }
        }
        kept << line;
    }
    cleaned = kept.join(QLatin1Char('\n'));
    return anchors;
}

void NameHeading(QTextDocument& doc, const QTextBlock& block, const QString& anchor) {
    QTextCursor c(&doc);
    c.setPosition(block.position());
    c.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setAnchor(true);
    f.setAnchorNames({anchor});
    c.mergeCharFormat(f);
}

void FitImages(QTextDocument& doc, const QString& folder, int maxWidth) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.charFormat().isImageFormat()) continue;
            QTextImageFormat img = frag.charFormat().toImageFormat();
            const QSize size = QImageReader(folder + img.name()).size();
            if (!size.isValid()) continue;
            const double scale = size.width() > maxWidth ? double(maxWidth) / size.width() : 1.0;
            img.setWidth(size.width() * scale);
            img.setHeight(size.height() * scale);
            QTextCursor c(&doc);
            c.setPosition(frag.position());
            c.setPosition(frag.position() + frag.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(img);
        }
    }
}

// Tables drawn as a grid of thin lines across the page, as a printed manual
// has them, instead of the raised double borders of plain HTML.
void StyleTables(QTextDocument& doc) {
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat f = table->format();
        f.setBorderCollapse(true);
        f.setBorder(1);
        f.setBorderBrush(QColor(0xb0, 0xb0, 0xb0));
        f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        f.setCellSpacing(0);
        f.setCellPadding(4);
        f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(f);
    }
}

} // namespace

PreparedGuide PrepareGuide(const QString& markdown, const QString& imageFolder, int maxImageWidth) {
    QString cleaned;
    const std::vector<QString> anchors = TakeAnchors(markdown, cleaned);
    QTextDocument doc;
    doc.setMarkdown(cleaned, QTextDocument::MarkdownDialectGitHub);
    PreparedGuide out;
    std::size_t index = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level <= 0) continue;
        QString name = index < anchors.size() ? anchors[index] : QString();
        ++index;
        if (name.isEmpty()) name = QStringLiteral("section-%1").arg(index);
        if (b.length() > 1) NameHeading(doc, b, name);
        out.Headings.push_back({level, b.text(), name});
    }
    FitImages(doc, imageFolder, maxImageWidth);
    StyleTables(doc);
    out.Html = doc.toHtml();
    return out;
}

QString GuideMarkdown() {
    QFile f(QString::fromLatin1(kGuideFolder) + QStringLiteral("guide.md"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace lty
