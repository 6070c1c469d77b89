// A PDF read back as a customer's viewer would show it: its text laid out
// by pdftotext, and the lines of it that match a pattern.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

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

} // namespace lty::test
