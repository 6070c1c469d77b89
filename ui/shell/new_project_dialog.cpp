#include "ui/shell/new_project_dialog.h"

#include "ui/shell/main_window.h"
#include "ui/common/pictures.h"
#include "ui/quotation/house_type_dialog.h"

#include <QHBoxLayout>
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
    connect(ListView1, &QListWidget::itemActivated, this, &TFrmNewProject::ListView1DblClick);

    Button1 = new QPushButton(QStringLiteral("关闭"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);
    // Enter alone makes a blank project, the common case.
    ListView1->setCurrentRow(0);
    ListView1->setFocus();
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
    if (main_->OpenProjectWindow(index)) close();
}

} // namespace lty
