// The user guide as the help window shows it: the Markdown of docs/guide,
// compiled into the program, turned into one HTML page whose every heading
// carries an anchor, so the window can go to a section and keep a history.
#pragma once

#include <QString>

#include <vector>

namespace lty {

struct GuideHeading {
    int Level = 0;   // 1 for "#", 2 for "##", ...
    QString Text;
    QString Anchor;  // the name given by <a id="..."></a> on the line above, or "section-N"
};

struct PreparedGuide {
    QString Html;
    std::vector<GuideHeading> Headings;
};

// `markdown` as GitHub shows it, with `<a id="name"></a>` alone on the line
// above a heading naming that heading. Pictures wider than `maxImageWidth`
// pixels are shown scaled down to it; `imageFolder` is where their relative
// names are looked up to learn their size (":/guide/" in the program).
PreparedGuide PrepareGuide(const QString& markdown, const QString& imageFolder, int maxImageWidth);

// The guide compiled into the program.
QString GuideMarkdown();
inline constexpr const char* kGuideFolder = ":/guide/";

} // namespace lty
