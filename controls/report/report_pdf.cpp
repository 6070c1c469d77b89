#include "controls/report/report_pdf.h"

#include "controls/report/report_paint.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QSet>

namespace lty::report {
namespace {

// The look-alikes of one font: code points below the ideographs whose glyph
// is an ideograph's glyph.
QHash<char16_t, char16_t> FontLookAlikes(const QFont& font) {
    static QHash<QString, QHash<char16_t, char16_t>> cache;
    const QString key = font.key();
    if (auto it = cache.constFind(key); it != cache.constEnd()) return it.value();

    QHash<char16_t, char16_t> map;
    const QRawFont raw = QRawFont::fromFont(font);
    if (raw.isValid()) {
        // The unified ideographs, and everything below them that may share
        // their glyphs: radicals, kanbun, strokes and Extension A variants.
        QString ideographs;
        for (char16_t c = 0x4E00; c <= 0x9FFF; ++c) ideographs.append(QChar(c));
        const QList<quint32> glyphs = raw.glyphIndexesForString(ideographs);
        QHash<quint32, char16_t> ideographOf;
        for (qsizetype i = 0; i < glyphs.size() && i < ideographs.size(); ++i)
            if (glyphs[i] != 0 && !ideographOf.contains(glyphs[i]))
                ideographOf.insert(glyphs[i], ideographs[i].unicode());
        QString lows;
        for (char16_t c = 0x2E80; c <= 0x4DBF; ++c) lows.append(QChar(c));
        const QList<quint32> lowGlyphs = raw.glyphIndexesForString(lows);
        for (qsizetype i = 0; i < lowGlyphs.size() && i < lows.size(); ++i)
            if (auto it = ideographOf.constFind(lowGlyphs[i]); lowGlyphs[i] != 0 && it != ideographOf.constEnd())
                map.insert(lows[i].unicode(), it.value());
    }
    cache.insert(key, map);
    return map;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The targets of the entries between `from` and `to`: every <hex> token of a
// line after its first `sources` tokens.
void RepairBlock(QByteArray& pdf, qsizetype from, qsizetype to, int sources, const QHash<char16_t, char16_t>& map) {
    static const char kHex[] = "0123456789ABCDEF";
    int token = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char c = pdf[i];
        if (c == '\n' || c == '\r') {
            token = 0;
            continue;
        }
        if (c != '<') continue;
        const qsizetype end = pdf.indexOf('>', i);
        if (end < 0 || end > to) return;
        if (token++ >= sources && end - i == 5) {
            int v = 0;
            for (qsizetype k = i + 1; k < end && v >= 0; ++k) {
                const int h = HexValue(pdf[k]);
                v = h < 0 ? -1 : v * 16 + h;
            }
            if (auto it = map.constFind(static_cast<char16_t>(v)); v >= 0 && it != map.constEnd())
                for (int k = 0; k < 4; ++k) pdf[i + 1 + k] = kHex[(it.value() >> (12 - 4 * k)) & 0xF];
        }
        i = end;
    }
}

} // namespace

QHash<char16_t, char16_t> LookAlikes(const LaidOutReport& report) {
    QSet<QString> seen;
    QHash<char16_t, char16_t> map;
    for (const Page& page : report.Pages)
        for (const Primitive& p : page.Items) {
            if (p.Type != Primitive::Kind::Text || seen.contains(p.Font.key())) continue;
            seen.insert(p.Font.key());
            map.insert(FontLookAlikes(p.Font));
        }
    return map;
}

void RepairToUnicode(QByteArray& pdf, const QHash<char16_t, char16_t>& map) {
    if (map.isEmpty()) return;
    struct Kind {
        QByteArray Begin, End;
        int Sources;
    };
    for (const Kind& kind : {Kind{"beginbfrange", "endbfrange", 2}, Kind{"beginbfchar", "endbfchar", 1}}) {
        for (qsizetype at = pdf.indexOf(kind.Begin); at >= 0; at = pdf.indexOf(kind.Begin, at)) {
            const qsizetype end = pdf.indexOf(kind.End, at);
            if (end < 0) break;
            RepairBlock(pdf, at + kind.Begin.size(), end, kind.Sources, map);
            at = end;
        }
    }
}

bool WritePdf(const LaidOutReport& report, const QString& path, const QString& title, const QString& creator) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(creator);
        writer.setResolution(600);
        if (!PaintReport(report, writer)) return false;
    }
    RepairToUnicode(bytes, LookAlikes(report));
    // Written whole or not at all: a failed export never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    return file.commit();
}

} // namespace lty::report
