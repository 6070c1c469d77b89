// A PDF read back as a customer's viewer would show it: its text laid out
// by pdftotext, and the lines of it that match a pattern.
#pragma once

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace lty::test {

inline QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines matching `pattern`, each with its runs of blanks folded to one.
inline QStringList LinesWith(const QString& text, const QString& pattern) {
    QStringList found;
    const QRegularExpression re(pattern);
    for (const QString& line : text.split('\n'))
        if (re.match(line).hasMatch()) found << line.simplified();
    return found;
}

// A word of a PDF where a viewer puts it: its page (from 0) and its box in
// millimetres from the paper's top left corner.
struct PdfWord {
    int Page = 0;
    QRectF Box;
    QString Text;
};

inline std::vector<PdfWord> PdfWords(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    p.waitForFinished();
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<PdfWord> words;
    int page = -1;
    const QRegularExpression re(QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                               "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    constexpr double mm = 25.4 / 72;
    for (auto it = re.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        const double x0 = m.captured(1).toDouble() * mm, y0 = m.captured(2).toDouble() * mm;
        const double x1 = m.captured(3).toDouble() * mm, y1 = m.captured(4).toDouble() * mm;
        words.push_back({page, QRectF(QPointF(x0, y0), QPointF(x1, y1)), m.captured(5)});
    }
    return words;
}

} // namespace lty::test
