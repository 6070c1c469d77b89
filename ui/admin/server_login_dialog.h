// The administrator's login on a server, asked before 系统管理 (and
// 系统初始化) opens: the server user name and password of the role that may
// write the catalog, prices, company, designers and password. The login
// lives only in the connection it opens, which closes with 系统管理; on the
// database file nothing is asked.
#pragma once

#include "core/upkeep/manager_login.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lty {

class TDM;

class TFrmServerLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFrmServerLogin(QWidget* parent = nullptr);
    ~TFrmServerLogin() override;

    QLabel* Label1 = nullptr;
    QLineEdit* EditUser = nullptr;
    QLineEdit* EditPassword = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void Button1Click();
    // The data module of the accepted login, handed on once.
    std::unique_ptr<TDM> TakeManager();

private:
    std::unique_ptr<TDM> manager_;
};

// 系统管理's data module: the administrator's while the session is open,
// else the program's own DM (always on the database file).
TDM& AdminData();
bool ManagerSessionOpen();
// On the file: true at once. On a server: true when a session is open, or
// after the administrator's login was asked and accepted; false when it was
// cancelled.
bool OpenManagerSession(QWidget* owner);
// Closes the administrator's connection, and with it the login.
void CloseManagerSession();
// For tests: a login used instead of asking (none: ask).
void SetPresetManagerLogin(std::optional<ManagerLogin> login);

} // namespace lty
