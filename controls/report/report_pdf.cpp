#include "controls/report/report_pdf.h"

#include "controls/report/report_paint.h"

#include <QBuffer>
#include <QFile>
#include <QGlyphRun>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QSet>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <vector>

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

// ---- the character maps written anew ----------------------------------------
//
// Qt's PDF writer numbers the glyphs of each font face in the order it first
// draws them. Shaping every text in the order the painter draws it gives the
// same numbering, together with the characters each glyph was drawn for; a
// numbering is taken only when every entry of Qt's own map agrees with it.

// The glyphs drawn with one font face, in the order the writer numbers them
// (glyph 0 first, as it reserves it), and the text each stands for.
struct DrawnFace {
    QRawFont Font;
    std::vector<quint32> Order;
    QHash<quint32, QString> Text;
    QSet<quint32> Seen;
};

QString FaceKey(const QRawFont& font) {
    return font.familyName() + u'|' + font.styleName() + u'|' + QString::number(font.weight()) + u'|' +
           QString::number(static_cast<int>(font.style()));
}

// The text as QPainter::drawText lays out a single line of it.
QString SingleLine(QString text) {
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    return text;
}

// Records the glyphs of one drawn text in `faces` (keyed by FaceKey).
void AddDrawnText(const QString& text, const QFont& font, std::map<QString, DrawnFace>& faces) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<uint> codes = text.toUcs4();
    std::map<QString, QSet<quint32>> substituted; // per face, glyphs no character's cmap entry gives
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QString key = FaceKey(raw);
        DrawnFace& face = faces[key];
        if (face.Order.empty()) {
            face.Font = raw;
            face.Order.push_back(0);
            face.Seen.insert(0);
        }
        QSet<quint32> fresh;
        for (quint32 g : run.glyphIndexes())
            if (!face.Seen.contains(g)) {
                face.Seen.insert(g);
                face.Order.push_back(g);
                fresh.insert(g);
            }
        if (fresh.isEmpty()) continue;
        // A glyph the font's cmap gives to a character of the text stands for it.
        const QList<quint32> mapped = raw.glyphIndexesForString(text);
        for (qsizetype i = 0; i < mapped.size() && i < codes.size(); ++i)
            if (fresh.contains(mapped[i]) && !face.Text.contains(mapped[i]))
                face.Text.insert(mapped[i], QString::fromUcs4(reinterpret_cast<const char32_t*>(&codes[i]), 1));
        for (quint32 g : fresh)
            if (!face.Text.contains(g)) substituted[key].insert(g);
    }
    if (substituted.empty()) return;
    // Each substituted glyph stands for the characters whose shaping gives
    // its first drawn instance: the characters of a ligature share one
    // instance, while a glyph drawn twice in the text (both digits of "11"
    // in a contextual form) stands for one character, not for both.
    std::map<std::pair<QString, quint32>, QPointF> instance;
    int at = 0;
    for (uint code : codes) {
        const int units = QChar::requiresSurrogates(code) ? 2 : 1;
        for (const QGlyphRun& run : layout.glyphRuns(at, units)) {
            const QString key = FaceKey(run.rawFont());
            const auto it = substituted.find(key);
            if (it == substituted.end()) continue;
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            QSet<quint32> added;
            for (qsizetype k = 0; k < glyphs.size() && k < positions.size(); ++k) {
                const quint32 g = glyphs[k];
                if (!it->second.contains(g) || added.contains(g)) continue;
                const auto [first, fresh] = instance.try_emplace({key, g}, positions[k]);
                if (!fresh && first->second != positions[k]) continue;
                added.insert(g);
                faces[key].Text[g] += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            }
        }
        at += units;
    }
}

// Every face the report draws with, its glyphs numbered as the writer numbers them.
std::map<QString, DrawnFace> DrawnGlyphs(const LaidOutReport& report) {
    std::map<QString, DrawnFace> faces;
    // A text drawn again in the same font adds no glyph.
    std::vector<std::pair<QFont, QSet<QString>>> seen;
    std::size_t font = 0;
    for (const Page& page : report.Pages)
        for (const Primitive& p : page.Items) {
            if (p.Type != Primitive::Kind::Text || p.Text.isEmpty()) continue;
            if (font >= seen.size() || seen[font].first != p.Font) {
                font = 0;
                while (font < seen.size() && seen[font].first != p.Font) ++font;
                if (font == seen.size()) seen.emplace_back(p.Font, QSet<QString>());
            }
            QSet<QString>& texts = seen[font].second;
            if (texts.contains(p.Text)) continue;
            texts.insert(p.Text);
            AddDrawnText(SingleLine(p.Text), p.Font, faces);
        }
    return faces;
}

QByteArray Hex(const QString& text) {
    QByteArray hex;
    for (QChar c : text) hex += QByteArray::number(c.unicode(), 16).toUpper().rightJustified(4, '0');
    return hex;
}

// The mappings of a ToUnicode map: every <hex> entry of its bfrange and bfchar blocks.
QHash<int, QString> ReadCMap(const QByteArray& cmap) {
    QHash<int, QString> map;
    const auto text = [](const QByteArray& hex) {
        QString t;
        for (qsizetype k = 0; k + 4 <= hex.size(); k += 4) t += QChar(hex.mid(k, 4).toUShort(nullptr, 16));
        return t;
    };
    for (const QByteArray& line : cmap.split('\n')) {
        QList<QByteArray> tokens;
        for (qsizetype i = line.indexOf('<'); i >= 0; i = line.indexOf('<', i + 1)) {
            const qsizetype end = line.indexOf('>', i);
            if (end < 0) break;
            tokens << line.mid(i + 1, end - i - 1);
        }
        bool ok = false;
        if (tokens.size() == 2) {
            map.insert(tokens[0].toInt(&ok, 16), text(tokens[1]));
        } else if (tokens.size() >= 3) {
            const int from = tokens[0].toInt(&ok, 16), to = tokens[1].toInt(nullptr, 16);
            const bool array = line.contains('[');
            for (int cid = from; cid <= to; ++cid) {
                if (array && 2 + cid - from >= tokens.size()) break;
                QString t = text(tokens[array ? 2 + cid - from : 2]);
                if (!array && !t.isEmpty()) t.back() = QChar(t.back().unicode() + (cid - from));
                map.insert(cid, t);
            }
        }
    }
    return map;
}

// True when `face` numbers its glyphs as the writer's map `cmap` says: each
// mapped number is the glyph the font gives to the character it maps to.
bool Matches(const DrawnFace& face, const QHash<int, QString>& cmap) {
    QString chars;
    QList<int> cids;
    for (auto it = cmap.constBegin(); it != cmap.constEnd(); ++it) {
        if (it.key() == 0) continue;
        if (it.key() >= static_cast<int>(face.Order.size()) || it.value().size() != 1) return false;
        chars += it.value();
        cids << it.key();
    }
    const QList<quint32> glyphs = face.Font.glyphIndexesForString(chars);
    if (glyphs.size() != cids.size()) return false;
    for (qsizetype i = 0; i < cids.size(); ++i)
        if (glyphs[i] != face.Order[static_cast<std::size_t>(cids[i])]) return false;
    return true;
}

// A ToUnicode map for `face`: runs of numbers sharing their high byte, at
// most 100 to a block, each number mapped to its text.
QByteArray WriteCMap(const DrawnFace& face) {
    QByteArray ranges;
    int count = 0;
    QByteArray blocks;
    const auto flush = [&] {
        if (count == 0) return;
        blocks += QByteArray::number(count) + " beginbfrange\n" + ranges + "endbfrange\n";
        ranges.clear();
        count = 0;
    };
    const auto hex4 = [](std::size_t v) {
        return QByteArray::number(static_cast<uint>(v), 16).toUpper().rightJustified(4, '0');
    };
    const std::size_t n = face.Order.size();
    for (std::size_t cid = 1; cid < n;) {
        if (face.Text.value(face.Order[cid]).isEmpty()) {
            ++cid;
            continue;
        }
        std::size_t end = cid;
        QByteArray targets;
        while (end < n && (end >> 8) == (cid >> 8) && !face.Text.value(face.Order[end]).isEmpty())
            targets += '<' + Hex(face.Text.value(face.Order[end++])) + "> ";
        ranges += '<' + hex4(cid) + "> <" + hex4(end - 1) + "> [" + targets + "]\n";
        if (++count == 100) flush();
        cid = end;
    }
    flush();
    return "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
           "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
           "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n" +
           blocks + "endcmap\nCMapName currentdict /CIDMap defineresource pop\nend\nend\n";
}

// Replaces the ToUnicode streams of the fonts whose numbering `faces`
// reproduces with complete maps, compressed, and moves the cross-reference
// table's offsets to match. Leaves `pdf` as it was when it cannot read it.
// True when every map was written anew.
bool RewriteToUnicode(QByteArray& pdf, const std::map<QString, DrawnFace>& faces) {
    struct Edit {
        qsizetype At, Length;
        QByteArray With;
    };
    std::vector<Edit> edits;
    QSet<QString> used;
    int maps = 0;
    static const QByteArray kRef = "/ToUnicode ";
    for (qsizetype at = pdf.indexOf(kRef); at >= 0; at = pdf.indexOf(kRef, at + 1)) {
        const qsizetype numberEnd = pdf.indexOf(' ', at + kRef.size());
        const QByteArray object = pdf.mid(at + kRef.size(), numberEnd - at - kRef.size());
        ++maps;
        const qsizetype start = pdf.indexOf('\n' + object + " 0 obj\n");
        const qsizetype length = pdf.indexOf("/Length ", start);
        const qsizetype data = pdf.indexOf("stream\n", length) + 7;
        // Qt writes the maps uncompressed, with their length in the dictionary.
        if (start < 0 || length < 0 || data < 7 ||
            QByteArrayView(pdf).sliced(length, data - length).contains("/Filter"))
            continue;
        bool ok = false;
        const int size = pdf.mid(length + 8, pdf.indexOf(' ', length + 8) - length - 8).toInt(&ok);
        const qsizetype end = ok ? pdf.indexOf("endobj", data + size) : -1;
        if (end < 0) continue;
        const QHash<int, QString> cmap = ReadCMap(pdf.mid(data, size));
        for (const auto& [key, face] : faces) {
            if (used.contains(key) || !Matches(face, cmap)) continue;
            used.insert(key);
            const QByteArray packed = qCompress(WriteCMap(face)).mid(4); // zlib data without Qt's length prefix
            edits.push_back({start + 1, end - start - 1,
                             object + " 0 obj\n<< /Length " + QByteArray::number(packed.size()) +
                                 " /Filter /FlateDecode >>\nstream\n" + packed + "\nendstream\n"});
            break;
        }
    }
    if (edits.empty()) return maps == 0;
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.At < b.At; });
    const auto moved = [&](qsizetype offset) {
        qsizetype by = 0;
        for (const Edit& e : edits)
            if (e.At < offset) by += e.With.size() - e.Length;
        return offset + by;
    };
    // The cross-reference table: "xref", subsections of "first count" and 20-byte entries.
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0) return false;
    bool ok = false;
    const qsizetype xref = pdf.mid(startxref + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || !pdf.mid(xref).startsWith("xref")) return false;
    QByteArray table = pdf.mid(xref, startxref - xref);
    qsizetype line = table.indexOf('\n') + 1;
    while (line > 0 && line < table.size() && !table.mid(line).startsWith("trailer")) {
        const qsizetype eol = table.indexOf('\n', line);
        const QList<QByteArray> head = table.mid(line, eol - line).trimmed().split(' ');
        const int count = head.value(1).toInt(&ok);
        if (!ok || eol < 0) return false;
        line = eol + 1;
        for (int k = 0; k < count; ++k, line += 20) {
            if (line + 20 > table.size()) return false;
            if (table[line + 17] != 'n') continue;
            const qsizetype offset = table.mid(line, 10).toLongLong(&ok);
            if (!ok) return false;
            table.replace(line, 10, QByteArray::number(moved(offset)).rightJustified(10, '0'));
        }
    }
    QByteArray out;
    out.reserve(pdf.size());
    qsizetype copied = 0;
    for (const Edit& e : edits) {
        if (e.At < copied || e.At + e.Length > xref) return false;
        out += QByteArrayView(pdf).sliced(copied, e.At - copied);
        out += e.With;
        copied = e.At + e.Length;
    }
    out += QByteArrayView(pdf).sliced(copied, xref - copied);
    out += table;
    out += "startxref\n" + QByteArray::number(moved(xref)) + "\n%%EOF\n";
    pdf = std::move(out);
    return static_cast<int>(edits.size()) == maps;
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
    // Every map written anew; one whose numbering cannot be reproduced at
    // least loses its look-alikes.
    const auto faces = DrawnGlyphs(report);
    if (!RewriteToUnicode(bytes, faces)) RepairToUnicode(bytes, LookAlikes(report));
    // Written whole or not at all: a failed export never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    return file.commit();
}

} // namespace lty::report
