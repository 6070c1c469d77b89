#include "ui/common/application.h"

#include "ui/common/globals.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>

namespace lty {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    // Simplified Chinese faces for every text, on screen and on paper.
    QFont font(QStringLiteral("Noto Sans CJK SC"), 9);
    font.setFamilies(
        {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"), QStringLiteral("sans-serif")});
    setFont(font);
    // Qt's own dialogs and buttons (printer, file, preview) in Simplified Chinese.
    auto* qtTranslations = new QTranslator(this);
    if (qtTranslations->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTranslations);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(e.what());
    } catch (...) {
        ReportError("未知错误");
    }
    return false;
}

void TApplication::ReportError(const std::string& text) {
    Messages().ShowBox(text, kApplicationTitle, MessageIcon::Stop);
}

} // namespace lty
