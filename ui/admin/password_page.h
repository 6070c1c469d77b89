// Page "修改密码": a new password, entered twice.
#pragma once

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace lty {

class TPasswordPage : public QWidget {
    Q_OBJECT
public:
    explicit TPasswordPage(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;

    void Button1Click();
};

} // namespace lty
