#include "ui/admin/password_dialog.h"

#include "core/data/data_module.h"
#include "ui/admin/admin_widgets.h"
#include "ui/common/globals.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace lty {

TFrmPassWord::TFrmPassWord(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TFrmPassWord"));
    setWindowTitle(QStringLiteral("输入密码"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("请输入系统管理员密码："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    ShowStars(Edit1);
    Label1->setBuddy(Edit1);
    Edit1->setAccessibleName(QStringLiteral("系统管理员密码"));
    Button1 = new QPushButton(QStringLiteral("确定(&O)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("取消(&C)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    // Enter belongs to the entry alone; a default button would act a second time.
    for (QPushButton* b : {Button1, Button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 14, 16, 6);
    body->addWidget(Label1);
    body->addWidget(Edit1);
    body->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(body);
    outer->addWidget(StatusBar1);
    setFixedSize(343, 129);

    connect(Edit1, &QLineEdit::returnPressed, this, &TFrmPassWord::Button1Click);
    connect(Button1, &QPushButton::clicked, this, &TFrmPassWord::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrmPassWord::Button2Click);
}

void TFrmPassWord::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFrmPassWord::FormShow() {
    Edit1->clear();
    Edit1->setFocus();
}

void TFrmPassWord::Button1Click() {
    // The hash check takes a noticeable moment by design.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const PasswordVerdict verdict = DM ? DM->VerifyPassword(TrimmedText(Edit1->text())) : PasswordVerdict::Differs;
    QGuiApplication::restoreOverrideCursor();
    if (verdict == PasswordVerdict::Matches) {
        PasswordAccepted = true;
        accept();
        return;
    }
    Messages().Show(verdict == PasswordVerdict::Damaged ? "密码数据已损坏，请联系管理员！" : "密码错误，请重新输入！");
    Edit1->selectAll();
    Edit1->setFocus();
}

void TFrmPassWord::Button2Click() { reject(); }

} // namespace lty
