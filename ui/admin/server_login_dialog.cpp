#include "ui/admin/server_login_dialog.h"

#include "core/data/data_module.h"
#include "ui/admin/admin_widgets.h"
#include "ui/common/globals.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lty {
namespace {

std::unique_ptr<TDM>& Session() {
    static std::unique_ptr<TDM> manager;
    return manager;
}

std::optional<ManagerLogin>& Preset() {
    static std::optional<ManagerLogin> login;
    return login;
}

// The user name last accepted, offered again; never the password.
QString& LastUser() {
    static QString user = QStringLiteral("lty_admin");
    return user;
}

} // namespace

TFrmServerLogin::TFrmServerLogin(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TFrmServerLogin"));
    setWindowTitle(QStringLiteral("服务器管理员登录"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("系统管理在数据库服务器上修改施工项目、价格和公司资料，\n"
                                       "请输入服务器管理员的用户名和密码："),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    EditUser = new QLineEdit(LastUser(), this);
    EditUser->setObjectName(QStringLiteral("EditUser"));
    EditPassword = new QLineEdit(this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    ShowStars(EditPassword);
    Button1 = new QPushButton(QStringLiteral("确定(&O)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("取消(&C)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* b : {Button1, Button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* fields = new QGridLayout;
    AddField(fields, 0, QStringLiteral("用户名："), EditUser);
    AddField(fields, 1, QStringLiteral("密码："), EditPassword);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* body = new QVBoxLayout(this);
    body->setContentsMargins(16, 14, 16, 12);
    body->addWidget(Label1);
    body->addLayout(fields);
    body->addLayout(buttons);

    // Enter in the user name goes on to the password; in the password it logs in.
    connect(EditUser, &QLineEdit::returnPressed, EditPassword, qOverload<>(&QWidget::setFocus));
    connect(EditPassword, &QLineEdit::returnPressed, this, &TFrmServerLogin::Button1Click);
    connect(Button1, &QPushButton::clicked, this, &TFrmServerLogin::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    (EditUser->text().isEmpty() ? EditUser : EditPassword)->setFocus();
}

TFrmServerLogin::~TFrmServerLogin() = default;

std::unique_ptr<TDM> TFrmServerLogin::TakeManager() { return std::move(manager_); }

void TFrmServerLogin::Button1Click() {
    if (!DM) return;
    const ManagerLogin login{TrimmedText(EditUser->text()), S(EditPassword->text())};
    std::string refusal;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    manager_ = OpenManagerDataModule(*DM, Messages(), login, refusal);
    QGuiApplication::restoreOverrideCursor();
    // The password is not kept past this attempt, not even in the box.
    EditPassword->clear();
    if (manager_) {
        LastUser() = EditUser->text().trimmed();
        accept();
        return;
    }
    if (!refusal.empty()) Messages().Show(refusal);
    EditPassword->setFocus();
}

TDM& AdminData() { return Session() ? *Session() : *DM; }

bool ManagerSessionOpen() { return Session() != nullptr; }

bool OpenManagerSession(QWidget* owner) {
    if (Session() || !DM || !ManagerLoginNeeded(*DM)) return true;
    if (Preset()) {
        std::string refusal;
        Session() = OpenManagerDataModule(*DM, Messages(), *Preset(), refusal);
        if (!Session() && !refusal.empty()) Messages().Show(refusal);
        return Session() != nullptr;
    }
    TFrmServerLogin dialog(owner);
    if (dialog.exec() != QDialog::Accepted) return false;
    Session() = dialog.TakeManager();
    return Session() != nullptr;
}

void CloseManagerSession() { Session().reset(); }

void SetPresetManagerLogin(std::optional<ManagerLogin> login) { Preset() = std::move(login); }

} // namespace lty
