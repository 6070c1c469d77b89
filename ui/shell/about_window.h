// "关于": who made the program, its version and build date, where its data
// are, and the way to the guide.
#pragma once

#include <QDialog>

class QLabel;

namespace lty {

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* parent);

    // "版本 1.0（构建日期 2026-12-09）".
    static QString VersionText();
    // The database file's path, or the server and database name; never a password.
    static QString DatabaseText();

    QLabel* LabelVersion = nullptr;
    QLabel* LabelDatabase = nullptr;
    QLabel* LabelGuide = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace lty
