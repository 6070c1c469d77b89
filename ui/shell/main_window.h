// The main window: a multi-document frame holding the project windows, with
// the project and catalog trees on its left panel and the project commands.
#pragma once

#include "ui/common/project_window_host.h"

#include "core/data/data_module.h"
#include "core/data/records.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace lty {

class TFrmProject_Detail;
class TFrmSelectHuxing;
struct TreeSearch;
class TFrmNewProject;
class TFrmAbout;
class TFrmReprice;
class ChangeWatcher;
struct TTreeView;
struct AdminHooks;

class TFrmMain : public QMainWindow, public ProjectWindowHost {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    QMdiArea* MdiArea() const { return mdiArea_; }
    QLabel* StatusPanel(int index) const { return statusPanels_.at(static_cast<std::size_t>(index)); }

    // ---- commands ------------------------------------------------------
    QAction* ActNewProject = nullptr;
    QAction* SaveProject = nullptr;
    QAction* DeleteProject = nullptr;
    QAction* ActPrint = nullptr;
    QAction* ActPreview = nullptr;
    QAction* ActExportPdf = nullptr;   // "导出PDF", Ctrl+E
    QAction* ActExportExcel = nullptr; // "导出Excel", Ctrl+Shift+E
    QAction* ActHindLeft = nullptr;
    QAction* acthelp = nullptr;
    QAction* ActExit = nullptr;
    QAction* ActOpenProject = nullptr;  // "打开装饰工程" of the project tree's menu
    QAction* N15 = nullptr;             // "关于"
    QAction* N20 = nullptr;             // "系统管理"
    QAction* N25 = nullptr;             // "系统初始化"
    QAction* N1 = nullptr;              // the separator closing the window entries
    QAction* ActFindCatalog = nullptr;  // Ctrl+F: into the catalog search box
    QAction* ActFindProject = nullptr;  // Ctrl+Shift+F: into the project search box
    QAction* ActCopyProject = nullptr;  // "复制为新工程"
    QAction* ActSaveTemplate = nullptr; // "保存为模板"
    QAction* ActReprice = nullptr;      // "重新计价"
    QAction* ActRefresh = nullptr;      // "刷新", F5: both trees read again

    QMenu* MenuProject = nullptr;
    QMenu* MenuSystem = nullptr;
    QMenu* MenuWindow = nullptr;
    QMenu* MenuHelp = nullptr;
    QMenu* PopupMenuTree = nullptr;
    QToolBar* ToolBar1 = nullptr;

    // ---- left panel ----------------------------------------------------
    QWidget* Panel1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QTreeWidget* TreeView1 = nullptr; // projects under their designers
    QTreeWidget* TreeView2 = nullptr; // the catalog
    QLineEdit* CatalogSearch = nullptr;
    QLineEdit* ProjectSearch = nullptr;
    QLabel* CatalogNotFound = nullptr; // "未找到" under the box when a search finds nothing
    QLabel* ProjectNotFound = nullptr;

    // What a tree node keeps besides its text: its TTreeData id, whether it
    // carries a TTreeData at all, its picture and its selected picture.
    static constexpr int kIdRole = Qt::UserRole;
    static constexpr int kHasDataRole = Qt::UserRole + 1;
    static constexpr int kImageRole = Qt::UserRole + 2;
    static constexpr int kSelectedImageRole = Qt::UserRole + 3;

    // One entry per open project window, listed in the "窗口" menu.
    std::vector<QAction*> WindowMenuEntries;

    // ---- start-up ------------------------------------------------------
    // Runs once, when the window is first shown: both trees, CompanyInfo,
    // QuotationRemark.
    void FormShow();
    void ReloadTrees();
    void ReloadProjectTree();
    void ReloadCatalogTree();
    void ReloadCompanyAndRemark();

    // ---- other programs' changes (main_window_refresh.cpp) -----------------
    // Both trees read again, each keeping its selection, its open and closed
    // nodes and its scrolling (F5, 刷新).
    void RefreshTrees();
    // Asks the watcher what other programs changed and rebuilds those trees
    // the same way; runs every second and when the window becomes active.
    void CheckForChanges();

    // ---- project windows -----------------------------------------------
    // Kind 0 blank, 1 laid out from the house-type dialog, 2 showing `record`.
    bool OpenProjectWindow(int kind, std::unique_ptr<TREC_PROJECT> record = nullptr) override;
    QWidget* HostWidget() override { return this; }
    // The open project windows in the order they were made.
    std::vector<TFrmProject_Detail*> ProjectWindows() const;
    int ActiveProjectWindowIndex() const;
    TFrmProject_Detail* ActiveProjectWindow() const;
    // Builds the window's record and stores it in the window's own save mode;
    // true when a row was written.
    bool SaveProjectWindow(TFrmProject_Detail* window) override;
    // The answer 载入对方版本 of the overwrite question: after asking whether
    // to drop the window's changes, the window shows the project as stored.
    void LoadOtherVersion(TFrmProject_Detail* window);

    // The project window holding the row with this id (the project tree's
    // node id), or none.
    TFrmProject_Detail* ProjectWindowOf(const QString& id) const;
    // A new caption for the window and its entry in "窗口"; false when the
    // caption was that already.
    bool RenameProjectWindow(TFrmProject_Detail* window, const QString& caption);

    void AddWindowMenuEntry(TFrmProject_Detail* window);
    void WindowMenuEntryClick(QAction* entry);
    void UpdateWindowMenuChecks() override;
    void RemoveWindowMenuEntries(const QString& caption) override;

    // ---- handlers --------------------------------------------------------
    void ActNewProjectExecute();
    void SaveProjectExecute();
    void DeleteProjectExecute();
    void TreeView1DblClick();
    void TreeView2DblClick();
    void TreeView2Expanded(QTreeWidgetItem* item);
    void TreeView2Collapsed(QTreeWidgetItem* item);
    void ActHindLeftExecute();
    void acthelpExecute();
    void N15Click();

    // ---- printing and system management (main_window_commands.cpp) --------
    // Each prints the active project window as it stands; without one they
    // say "请选择要打印的工程！".
    void ActPrintExecute();
    void ActPreviewExecute();
    void ActExportPdfExecute();
    void ActExportExcelExecute();
    void N20Click(); // "系统管理", behind the password
    void N25Click(); // "系统初始化", behind the question and the password
    // What the management commands call back: the trees, the shared values,
    // and CloseProjectWindows before the data are replaced.
    AdminHooks AdminCallbacks();
    // Every project window closed, each with changes asking first (Yes saves,
    // No drops them, Cancel keeps all open); false when one stays open.
    bool CloseProjectWindows();
    // Shows only the catalog entries whose name holds `text` (any letter
    // case), in full pinyin or in pinyin initials, each with its ancestors;
    // an empty text shows the whole tree as it was before the search.
    void FilterCatalog(const QString& text);
    // Shows only the projects whose customer, address, telephone, project
    // number or designer holds `text` (pinyin as above), under their designers.
    void FilterProjects(const QString& text);
    // The first entry the last search found (an entry before a branch).
    QTreeWidgetItem* FirstFoundCatalogEntry() const;
    QTreeWidgetItem* FirstFoundProject() const;

    // ---- copies, templates, repricing (main_window_copies.cpp) ------------
    // A new unsaved window from the project selected in the tree (else the
    // active window's stored project), as ProjectCopy keeps it.
    void CopyProjectExecute();
    // Keeps the active window's quotation as a template under a name asked
    // for by AskTemplateName (cancelled: nothing happens).
    void SaveTemplateExecute();
    std::function<std::optional<QString>(const QString& suggestion)> AskTemplateName;
    // A new unsaved window holding the template's quotation; false when the
    // template is gone.
    bool OpenTemplate(std::int64_t templateId);
    // The active window's catalog lines against today's prices: the dialog
    // of the changed ones (window-modal, shown), or a message when none.
    void RepriceExecute();
    TFrmReprice* LastRepriceDialog() const;

    // The secondary windows, created on first use and kept.
    TFrmSelectHuxing* HouseTypeDialog();
    TFrmAbout* AboutWindow();
    TFrmNewProject* LastNewProjectDialog() const; // the newest, while it is open

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void CreateActions();
    void CreateMenus();
    void CreateLeftPanel();
    bool FormCloseQuery();
    void FormClose();
    void ActExitExecute();
    void CreateRefresh();
    void StartWatching();
    void RefreshProjectTree();
    void RefreshCatalogTree();
    void ShowProjectTree(const TTreeView& tree);
    void ShowCatalogTree(const TTreeView& tree, const std::unordered_map<std::string, TDM::CatalogPrice>& prices);
    // The search indexes, built once each time a tree is loaded (main_window_search.cpp).
    void IndexCatalogTree();
    void IndexProjectTree(const std::unordered_map<std::string, TDM::ProjectSearchFields>& fields);
    QTreeWidgetItem* SelectedNode(QTreeWidget* tree) const;
    void SubWindowActivated(QMdiSubWindow* window);

    QMdiArea* mdiArea_ = nullptr;
    std::vector<QLabel*> statusPanels_;
    bool shown_ = false;
    TFrmSelectHuxing* houseTypeDialog_ = nullptr;
    TFrmAbout* about_ = nullptr;
    QPointer<TFrmNewProject> lastNewProject_; // each closes and goes on its own
    std::unique_ptr<TreeSearch> catalogSearch_;
    std::unique_ptr<TreeSearch> projectSearch_;
    QPointer<TFrmProject_Detail> undoWindow_; // whose undo and redo the main window holds
    QPointer<TFrmReprice> lastReprice_;
    std::unique_ptr<ChangeWatcher> watcher_;
    QTimer* watchTimer_ = nullptr;
};

} // namespace lty
