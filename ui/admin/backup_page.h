// Page "数据备份": the copies of the database in Data/backup/, a copy made
// now, a copy restored, and the folder opened in the desktop's file manager.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lty {

class TBackupPage : public QWidget {
    Q_OBJECT
public:
    // `mayRestore` runs after the question and the password, just before a
    // copy replaces the data; false stops the restore. `restored` runs after
    // a copy replaced the data: everything shown has to be read again.
    TBackupPage(std::function<bool()> mayRestore, std::function<void()> restored, QWidget* parent = nullptr);

    QTreeWidget* lvBackups = nullptr;
    QLabel* lblFolder = nullptr;
    QPushButton* btnBackup = nullptr;
    QPushButton* btnRestore = nullptr;
    QPushButton* btnOpenFolder = nullptr;

    void RefreshList();
    void btnBackupClick();
    void btnRestoreClick();
    void btnOpenFolderClick();

private:
    std::function<bool()> mayRestore_;
    std::function<void()> restored_;
};

} // namespace lty
