#include "ui/app/main_window.h"

#include "core/text/date_text.h"
#include "ui/app/globals.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace lty {
namespace {
constexpr const char* kContactText = "岚庭雅装饰 服务热线：0571-88886666";
}

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    resize(992, 658);
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mdiArea_);

    ActExit = new QAction(QStringLiteral("退出"), this);
    ActExit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(ActExit, &QAction::triggered, this, &TFrmMain::ActExitExecute);

    MenuProject = menuBar()->addMenu(QStringLiteral("装饰工程"));
    MenuProject->addAction(ActExit);

    ToolBar1 = addToolBar(QStringLiteral("工具栏"));
    ToolBar1->setMovable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->addAction(ActExit);

    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setMinimumWidth(200);
        panel->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(panel);
        statusPanels_.push_back(panel);
    }
    FormCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::FormCreate() {
    // The start date stays as it is for the whole run.
    statusPanels_[1]->setText(QString::fromStdString(TodayText()));
    statusPanels_[2]->setText(QString::fromUtf8(kContactText));
    ProgramDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";
    WindowMenuEntries.clear();
}

void TFrmMain::ActExitExecute() { close(); }

bool TFrmMain::FormCloseQuery() { return Messages().Ask("确认退出系统吗？", "询问"); }

void TFrmMain::FormClose() {
    // Project windows close without asking to save.
    for (QMdiSubWindow* w : mdiArea_->subWindowList()) w->close();
}

void TFrmMain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

} // namespace lty
