#include "ui/shell/welcome_panel.h"

#include "core/data/data_module.h"
#include "ui/common/globals.h"
#include "ui/shell/main_window.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lty {

TWelcomePanel::TWelcomePanel(TFrmMain* main) : QFrame(main->MdiArea()->viewport()), main_(main) {
    setObjectName(QStringLiteral("WelcomePanel"));
    setAccessibleName(QStringLiteral("欢迎使用岚庭雅装饰报价"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    auto* title = new QLabel(QStringLiteral("欢迎使用岚庭雅装饰报价"), this);
    title->setObjectName(QStringLiteral("WelcomeTitle"));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    title->setFont(f);
    auto* lead = new QLabel(QStringLiteral("还没有装饰工程。从一个户型开始做第一份报价："), this);
    lead->setObjectName(QStringLiteral("WelcomeLead"));

    NewProjectButton = new QPushButton(main->ActNewProject->icon(), QStringLiteral("新建装饰工程（Ctrl+N）"), this);
    NewProjectButton->setObjectName(QStringLiteral("WelcomeNewProject"));
    NewProjectButton->setAccessibleName(QStringLiteral("新建装饰工程"));
    NewProjectButton->setAccessibleDescription(QStringLiteral("快捷键 Ctrl+N"));
    HelpButton = new QPushButton(main->acthelp->icon(), QStringLiteral("打开帮助（F1）"), this);
    HelpButton->setObjectName(QStringLiteral("WelcomeHelp"));
    HelpButton->setAccessibleName(QStringLiteral("打开帮助"));
    HelpButton->setAccessibleDescription(QStringLiteral("快捷键 F1：第一份报价的步骤、快捷键和提示信息"));
    connect(NewProjectButton, &QPushButton::clicked, main->ActNewProject, &QAction::trigger);
    connect(HelpButton, &QPushButton::clicked, main->acthelp, &QAction::trigger);

    PasswordHint = new QLabel(QStringLiteral("系统管理的初始密码是 admin，请在“系统管理 → 系统管理 → 修改密码”中改成自己的密码。"), this);
    PasswordHint->setObjectName(QStringLiteral("WelcomePasswordHint"));
    PasswordHint->setWordWrap(true);
    PasswordHint->setFocusPolicy(Qt::TabFocus); // a screen reader reaches it by Tab as well
    PasswordHint->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(lead);
    layout->addWidget(NewProjectButton);
    layout->addWidget(HelpButton);
    layout->addSpacing(6);
    layout->addWidget(PasswordHint);
    setFixedWidth(440);
    setTabOrder(NewProjectButton, HelpButton);
    setTabOrder(HelpButton, PasswordHint);

    // Projects come and go with the project tree, windows with the work area.
    QAbstractItemModel* model = main->TreeView1->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &TWelcomePanel::Update);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TWelcomePanel::Update);
    connect(model, &QAbstractItemModel::modelReset, this, &TWelcomePanel::Update);
    connect(main->MdiArea(), &QMdiArea::subWindowActivated, this, &TWelcomePanel::Update);
    parentWidget()->installEventFilter(this);
    hide();
}

void TWelcomePanel::Update() {
    QTreeWidget* tree = main_->TreeView1;
    const bool noProject = tree->topLevelItemCount() == 0 || (tree->topLevelItemCount() == 1 &&
                                                              tree->topLevelItem(0)->childCount() == 0);
    const bool show = DM && DM->Connected() && noProject && main_->MdiArea()->subWindowList().isEmpty();
    if (show == !isHidden()) return;
    setVisible(show);
    if (!show) return;
    adjustSize();
    Center();
    raise();
    // The first time, the keyboard starts on the first step.
    if (!focused_) {
        focused_ = true;
        NewProjectButton->setFocus(Qt::OtherFocusReason);
    }
}

void TWelcomePanel::Center() {
    const QSize area = parentWidget()->size();
    move(std::max(0, (area.width() - width()) / 2), std::max(0, (area.height() - height()) / 3));
}

bool TWelcomePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) Center();
    return QFrame::eventFilter(watched, event);
}

} // namespace lty
