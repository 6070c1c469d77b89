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

// CJK fonts give one glyph to an ideograph and to its radical or kanbun
// look-alike (工 and ⼯ U+2F2F). Qt's PDF writer names each glyph after the
// lowest such code point, so copied or searched text would read ⼯程 instead of
// 工程. For the fonts of a report this gives the look-alikes to undo.
QHash<char16_t, char16_t> LookAlikes(const LaidOutReport& report);

// Rewrites the Unicode targets of the PDF's ToUnicode maps through `map`, in
// place (every target keeps its four hex digits, so no offset moves).
void RepairToUnicode(QByteArray& pdf, const QHash<char16_t, char16_t>& map);

} // namespace lty::report
