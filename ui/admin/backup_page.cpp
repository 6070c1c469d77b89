#include "ui/admin/backup_page.h"

#include "core/data/data_module.h"
#include "core/upkeep/backup.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/globals.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace lty {
namespace {
constexpr int kPathRole = Qt::UserRole;
}

TBackupPage::TBackupPage(std::function<bool()> mayRestore, std::function<void()> restored, QWidget* parent)
    : QWidget(parent), mayRestore_(std::move(mayRestore)), restored_(std::move(restored)) {
    setObjectName(QStringLiteral("TabSheet6"));
    auto* intro = new QLabel(QStringLiteral("每次“系统初始化”之前都会自动备份全部数据。选中一个备份后按“恢复”，"
                                            "可把数据恢复到备份时的样子；恢复之前，当前的数据也会先备份。"),
                             this);
    intro->setWordWrap(true);
    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lvBackups = new QTreeWidget(this);
    lvBackups->setObjectName(QStringLiteral("lvBackups"));
    lvBackups->setAccessibleName(QStringLiteral("备份列表"));
    lvBackups->setRootIsDecorated(false);
    lvBackups->setHeaderLabels({QStringLiteral("备份时间"), QStringLiteral("大小"), QStringLiteral("文件名")});
    lvBackups->setColumnWidth(0, 170);
    lvBackups->setColumnWidth(1, 90);
    lvBackups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnBackup = new QPushButton(QStringLiteral("立即备份"), this);
    btnBackup->setObjectName(QStringLiteral("btnBackup"));
    btnRestore = new QPushButton(QStringLiteral("恢复"), this);
    btnRestore->setObjectName(QStringLiteral("btnRestore"));
    btnOpenFolder = new QPushButton(QStringLiteral("打开文件夹"), this);
    btnOpenFolder->setObjectName(QStringLiteral("btnOpenFolder"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnBackup);
    buttons->addWidget(btnRestore);
    buttons->addStretch();
    buttons->addWidget(btnOpenFolder);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(intro);
    layout->addWidget(lblFolder);
    layout->addWidget(lvBackups, 1);
    layout->addLayout(buttons);

    connect(btnBackup, &QPushButton::clicked, this, &TBackupPage::btnBackupClick);
    connect(btnRestore, &QPushButton::clicked, this, &TBackupPage::btnRestoreClick);
    connect(btnOpenFolder, &QPushButton::clicked, this, &TBackupPage::btnOpenFolderClick);
    connect(lvBackups, &QTreeWidget::itemSelectionChanged, this,
            [this] { btnRestore->setEnabled(lvBackups->currentItem() != nullptr); });
}

void TBackupPage::RefreshList() {
    lblFolder->setText(QStringLiteral("备份文件夹：") + QDir::toNativeSeparators(Q(BackupFolder(AdminData()))));
    lvBackups->clear();
    for (const BackupCopy& c : ListBackups(AdminData())) {
        auto* item = new QTreeWidgetItem(lvBackups, {Q(c.TimeText), Q(SizeText(c.Size)), Q(c.Name)});
        item->setData(0, kPathRole, Q(c.Path));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    btnRestore->setEnabled(false);
}

void TBackupPage::btnBackupClick() {
    const BackupResult r = MakeBackup(AdminData());
    if (r.Ok)
        Messages().Show("备份成功！数据已备份到：" + r.Path);
    else
        Messages().Show("备份数据失败！");
    RefreshList();
}

void TBackupPage::btnRestoreClick() {
    const QTreeWidgetItem* item = lvBackups->currentItem();
    if (!item) return;
    const std::string name = S(item->text(2));
    if (!Messages().Ask("确认要用备份“" + name + "”（" + S(item->text(0)) +
                            "）恢复数据吗？\n恢复之前，当前的数据会先另行备份。",
                        "询问"))
        return;
    if (!PasswordGuard(window())) return;
    if (mayRestore_ && !mayRestore_()) return;
    const RestoreResult r = RestoreBackup(AdminData(), S(item->data(0, kPathRole).toString()));
    if (!r.Ok) {
        Messages().Show(r.CopyRefused ? r.Error : "恢复数据失败，数据没有改变！");
        RefreshList();
        return;
    }
    restored_();
    Messages().Show("恢复成功！恢复之前的数据已备份到：" + r.SafetyCopy);
    RefreshList();
}

void TBackupPage::btnOpenFolderClick() {
    const QString folder = Q(BackupFolder(AdminData()));
    QDir().mkpath(folder);
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace lty
