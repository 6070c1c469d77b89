#include "ui/shell/new_project_dialog.h"

#include "core/data/data_module.h"
#include "ui/common/globals.h"
#include "ui/common/pictures.h"
#include "ui/quotation/house_type_dialog.h"
#include "ui/shell/main_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lty {

TFrmNewProject::TFrmNewProject(TFrmMain* main)
    : QDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                        Qt::MSWindowsFixedSizeDialogHint),
      main_(main) {
    setObjectName(QStringLiteral("TFrmNewProject"));
    setWindowTitle(QStringLiteral("新装饰工程"));
    setModal(false);
    // A new one comes with every use; the closed ones need not wait for the exit.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(428, 242);

    ListView1 = new QListWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("新装饰工程"));
    ListView1->setViewMode(QListView::IconMode);
    ListView1->setIconSize(QSize(32, 32));
    ListView1->setGridSize(QSize(96, 72));
    ListView1->setMovement(QListView::Static);
    ListView1->setResizeMode(QListView::Adjust);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->addItem(new QListWidgetItem(Picture("blank_project"), QStringLiteral("空白工程")));
    ListView1->addItem(new QListWidgetItem(Picture("house_type"), QStringLiteral("户型选择")));
    ListTemplates();
    connect(ListView1, &QListWidget::itemActivated, this, &TFrmNewProject::ListView1DblClick);
    ListView1->installEventFilter(this);

    BtnDeleteTemplate = new QPushButton(QStringLiteral("删除模板(&D)"), this);
    BtnDeleteTemplate->setObjectName(QStringLiteral("BtnDeleteTemplate"));
    connect(BtnDeleteTemplate, &QPushButton::clicked, this, &TFrmNewProject::DeleteTemplateClick);
    connect(ListView1, &QListWidget::currentRowChanged, this,
            [this] { BtnDeleteTemplate->setEnabled(SelectedTemplate() != 0); });

    Button1 = new QPushButton(QStringLiteral("关闭"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnDeleteTemplate);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);
    // Enter alone makes a blank project, the common case.
    ListView1->setCurrentRow(0);
    BtnDeleteTemplate->setEnabled(false);
    ListView1->setFocus();
}

void TFrmNewProject::ListTemplates() {
    if (!DM) return;
    for (const auto& t : DM->LoadTemplates()) {
        auto* item = new QListWidgetItem(Picture("project"), QString::fromStdString(t.Name));
        item->setData(kTemplateIdRole, QVariant::fromValue<qlonglong>(t.ID));
        item->setToolTip(QStringLiteral("模板「%1」，保存于 %2")
                             .arg(QString::fromStdString(t.Name), QString::fromStdString(t.DateCreated)));
        ListView1->addItem(item);
    }
}

std::int64_t TFrmNewProject::SelectedTemplate() const {
    const auto selected = ListView1->selectedItems();
    if (selected.isEmpty() || ListView1->row(selected.first()) < 2) return 0;
    return selected.first()->data(kTemplateIdRole).toLongLong();
}

void TFrmNewProject::DeleteTemplateClick() {
    const std::int64_t id = SelectedTemplate();
    if (id == 0 || !DM) return;
    QListWidgetItem* item = ListView1->selectedItems().first();
    if (!Messages().Ask("确认要删除模板「" + item->text().toStdString() + "」吗？", "删除提示")) return;
    if (!DM->DeleteTemplate(id)) Messages().Show("删除模板失败！");
    // Gone either way: deleted now, or by someone else before.
    delete ListView1->takeItem(ListView1->row(item));
    ListView1->setCurrentRow(0);
}

bool TFrmNewProject::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && SelectedTemplate() != 0) {
        DeleteTemplateClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmNewProject::ListView1DblClick() {
    const auto selected = ListView1->selectedItems();
    const int index = selected.isEmpty() ? -1 : ListView1->row(selected.first());
    if (index == 1) {
        TFrmSelectHuxing* dialog = main_->HouseTypeDialog();
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
        close();
        return;
    }
    if (const std::int64_t id = SelectedTemplate(); id != 0) {
        if (main_->OpenTemplate(id)) close();
        return;
    }
    if (main_->OpenProjectWindow(index)) close();
}

} // namespace lty
