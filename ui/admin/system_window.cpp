#include "ui/admin/system_window.h"

#include "core/data/data_module.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/backup_page.h"
#include "ui/admin/catalog_page.h"
#include "ui/admin/password_page.h"
#include "ui/admin/price_page.h"
#include "ui/admin/reference_pages.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/globals.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lty {
namespace {

// The window is a QWidget with the dialog's window flags (a QDialog would
// turn Enter in every box of its pages into a click on a default button), so
// assistive tools are told its role here: a dialog, not a filler pane.
QAccessibleInterface* SystemWindowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(TFrmSystem::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

} // namespace

// A dialog-type window, though not modal: the window system then keeps it
// above the main window, where a click into a project no longer buries it.
TFrmSystem::TFrmSystem(QWidget* owner, AdminHooks hooks)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("TFrmSystem"));
    setWindowTitle(QStringLiteral("系统管理"));
    static const bool accessibleRole = (QAccessible::installFactory(SystemWindowAccessible), true);
    (void)accessibleRole;

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    const auto rebuild = [this] { RebuildCatalogTrees(); };
    TabSheet2 = new TCatalogPage(rebuild);
    TabSheet3 = new TPricePage(rebuild);
    TabSheet1 = new TPasswordPage;
    TabSheet4 = new TCompanyPage;
    TabSheet5 = new TDesignerPage;
    TabSheet6 = new TBackupPage([this] { return ProjectWindowsClosed(hooks_); }, [this] { Restored(); });
    PageControl1->addTab(TabSheet2, QStringLiteral("装修项目分类管理"));
    PageControl1->addTab(TabSheet3, QStringLiteral("报价管理"));
    PageControl1->addTab(TabSheet1, QStringLiteral("修改密码"));
    PageControl1->addTab(TabSheet4, QStringLiteral("公司资料管理"));
    PageControl1->addTab(TabSheet5, QStringLiteral("设计师资料管理"));
    PageControl1->addTab(TabSheet6, QStringLiteral("数据备份"));
    PageControl1->setCurrentIndex(0);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1);
    layout->addWidget(StatusBar1);
    setFixedSize(675, 620);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFrmSystem::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFrmSystem::closeEvent(QCloseEvent* event) {
    // Only hidden: the window and its state (EditMode among it) are kept.
    QWidget::closeEvent(event);
    FormClose();
}

void TFrmSystem::FormShow() {
    RebuildCatalogTrees();
    TabSheet3->Refill();
    TabSheet5->RefreshDesignerGrid();
    TabSheet4->ShowCompanyInfo();
    TabSheet6->RefreshList();
}

void TFrmSystem::FormClose() {
    // The administrator's login goes with the window.
    CloseManagerSession();
    if (hooks_.RebuildCatalogTree) hooks_.RebuildCatalogTree();
}

void TFrmSystem::RebuildCatalogTrees() {
    TTreeView tree;
    AdminData().LoadCatalogTree(tree);
    RenderCatalogTree(TabSheet2->TreeView1, tree);
    RenderCatalogTree(TabSheet3->TreeView2, tree);
}

void TFrmSystem::Restored() {
    ReloadAfterDataChange(hooks_, true);
    FormShow();
}

} // namespace lty
