// The administrator password dialog. It sets PasswordAccepted when the
// stored password was entered; a wrong entry keeps it open.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace lty {

class TFrmPassWord : public QDialog {
    Q_OBJECT
public:
    explicit TFrmPassWord(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace lty
