// The main window's frame: actions, menus, tool bar, left panel with the two
// trees, status bar, the first showing, help, about and shut-down.
#include "ui/shell/main_window.h"
#include "ui/quotation/quotation_page.h"

#include "controls/menu/keyboard_menu.h"
#include "core/data/change_watcher.h"
#include "core/data/data_module.h"
#include "core/data/tree_nodes.h"
#include "core/text/date_text.h"
#include "core/text/number_text.h"
#include "ui/common/globals.h"
#include "ui/common/pictures.h"
#include "ui/shell/help_window.h"
#include "ui/shell/welcome_panel.h"
#include "ui/print/print_commands.h"
#include "ui/quotation/project_window.h"
#include "ui/shell/about_window.h"
#include "ui/shell/tree_search.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <functional>

namespace lty {
namespace {

constexpr const char* kContactText = "岚庭雅装饰 服务热线：0571-88886666";
constexpr int kHintMilliseconds = 8000;

QAction* NewAction(QObject* owner, const char* name, const char* caption, int picture) {
    auto* a = new QAction(QString::fromUtf8(caption), owner);
    a->setObjectName(QString::fromLatin1(name));
    if (picture >= 0) a->setIcon(MainPicture(picture));
    return a;
}

// A node's tooltip, given while its item is made, before the view sees it.
using TipOf = std::function<QString(const TTreeNode&)>;

// Builds the widget items of a whole tree before any of them reaches the
// view, so the view lays itself out once.
QTreeWidgetItem* MakeItem(const TTreeNode& node, TreeKind kind, std::vector<QTreeWidgetItem*>& expanded,
                          const TipOf& tip) {
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node.Text)});
    if (tip) item->setToolTip(0, tip(node));
    item->setIcon(0, TreePicture(kind, node.ImageIndex, node.SelectedIndex));
    item->setData(0, TFrmMain::kImageRole, node.ImageIndex);
    item->setData(0, TFrmMain::kSelectedImageRole, node.SelectedIndex);
    if (node.Data) {
        item->setData(0, TFrmMain::kIdRole, QString::fromStdString(node.Data->ID));
        item->setData(0, TFrmMain::kHasDataRole, true);
    }
    if (node.Expanded) expanded.push_back(item);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(node.Children.size()));
    for (const auto& c : node.Children) children.append(MakeItem(c, kind, expanded, tip));
    item->addChildren(children);
    return item;
}

void FillTree(QTreeWidget* widget, const TTreeView& tree, TreeKind kind, const TipOf& tip = {}) {
    widget->setUpdatesEnabled(false);
    widget->clear();
    std::vector<QTreeWidgetItem*> expanded;
    QList<QTreeWidgetItem*> top;
    for (const auto& n : tree.Items) top.append(MakeItem(n, kind, expanded, tip));
    widget->addTopLevelItems(top);
    for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
    widget->setUpdatesEnabled(true);
}

QTreeWidget* NewTree(QWidget* parent, const char* name, const char* accessibleName) {
    auto* t = new QTreeWidget(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setAccessibleName(QString::fromUtf8(accessibleName));
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    t->setIndentation(19);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setUniformRowHeights(true);
    t->setExpandsOnDoubleClick(false);
    // Long customer and address texts scroll sideways instead of being cut.
    t->header()->setStretchLastSection(false);
    t->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    return t;
}

// A search box with the line "未找到" under it, shown when a search finds nothing.
QLineEdit* NewSearchBox(QWidget* parent, const char* name, const QString& caption, QLabel*& notFound) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPlaceholderText(caption);
    box->setAccessibleName(caption);
    box->setClearButtonEnabled(true);
    box->addAction(Picture("search"), QLineEdit::LeadingPosition);
    notFound = new QLabel(QStringLiteral("未找到"), parent);
    notFound->setObjectName(QString::fromLatin1(name) + QStringLiteral("NotFound"));
    notFound->setContentsMargins(4, 0, 0, 0);
    notFound->hide();
    return box;
}

QWidget* NewPage(QWidget* parent, const char* name, QWidget* content, QWidget* above = nullptr,
                 QWidget* aboveToo = nullptr) {
    auto* page = new QWidget(parent);
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (above) layout->addWidget(above);
    if (aboveToo) layout->addWidget(aboveToo);
    if (content) layout->addWidget(content);
    return page;
}

} // namespace

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TFrmMain"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(Picture("ltyquote"));
    resize(992, 658);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("MdiArea"));
    mdiArea_->setBackground(palette().brush(QPalette::Dark));
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TFrmMain::SubWindowActivated);

    CreateActions();
    CreateMenus();
    CreateRefresh();
    CreateLeftPanel();

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(mdiArea_);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setCollapsible(1, false);
    Splitter1->setSizes({241, 751});
    setCentralWidget(Splitter1);

    statusBar()->setObjectName(QStringLiteral("STBar_Main"));
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("STBar_Main_Panel%1").arg(i));
        panel->setMinimumWidth(200);
        panel->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(panel);
        statusPanels_.push_back(panel);
    }
    FormCreate();
    new TWelcomePanel(this); // shows itself while there is no project
}

TFrmMain::~TFrmMain() {
    // The project windows go first, while this window can still take their
    // menu entries away.
    for (QMdiSubWindow* w : mdiArea_->subWindowList()) delete w;
}

void TFrmMain::CreateActions() {
    ActNewProject = NewAction(this, "ActNewProject", "新建装饰工程", 0);
    ActNewProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(ActNewProject, &QAction::triggered, this, &TFrmMain::ActNewProjectExecute);
    SaveProject = NewAction(this, "SaveProject", "保存装饰工程", 2);
    SaveProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(SaveProject, &QAction::triggered, this, &TFrmMain::SaveProjectExecute);
    DeleteProject = NewAction(this, "DeleteProject", "删除装饰工程", 5);
    connect(DeleteProject, &QAction::triggered, this, &TFrmMain::DeleteProjectExecute);
    ActPrint = NewAction(this, "ActPrint", "打印", 3);
    ActPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(ActPrint, &QAction::triggered, this, &TFrmMain::ActPrintExecute);
    ActPreview = NewAction(this, "ActPreview", "打印预览", 8);
    connect(ActPreview, &QAction::triggered, this, &TFrmMain::ActPreviewExecute);
    ActExportPdf = NewAction(this, "ActExportPdf", "导出PDF", -1);
    ActExportPdf->setIcon(Picture("export_pdf"));
    ActExportPdf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    KeepShortcutFromTextFields(ActExportPdf); // a line edit would take Ctrl+E as "end of line"
    connect(ActExportPdf, &QAction::triggered, this, &TFrmMain::ActExportPdfExecute);
    ActExportExcel = NewAction(this, "ActExportExcel", "导出Excel", -1);
    ActExportExcel->setIcon(Picture("export_xlsx"));
    ActExportExcel->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    KeepShortcutFromTextFields(ActExportExcel); // a line edit would select to the end of the line
    connect(ActExportExcel, &QAction::triggered, this, &TFrmMain::ActExportExcelExecute);
    ActHindLeft = NewAction(this, "ActHindLeft", "显示/隐藏资源栏", 7);
    connect(ActHindLeft, &QAction::triggered, this, &TFrmMain::ActHindLeftExecute);
    acthelp = NewAction(this, "acthelp", "帮助", 9);
    acthelp->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 in any window of the program: the help at that window's section.
    acthelp->setShortcutContext(Qt::ApplicationShortcut);
    connect(acthelp, &QAction::triggered, this, &TFrmMain::acthelpExecute);
    InstallModalHelpKey(this);
    ActExit = NewAction(this, "ActExit", "退出", 6);
    connect(ActExit, &QAction::triggered, this, &TFrmMain::ActExitExecute);
    ActOpenProject = NewAction(this, "ActOpenProject", "打开装饰工程", -1);
    connect(ActOpenProject, &QAction::triggered, this, &TFrmMain::TreeView1DblClick);
    ActCopyProject = NewAction(this, "ActCopyProject", "复制为新工程", -1);
    connect(ActCopyProject, &QAction::triggered, this, &TFrmMain::CopyProjectExecute);
    ActSaveTemplate = NewAction(this, "ActSaveTemplate", "保存为模板", -1);
    connect(ActSaveTemplate, &QAction::triggered, this, &TFrmMain::SaveTemplateExecute);
    ActReprice = NewAction(this, "ActReprice", "重新计价", -1);
    connect(ActReprice, &QAction::triggered, this, &TFrmMain::RepriceExecute);
    N15 = NewAction(this, "N15", "关于", -1);
    connect(N15, &QAction::triggered, this, &TFrmMain::N15Click);
    N20 = NewAction(this, "N20", "系统管理", -1);
    connect(N20, &QAction::triggered, this, &TFrmMain::N20Click);
    N25 = NewAction(this, "N25", "系统初始化", -1);
    connect(N25, &QAction::triggered, this, &TFrmMain::N25Click);
    ActFindCatalog = NewAction(this, "ActFindCatalog", "搜索施工项目", -1);
    ActFindCatalog->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(ActFindCatalog, &QAction::triggered, this, [this] {
        Panel1->show();
        PageControl1->setCurrentWidget(TabSheet2);
        CatalogSearch->setFocus(Qt::ShortcutFocusReason);
        CatalogSearch->selectAll();
    });
    addAction(ActFindCatalog);
    ActFindProject = NewAction(this, "ActFindProject", "搜索装饰工程", -1);
    ActFindProject->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(ActFindProject, &QAction::triggered, this, [this] {
        Panel1->show();
        PageControl1->setCurrentWidget(TabSheet1);
        ProjectSearch->setFocus(Qt::ShortcutFocusReason);
        ProjectSearch->selectAll();
    });
    addAction(ActFindProject);
}

void TFrmMain::CreateMenus() {
    MenuProject = menuBar()->addMenu(QStringLiteral("装饰工程"));
    MenuProject->setObjectName(QStringLiteral("MenuProject"));
    MenuProject->addActions({ActNewProject, SaveProject, DeleteProject});
    MenuProject->addSeparator();
    MenuProject->addActions({ActCopyProject, ActSaveTemplate, ActReprice});
    MenuProject->addSeparator();
    MenuProject->addActions({ActPreview, ActPrint, ActExportPdf, ActExportExcel});
    // The customer's quotation or the crew's sheet, for all four commands.
    QMenu* versions = NewPrintVersionMenu(this);
    MenuProject->addMenu(versions);
    MenuProject->addSeparator();
    MenuProject->addAction(ActExit);

    MenuSystem = menuBar()->addMenu(QStringLiteral("系统管理"));
    MenuSystem->setObjectName(QStringLiteral("MenuSystem"));
    MenuSystem->addActions({N20, N25});

    MenuWindow = menuBar()->addMenu(QStringLiteral("窗口"));
    MenuWindow->setObjectName(QStringLiteral("MenuWindow"));
    MenuWindow->addAction(ActHindLeft);
    MenuWindow->addSeparator();
    N1 = MenuWindow->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));

    MenuHelp = menuBar()->addMenu(QStringLiteral("帮助"));
    MenuHelp->setObjectName(QStringLiteral("MenuHelp"));
    MenuHelp->addActions({acthelp, N15});

    ToolBar1 = addToolBar(QStringLiteral("工具栏"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->addActions({ActNewProject, SaveProject});
    ToolBar1->addSeparator();
    ToolBar1->addActions({ActPrint, ActPreview, ActExportPdf, ActExportExcel});
    for (QAction* a : {ActPrint, ActPreview, ActExportPdf, ActExportExcel})
        if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a))) {
            button->setMenu(versions);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    ToolBar1->addSeparator();
    ToolBar1->addAction(ActHindLeft);
    ToolBar1->addSeparator();
    ToolBar1->addAction(acthelp);
    ToolBar1->addSeparator();
    ToolBar1->addAction(ActExit);
    ToolBar1->toggleViewAction()->setEnabled(false);

    PopupMenuTree = new QMenu(this);
    PopupMenuTree->setObjectName(QStringLiteral("PopupMenuTree"));
    PopupMenuTree->addAction(ActOpenProject);
    PopupMenuTree->addSeparator();
    PopupMenuTree->addActions({ActNewProject, ActCopyProject, DeleteProject});
}

void TFrmMain::CreateLeftPanel() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(120);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);

    PageControl1 = new QTabWidget(Panel1);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->setDocumentMode(true);
    PageControl1->setUsesScrollButtons(false);
    PageControl1->setIconSize(QSize(14, 14));
    PageControl1->tabBar()->setExpanding(true);
    layout->addWidget(PageControl1);

    TreeView1 = NewTree(PageControl1, "TreeView1", "装饰工程");
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* item = TreeView1->itemAt(pos)) TreeView1->setCurrentItem(item);
        PopupMenuTree->popup(TreeView1->viewport()->mapToGlobal(pos));
    });
    controls::OpenMenuFromKeyboard(TreeView1, [this](const QPoint& at) { PopupMenuTree->popup(at); });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { TreeView1DblClick(); });
    TreeView1->installEventFilter(this);

    TreeView2 = NewTree(PageControl1, "TreeView2", "施工项目");
    connect(TreeView2, &QTreeWidget::itemDoubleClicked, this, [this] { TreeView2DblClick(); });
    connect(TreeView2, &QTreeWidget::itemExpanded, this, &TFrmMain::TreeView2Expanded);
    connect(TreeView2, &QTreeWidget::itemCollapsed, this, &TFrmMain::TreeView2Collapsed);
    TreeView2->installEventFilter(this);

    CatalogSearch = NewSearchBox(PageControl1, "CatalogSearch", QStringLiteral("搜索施工项目"), CatalogNotFound);
    connect(CatalogSearch, &QLineEdit::textChanged, this, &TFrmMain::FilterCatalog);
    CatalogSearch->installEventFilter(this);
    ProjectSearch = NewSearchBox(PageControl1, "ProjectSearch", QStringLiteral("搜索装饰工程"), ProjectNotFound);
    ProjectSearch->setToolTip(QStringLiteral("客户、电话、地址、工程编号或设计师；可用拼音或拼音首字母"));
    connect(ProjectSearch, &QLineEdit::textChanged, this, &TFrmMain::FilterProjects);
    ProjectSearch->installEventFilter(this);

    TabSheet1 = NewPage(PageControl1, "TabSheet1", TreeView1, ProjectSearch, ProjectNotFound);
    TabSheet2 = NewPage(PageControl1, "TabSheet2", TreeView2, CatalogSearch, CatalogNotFound);
    TabSheet3 = NewPage(PageControl1, "TabSheet3", nullptr);
    PageControl1->addTab(TabSheet1, Picture("tab_projects"), QStringLiteral("装饰工程"));
    PageControl1->addTab(TabSheet2, Picture("tab_catalog"), QStringLiteral("施工项目"));
    PageControl1->addTab(TabSheet3, Picture("tab_tools"), QStringLiteral("工具"));
}

void TFrmMain::FormCreate() {
    // The start date stays as it is for the whole run.
    statusPanels_[1]->setText(QString::fromStdString(TodayText()));
    statusPanels_[2]->setText(QString::fromUtf8(kContactText));
    ProgramDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";
    WindowMenuEntries.clear();
}

void TFrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TFrmMain::FormShow() {
    // Without a data module nothing can be read; the trees stay empty.
    if (!DM) return;
    // Which database the data live in: this PC's file or the office server.
    statusPanels_[0]->setText(QString::fromStdString(DM->DatabaseLocationText()));
    if (!DM->Connected()) {
        // The connection message has said why once: the project tree shows
        // its root alone, and no second box repeats that nothing can be read.
        try {
            ReloadProjectTree();
        } catch (const std::exception&) {
        }
        return;
    }
    ReloadTrees();
    ReloadCompanyAndRemark();
    StartWatching();
}

void TFrmMain::ReloadTrees() {
    ReloadProjectTree();
    ReloadCatalogTree();
}

void TFrmMain::ReloadProjectTree() {
    if (!DM) return;
    TTreeView tree;
    try {
        DM->LoadProjectTree(tree);
    } catch (...) {
        // The tree shows as far as it was built; the command ends with the error.
        ShowProjectTree(tree);
        IndexProjectTree({});
        throw;
    }
    ShowProjectTree(tree);
    IndexProjectTree(DM->LoadProjectSearchFields());
}

void TFrmMain::ReloadCatalogTree() {
    if (!DM) return;
    TTreeView tree;
    DM->LoadCatalogTree(tree);
    ShowCatalogTree(tree, DM->LoadCatalogPrices());
}

void TFrmMain::ReloadCompanyAndRemark() {
    if (!DM) return;
    CompanyInfo() = DM->LoadCompanyInfo();
    DM->GetQuotationRemark(QuotationRemark);
}

void TFrmMain::ShowProjectTree(const TTreeView& tree) { FillTree(TreeView1, tree, TreeKind::Projects); }

void TFrmMain::ShowCatalogTree(const TTreeView& tree,
                               const std::unordered_map<std::string, TDM::CatalogPrice>& prices) {
    // The whole name (the panel may cut it off) and, for a priced entry, its
    // price and unit: "单价 28.00 元/平米".
    FillTree(TreeView2, tree, TreeKind::Catalog, [&prices](const TTreeNode& node) {
        QString tip = QString::fromStdString(node.Text);
        if (!node.Data || node.HasChildren()) return tip;
        const auto it = prices.find(node.Data->ID);
        if (it == prices.end()) return tip;
        tip += QStringLiteral("\n单价 ") + QString::fromStdString(FormatTwoDecimals(it->second.Price)) +
               QStringLiteral(" 元");
        if (!it->second.Unit.empty()) tip += QStringLiteral("/") + QString::fromStdString(it->second.Unit);
        return tip;
    });
    IndexCatalogTree();
}

QTreeWidgetItem* TFrmMain::SelectedNode(QTreeWidget* tree) const {
    const auto selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

namespace {
// A catalog folder's picture follows it open (3) or shut (4); an entry keeps its own.
void SwapFolderPicture(QTreeWidgetItem* item, int from, int to) {
    if (item->data(0, TFrmMain::kImageRole).toInt() != from) return;
    item->setData(0, TFrmMain::kImageRole, to);
    item->setIcon(0, TreePicture(TreeKind::Catalog, to, item->data(0, TFrmMain::kSelectedImageRole).toInt()));
}
} // namespace

void TFrmMain::TreeView2Expanded(QTreeWidgetItem* item) { SwapFolderPicture(item, 4, 3); }

void TFrmMain::TreeView2Collapsed(QTreeWidgetItem* item) { SwapFolderPicture(item, 3, 4); }

void TFrmMain::TreeView2DblClick() {
    QTreeWidgetItem* node = SelectedNode(TreeView2);
    if (!node || !DM) return;
    const TItemData item =
        DM->GetProduct(node->data(0, TFrmMain::kIdRole).toString().toStdString(), node->text(0).toStdString());
    TFrmProject_Detail* window = ActiveProjectWindow();
    if (!window) return;
    CatalogLine line;
    line.ItemName = item.ItemName;
    line.Price = item.Price;
    line.Count = item.Count;
    line.Unit = item.Unit;
    line.Amount = item.Amount;
    line.Spec = item.Spec;
    line.Follows = MeasureFromNumber(DM->GetProductMeasure(node->data(0, TFrmMain::kIdRole).toString().toStdString()));
    // The total row current: the entry has nowhere to go, and the user is
    // told where to choose a place instead of seeing nothing happen.
    if (window->AddCatalogEntry(line))
        statusBar()->clearMessage();
    else if (!window->Page()->LinesLocked()) // a signed quotation's lines have said why
        statusBar()->showMessage(QStringLiteral("请先在报价明细中选择一个房间或明细行"), kHintMilliseconds);
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == TreeView1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            TreeView1DblClick();
            return true;
        }
        if (watched == TreeView1 && key == Qt::Key_Delete) {
            DeleteProjectExecute();
            return true;
        }
        if (watched == TreeView2 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            TreeView2DblClick();
            return true;
        }
        if (watched == CatalogSearch && key == Qt::Key_Escape) {
            CatalogSearch->clear();
            return true;
        }
        if (watched == CatalogSearch && (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter)) {
            // The designer lands on the first entry found, so that Enter once
            // more puts it into the quotation without reaching for the mouse.
            if (QTreeWidgetItem* found = FirstFoundCatalogEntry()) TreeView2->setCurrentItem(found);
            TreeView2->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == ProjectSearch && key == Qt::Key_Escape) {
            ProjectSearch->clear();
            return true;
        }
        if (watched == ProjectSearch && (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter)) {
            // As in the catalog: the first project found, Enter once more opens it.
            if (QTreeWidgetItem* found = FirstFoundProject()) TreeView1->setCurrentItem(found);
            TreeView1->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::ActHindLeftExecute() { Panel1->setVisible(!Panel1->isVisible()); }

void TFrmMain::acthelpExecute() { OpenHelp(this); }

TFrmAbout* TFrmMain::AboutWindow() {
    if (!about_) about_ = new TFrmAbout(this);
    return about_;
}

void TFrmMain::N15Click() {
    TFrmAbout* about = AboutWindow();
    about->show();
    about->raise();
    about->activateWindow();
}

void TFrmMain::ActExitExecute() { close(); }

bool TFrmMain::FormCloseQuery() {
    if (!Messages().Ask("确认退出系统吗？", "询问")) return false;
    // Each project window with changes asks whether to keep them; Cancel, or
    // a save that was refused, keeps the program running.
    for (TFrmProject_Detail* w : ProjectWindows())
        if (!w->ConfirmClose()) return false;
    return true;
}

void TFrmMain::FormClose() {
    for (TFrmProject_Detail* w : ProjectWindows()) w->CloseWithoutAsking();
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
