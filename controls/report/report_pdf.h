// PDF output of laid-out pages, with text kept as text a reader can search
// and copy.
#pragma once

#include "controls/report/report.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace lty::report {

// Writes every page to `path`, with the document's title and creator in its
// metadata. False when the file could not be written.
bool WritePdf(const LaidOutReport& report, const QString& path, const QString& title, const QString& creator);

// Qt's PDF writer maps each glyph back to the lowest code point the font's
// cmap gives it: a glyph that shaping substitutes (a digit beside a Latin
// letter, a ligature) is left out, and one shared with a radical or kanbun
// look-alike (工 and ⼯ U+2F2F) reads as the look-alike. WritePdf therefore
// writes the character maps anew from the texts the report draws. Should a
// map's numbering not be the one the report's texts give, that map keeps
// Qt's entries with the look-alikes undone: for the fonts of a report,
// LookAlikes gives them and RepairToUnicode rewrites the maps' Unicode
// targets through them, in place (every target keeps its four hex digits,
// so no offset moves).
QHash<char16_t, char16_t> LookAlikes(const LaidOutReport& report);
void RepairToUnicode(QByteArray& pdf, const QHash<char16_t, char16_t>& map);

} // namespace lty::report
