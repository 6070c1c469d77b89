#include "ui/admin/password_page.h"

#include "core/data/data_module.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/globals.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lty {

TPasswordPage::TPasswordPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet1"));
    GroupBox1 = new QGroupBox(QStringLiteral("修改密码"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedSize(330, 228);
    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    ShowStars(Edit1);
    Edit2 = new QLineEdit;
    Edit2->setObjectName(QStringLiteral("Edit2"));
    ShowStars(Edit2);
    Button1 = new QPushButton(QStringLiteral("确定(&O)"));
    Button1->setObjectName(QStringLiteral("Button1"));

    auto* grid = new QGridLayout(GroupBox1);
    grid->setContentsMargins(20, 30, 20, 20);
    grid->setVerticalSpacing(14);
    AddField(grid, 0, QStringLiteral("请输入新密码："), Edit1);
    AddField(grid, 1, QStringLiteral("重新输入新密码："), Edit2);
    grid->addWidget(Button1, 2, 1, Qt::AlignRight);
    grid->setRowStretch(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(GroupBox1, 0, Qt::AlignLeft | Qt::AlignTop);

    connect(Edit1, &QLineEdit::returnPressed, this, [this] {
        Edit2->setFocus();
        Edit2->selectAll();
    });
    connect(Edit2, &QLineEdit::returnPressed, this, &TPasswordPage::Button1Click);
    connect(Button1, &QPushButton::clicked, this, &TPasswordPage::Button1Click);
}

void TPasswordPage::Button1Click() {
    const std::string first = TrimmedText(Edit1->text());
    if (first.empty()) {
        Messages().Show("新密码不能为空，请重新输入！");
        return;
    }
    if (first != TrimmedText(Edit2->text())) {
        Messages().Show("两次输入的密码不一致，请重新输入！");
        return;
    }
    if (!AdminData().UpdatePassword(first)) {
        Messages().Show("修改密码失败！");
        return;
    }
    Messages().Show("修改密码成功！");
    Edit1->clear();
    Edit2->clear();
}

} // namespace lty
