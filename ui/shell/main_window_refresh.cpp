// The trees follow what other programs on the same database change: a
// watcher in core says when the projects or the catalog changed, and the
// trees are rebuilt keeping what the user had selected and opened. F5 (刷新)
// rebuilds both at once. Open project windows are never touched.
#include "ui/shell/main_window.h"

#include "core/data/change_watcher.h"
#include "ui/common/globals.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lty {
namespace {

// Other programs' changes show within this time.
constexpr int kWatchMilliseconds = 1000;

// A node's name that survives a rebuild: its depth and its id (the root and
// nodes without data by their text). Ids are unique on each level of both trees.
QString NodeKey(const QTreeWidgetItem* item) {
    int depth = 0;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent()) ++depth;
    const QString name =
        item->data(0, TFrmMain::kHasDataRole).toBool() ? item->data(0, TFrmMain::kIdRole).toString() : item->text(0);
    return QString::number(depth) + QLatin1Char('/') + name;
}

struct QStringHash {
    std::size_t operator()(const QString& s) const { return qHash(s); }
};

// What the user made of a tree: the current node (with its ancestors, in
// case it goes), the nodes opened and closed, where it was scrolled to.
struct TreeState {
    std::vector<QString> Current; // the current node first, then its ancestors
    std::unordered_set<QString, QStringHash> Expanded;
    std::unordered_set<QString, QStringHash> Collapsed;
    int Scroll = 0;
    int SideScroll = 0;
};

TreeState Keep(QTreeWidget* tree) {
    TreeState s;
    for (QTreeWidgetItem* n = tree->currentItem(); n; n = n->parent()) s.Current.push_back(NodeKey(n));
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->childCount() > 0) ((*it)->isExpanded() ? s.Expanded : s.Collapsed).insert(NodeKey(*it));
    s.Scroll = tree->verticalScrollBar()->value();
    s.SideScroll = tree->horizontalScrollBar()->value();
    return s;
}

// `openings`: whether the nodes are to be opened and closed as they were (not
// while a search decides which are open).
void Restore(QTreeWidget* tree, const TreeState& s, bool openings) {
    std::unordered_map<QString, QTreeWidgetItem*, QStringHash> nodes;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QString key = NodeKey(*it);
        nodes.emplace(key, *it);
        if (!openings || (*it)->childCount() == 0) continue;
        if (s.Expanded.count(key) && !(*it)->isExpanded())
            (*it)->setExpanded(true);
        else if (s.Collapsed.count(key) && (*it)->isExpanded())
            (*it)->setExpanded(false);
    }
    // The node that was current, or the nearest of its ancestors still there.
    QTreeWidgetItem* current = nullptr;
    for (const QString& key : s.Current)
        if (const auto at = nodes.find(key); at != nodes.end()) {
            current = at->second;
            break;
        }
    if (current) {
        tree->setCurrentItem(current);
    } else {
        tree->setCurrentItem(nullptr);
        tree->clearSelection();
    }
    tree->verticalScrollBar()->setValue(s.Scroll);
    tree->horizontalScrollBar()->setValue(s.SideScroll);
}

} // namespace

void TFrmMain::CreateRefresh() {
    ActRefresh = new QAction(QStringLiteral("刷新"), this);
    ActRefresh->setObjectName(QStringLiteral("ActRefresh"));
    ActRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    ActRefresh->setShortcutContext(Qt::WindowShortcut);
    connect(ActRefresh, &QAction::triggered, this, &TFrmMain::RefreshTrees);
    addAction(ActRefresh);
    PopupMenuTree->addSeparator();
    PopupMenuTree->addAction(ActRefresh);
}

void TFrmMain::StartWatching() {
    if (!DM || !DM->Connected() || watcher_) return;
    watcher_ = std::make_unique<ChangeWatcher>(DM->ADOMain);
    watchTimer_ = new QTimer(this);
    watchTimer_->setObjectName(QStringLiteral("WatchTimer"));
    connect(watchTimer_, &QTimer::timeout, this, &TFrmMain::CheckForChanges);
    watchTimer_->start(kWatchMilliseconds);
}

void TFrmMain::CheckForChanges() {
    // Not while a question waits for the user or a save holds the database:
    // the command under way may be reading the very rows a rebuild would read.
    if (!watcher_ || !DM || QApplication::activeModalWidget() || DM->ADOMain.InTransaction()) return;
    const TreeChanges changed = watcher_->Check();
    try {
        if (changed.Projects) RefreshProjectTree();
        if (changed.Catalog) RefreshCatalogTree();
    } catch (const std::exception&) {
        // Nobody asked for this rebuild: the tree shows what it could read,
        // and the next change or F5 tries again.
    }
}

void TFrmMain::RefreshTrees() {
    if (!DM) return;
    RefreshProjectTree();
    if (DM->Connected()) RefreshCatalogTree();
}

void TFrmMain::RefreshProjectTree() {
    const TreeState kept = Keep(TreeView1);
    ReloadProjectTree();
    // The project search only hides nodes; what is open stays the user's.
    Restore(TreeView1, kept, true);
}

void TFrmMain::RefreshCatalogTree() {
    const TreeState kept = Keep(TreeView2);
    ReloadCatalogTree();
    // The catalog search opens the branches it finds; without one, the
    // branches the user opened stay open.
    Restore(TreeView2, kept, CatalogSearch->text().trimmed().isEmpty());
}

void TFrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from another program: what it changed shows at once.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) CheckForChanges();
}

} // namespace lty
