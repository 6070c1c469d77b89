#include "ui/print/print_settings.h"

#include <QDir>
#include <QSettings>

namespace lty {
namespace {

// The user's own settings of the program, kept apart from its database.
struct Settings : QSettings {
    Settings() : QSettings(QSettings::NativeFormat, QSettings::UserScope, "ltyquote", "ltyquote") {}
};

constexpr const char* kVersionKey = "print/version";
constexpr const char* kFolderKey = "print/pdfFolder";

} // namespace

PrintVersion RememberedPrintVersion() {
    return PrintVersionFromKey(Settings().value(kVersionKey).toString().toStdString());
}

void RememberPrintVersion(PrintVersion version) {
    Settings().setValue(kVersionKey, QString::fromLatin1(PrintVersionKey(version)));
}

QString LastPdfFolder() {
    const QString folder = Settings().value(kFolderKey).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QString();
}

void RememberPdfFolder(const QString& folder) { Settings().setValue(kFolderKey, folder); }

} // namespace lty
