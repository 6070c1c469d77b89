// The main window's project commands: new, open from the tree, save, delete,
// and the "窗口" menu that lists the project windows.
#include "core/data/data_module.h"
#include "core/quotation/house_type.h"
#include "ui/common/application.h"
#include "ui/common/globals.h"
#include "ui/quotation/house_type_dialog.h"
#include "ui/quotation/project_versions.h"
#include "ui/quotation/project_window.h"
#include "ui/quotation/quotation_page.h"
#include "ui/shell/main_window.h"
#include "ui/shell/new_project_dialog.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTreeWidget>

#include <exception>
#include <memory>

namespace lty {
namespace {

// A menu caption without its hot-key marks: "&&" stands for one "&".
QString WithoutHotKey(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
                out.append(QLatin1Char('&'));
                ++i;
            }
            continue;
        }
        out.append(caption[i]);
    }
    return out;
}

// A caption as a menu entry's text, with no hot key of its own.
QString AsMenuText(const QString& caption) {
    QString t = caption;
    return t.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

// ---- project windows ----------------------------------------------------

std::vector<TFrmProject_Detail*> TFrmMain::ProjectWindows() const {
    std::vector<TFrmProject_Detail*> out;
    for (QMdiSubWindow* w : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (auto* p = qobject_cast<TFrmProject_Detail*>(w); p && !p->IsClosing()) out.push_back(p);
    return out;
}

int TFrmMain::ActiveProjectWindowIndex() const {
    TFrmProject_Detail* active = ActiveProjectWindow();
    if (!active) return -1;
    const auto windows = ProjectWindows();
    for (std::size_t i = 0; i < windows.size(); ++i)
        if (windows[i] == active) return static_cast<int>(i);
    return -1;
}

TFrmProject_Detail* TFrmMain::ActiveProjectWindow() const {
    // The current sub-window stays known while a message box or another
    // top-level window has the focus.
    auto* w = qobject_cast<TFrmProject_Detail*>(mdiArea_->currentSubWindow());
    return w && !w->IsClosing() ? w : nullptr;
}

TFrmSelectHuxing* TFrmMain::HouseTypeDialog() {
    if (!houseTypeDialog_) houseTypeDialog_ = new TFrmSelectHuxing(this);
    return houseTypeDialog_;
}

bool TFrmMain::OpenProjectWindow(int kind, std::unique_ptr<TREC_PROJECT> record) {
    if (kind < 0 || kind > 2 || (kind == 2 && !record)) return false;
    THuxing house;
    if (kind == 1) {
        // The counts are read before any window exists, so a count that is
        // not a whole number leaves no half-made window behind.
        if (!ReadHouseType(house, HouseTypeDialog()->Texts(), Messages())) return false;
    }
    auto* window = new TFrmProject_Detail(this, kind == 2 ? SaveModeUpdate : SaveModeInsert);
    if (kind == 2) {
        window->SetCaption(QString::fromStdString(ProjectCaption(record->charCustomer, record->charAddress)));
    } else {
        window->SetCaption(QStringLiteral("新装饰工程:%1").arg(ProjectWindows().size() + 1));
    }
    mdiArea_->addSubWindow(window);
    window->showMaximized(); // FormShow: the designer names
    if (kind == 1) {
        window->HouseType = house;
        window->LayoutFromHouseType();
    } else if (kind == 2) {
        const TREC_PROJECT& shown = *record;
        window->SetProjectRecord(std::move(record));
        window->ShowProjectRecord(shown);
    }
    AddWindowMenuEntry(window);
    mdiArea_->setActiveSubWindow(window);
    // Ready for typing the customer's name.
    window->Edit1->setFocus();
    return true;
}

TFrmNewProject* TFrmMain::LastNewProjectDialog() const { return lastNewProject_.data(); }

void TFrmMain::ActNewProjectExecute() {
    lastNewProject_ = new TFrmNewProject(this);
    lastNewProject_->show();
    ProjectWindowMode = 0;
}

TFrmProject_Detail* TFrmMain::ProjectWindowOf(const QString& id) const {
    bool ok = false;
    const int intId = id.toInt(&ok);
    if (!ok || intId <= 0) return nullptr;
    for (TFrmProject_Detail* w : ProjectWindows())
        if (const TREC_PROJECT* r = w->ProjectRecord(); r && r->IntID == intId) return w;
    return nullptr;
}

void TFrmMain::TreeView1DblClick() {
    QTreeWidgetItem* node = SelectedNode(TreeView1);
    if (!node || node->childCount() > 0 || !node->data(0, TFrmMain::kHasDataRole).toBool() || !DM) return;
    const QString id = node->data(0, TFrmMain::kIdRole).toString();
    if (TFrmProject_Detail* open = ProjectWindowOf(id)) {
        // A second window on the same row could save over the first one's work.
        mdiArea_->setActiveSubWindow(open);
        open->setFocus(Qt::OtherFocusReason);
    } else if (auto record = DM->LoadProject(id.toStdString())) {
        OpenProjectWindow(2, std::move(record));
    }
    ProjectWindowMode = 1;
}

bool TFrmMain::SaveProjectWindow(TFrmProject_Detail* window) {
    if (!window || !DM) return false;
    TREC_PROJECT* record = nullptr;
    // The project as this window last loaded or saved it: the save asks
    // before it overwrites what another program saved since.
    std::unique_ptr<TREC_PROJECT> loaded;
    if (const TREC_PROJECT* previous = window->ProjectRecord()) loaded = std::make_unique<TREC_PROJECT>(*previous);
    try {
        record = window->BuildProjectRecord();
    } catch (const std::exception& e) {
        // Reported here rather than by the event loop: a close or an exit
        // waiting on this save must learn that nothing was saved.
        TApplication::ReportError(e.what());
        return false;
    }
    const bool inserting = window->SaveMode() == SaveModeInsert;
    const std::int32_t rowBefore = record->IntID;
    // A signed quotation's version is written in the project's own transaction.
    struct Alongside {
        TDM& dm;
        ~Alongside() { dm.SaveAlongside = nullptr; }
    } alongside{*DM};
    DM->SaveAlongside = window->VersionsBox->VersionToStore();
    if (!DM->StoreProject(*record, window->SaveMode(), loaded.get())) {
        if (DM->OtherVersionWanted()) LoadOtherVersion(window);
        return false;
    }
    window->VersionsBox->Stored(record->IntID);
    // From now on this window writes its own row, whatever other windows do.
    window->SetSaveMode(SaveModeUpdate);
    window->SetModified(false);
    // Named as the tree names the project, in the window menu and in the
    // question on closing too.
    const bool renamed =
        RenameProjectWindow(window, QString::fromStdString(ProjectCaption(record->charCustomer, record->charAddress)));
    // A new row (inserted, or given again to a project deleted meanwhile), or
    // a new name the tree is to show as the window does.
    if (inserting || record->IntID != rowBefore || renamed) ReloadProjectTree();
    return true;
}

void TFrmMain::LoadOtherVersion(TFrmProject_Detail* window) {
    if (window->IsModified() && !Messages().Ask("载入对方版本将放弃本窗口中未保存的修改，是否继续？", "询问")) return;
    const TREC_PROJECT* own = window->ProjectRecord();
    auto stored = own ? DM->LoadProject(std::to_string(own->IntID)) : nullptr;
    if (!stored) {
        Messages().Show("未能读取对方保存的版本，本窗口的内容未改变。");
        return;
    }
    window->ShowStoredProject(std::move(stored));
    RenameProjectWindow(window, QString::fromStdString(ProjectCaption(window->ProjectRecord()->charCustomer,
                                                                      window->ProjectRecord()->charAddress)));
}

void TFrmMain::SaveProjectExecute() {
    if (ActiveProjectWindowIndex() == -1) return;
    SaveProjectWindow(ActiveProjectWindow());
}

void TFrmMain::DeleteProjectExecute() {
    QTreeWidgetItem* node = SelectedNode(TreeView1);
    // Only a project: a node below a designer, carrying an id.
    if (!node || !node->parent() || !node->parent()->parent() || !node->data(0, TFrmMain::kHasDataRole).toBool())
        return;
    if (!Messages().Ask("确认要删除" + node->text(0).toStdString() + "吗？", "删除提示")) return;
    if (DM && DM->DeleteProject(node->data(0, TFrmMain::kIdRole).toString().toStdString())) {
        Messages().Show("删除成功!");
        ReloadProjectTree();
    } else {
        Messages().Show("删除失败!");
    }
}

// ---- the window menu ------------------------------------------------------

void TFrmMain::AddWindowMenuEntry(TFrmProject_Detail* window) {
    auto* entry = new QAction(AsMenuText(window->Caption()), MenuWindow);
    entry->setData(QVariant::fromValue(static_cast<QObject*>(window)));
    entry->setCheckable(true);
    connect(entry, &QAction::triggered, this, [this, entry] { WindowMenuEntryClick(entry); });
    WindowMenuEntries.push_back(entry);
    MenuWindow->insertAction(N1, entry);
    UpdateWindowMenuChecks();
}

void TFrmMain::WindowMenuEntryClick(QAction* entry) {
    const QString caption = WithoutHotKey(entry->text());
    for (TFrmProject_Detail* w : ProjectWindows())
        if (w->Caption() == caption) mdiArea_->setActiveSubWindow(w);
    UpdateWindowMenuChecks();
}

void TFrmMain::UpdateWindowMenuChecks() {
    TFrmProject_Detail* active = ActiveProjectWindow();
    const QString caption = active ? active->Caption() : QString();
    for (QAction* entry : WindowMenuEntries) entry->setChecked(active && WithoutHotKey(entry->text()) == caption);
}

void TFrmMain::RemoveWindowMenuEntries(const QString& caption) {
    for (auto i = WindowMenuEntries.size(); i-- > 0;) {
        QAction* entry = WindowMenuEntries[i];
        if (WithoutHotKey(entry->text()) != caption) continue;
        MenuWindow->removeAction(entry);
        WindowMenuEntries.erase(WindowMenuEntries.begin() + static_cast<std::ptrdiff_t>(i));
        delete entry;
    }
    UpdateWindowMenuChecks();
}

bool TFrmMain::RenameProjectWindow(TFrmProject_Detail* window, const QString& caption) {
    if (window->Caption() == caption) return false;
    for (QAction* entry : WindowMenuEntries)
        if (entry->data().value<QObject*>() == window) entry->setText(AsMenuText(caption));
    window->SetCaption(caption);
    UpdateWindowMenuChecks();
    return true;
}

void TFrmMain::SubWindowActivated(QMdiSubWindow* window) {
    auto* w = qobject_cast<TFrmProject_Detail*>(window);
    if (!w) return; // the main window lost the focus: the active window stays
    // Undo and redo act on the active project window wherever the focus is
    // in the main window: in a tree right after adding from it, too. Only
    // that window's actions are added here, so a key has one meaning.
    if (undoWindow_ && undoWindow_ != w && undoWindow_->Page())
        for (QAction* a : {undoWindow_->Page()->NUndo, undoWindow_->Page()->NRedo}) removeAction(a);
    undoWindow_ = w;
    addActions({w->Page()->NUndo, w->Page()->NRedo});
    w->FormActivate();
}

} // namespace lty
