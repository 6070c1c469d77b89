#include "ui/admin/catalog_page.h"

#include "controls/menu/keyboard_menu.h"
#include "core/data/data_module.h"
#include "core/text/number_text.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/globals.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace lty {
namespace {
constexpr int kItemLevel = 3;
}

TCatalogPage::TCatalogPage(std::function<void()> rebuildTrees, QWidget* parent)
    : QWidget(parent), rebuildTrees_(std::move(rebuildTrees)) {
    setObjectName(QStringLiteral("TabSheet2"));
    TreeView1 = MakeCatalogTreeView(this, QStringLiteral("TreeView1"));
    TreeView1->setContextMenuPolicy(Qt::NoContextMenu);
    TreeView1->viewport()->installEventFilter(this);
    // The Menu key and Shift+F10 open the same menu, on the same node.
    controls::OpenMenuFromKeyboard(TreeView1, [this](const QPoint& at) {
        TreeView1MouseDown();
        PopupMenu1->popup(at);
    });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("新建"));
    N1->setObjectName(QStringLiteral("N1"));
    N3 = PopupMenu1->addAction(QStringLiteral("编辑"));
    N3->setObjectName(QStringLiteral("N3"));
    N2 = PopupMenu1->addAction(QStringLiteral("删除"));
    N2->setObjectName(QStringLiteral("N2"));

    Edit3 = new QLineEdit;
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setFixedWidth(309);
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFixedSize(308, 113);
    Memo2 = new QPlainTextEdit;
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setFixedSize(308, 113);
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setEditText(QStringLiteral("1"));
    ComboBox1->setFixedWidth(120);
    Button2 = new QPushButton(QStringLiteral("确定(&O)"));
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* fields = new QWidget;
    auto* grid = new QGridLayout(fields);
    AddField(grid, 0, QStringLiteral("名称："), Edit3);
    AddField(grid, 1, QStringLiteral("备注1："), Memo1);
    AddField(grid, 2, QStringLiteral("备注2："), Memo2);
    AddField(grid, 3, QStringLiteral("类型："), ComboBox1);
    grid->addWidget(ComboBox1, 3, 1, Qt::AlignLeft);
    grid->addWidget(Button2, 4, 1, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);

    LayOutTreePage(this, TreeView1, fields);

    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { TreeView1Change(current); });
    connect(N1, &QAction::triggered, this, &TCatalogPage::N1Click);
    connect(N2, &QAction::triggered, this, &TCatalogPage::N2Click);
    connect(N3, &QAction::triggered, this, &TCatalogPage::N3Click);
    connect(Button2, &QPushButton::clicked, this, &TCatalogPage::Button2Click);
    SetEditMode(0);
}

bool TCatalogPage::eventFilter(QObject* watched, QEvent* event) {
    // The right button opens the popup on the selected node and leaves the
    // selection where it is.
    if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            TreeView1MouseDown();
            PopupMenu1->popup(me->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TCatalogPage::LockFields(bool locked) {
    Edit3->setReadOnly(locked);
    Memo1->setReadOnly(locked);
    Memo2->setReadOnly(locked);
    ComboBox1->setEnabled(!locked);
    Button2->setEnabled(!locked);
}

void TCatalogPage::SetEditMode(int mode) {
    LockFields(mode == 0);
    if (mode == 2) {
        Edit3->clear();
        Memo1->clear();
        Memo2->clear();
        if (ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
        return;
    }
    const auto data = NodeData(TreeView1->currentItem());
    TDM::CatalogEntry entry;
    if (!data || !AdminData().GetCatalogEntry(data->ID, entry)) return; // the root has no row
    Edit3->setText(Q(entry.ItemName));
    Memo1->setPlainText(MemoToScreen(entry.Remark1));
    Memo2->setPlainText(MemoToScreen(entry.Remark2));
    ComboBox1->setEditText(Q(entry.ItemType));
}

void TCatalogPage::ShowNoEntry() {
    Edit3->clear();
    Memo1->clear();
    Memo2->clear();
    LockFields(true);
}

void TCatalogPage::TreeView1Change(QTreeWidgetItem* node) {
    if (!node) return;
    if (EditMode == 2 && Messages().Ask("是否保存分类信息？", "询问")) {
        inTreeChange_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{inTreeChange_};
        Button2Click();
        // The save rebuilds both trees: the node that started this change is
        // about to go, so nothing here may use it any more.
        ShowNoEntry();
        return;
    }
    if (NodeData(node)) {
        EditMode = 1;
        SetEditMode(1);
    }
}

void TCatalogPage::TreeView1MouseDown() {
    const QTreeWidgetItem* sel = TreeView1->currentItem();
    const bool root = sel && !sel->parent() && TreeView1->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(sel)) == 0;
    N2->setEnabled(!root);
    N1->setEnabled(true);
    N3->setEnabled(true);
}

void TCatalogPage::N1Click() {
    EditMode = 2;
    if (NodeData(TreeView1->currentItem())) SetEditMode(2);
}

void TCatalogPage::N3Click() {
    if (!NodeData(TreeView1->currentItem())) return;
    EditMode = 1;
    SetEditMode(1);
}

void TCatalogPage::N2Click() {
    QTreeWidgetItem* sel = TreeView1->currentItem();
    const auto data = NodeData(sel);
    if (!data || (!sel->parent() && data->ID == "0")) return;
    if (sel->childCount() > 0) {
        Messages().Show("该分类下面有小分类不能直接删除，请先删除小分类后再删除！");
        return;
    }
    if (!Messages().Ask("确认删除该分类吗？", "询问")) return;
    // The price row goes too, whatever the level, so no orphan is left.
    if (!AdminData().DeleteCatalogEntry(data->ID)) {
        Messages().Show("删除数据失败！");
        return;
    }
    Messages().Show("删除数据成功!");
    rebuildTrees_();
}

void TCatalogPage::Button2Click() {
    QTreeWidgetItem* sel = TreeView1->currentItem();
    const auto data = NodeData(sel);
    TITEMREC rec;
    if (!sel || !data)
        rec.SetID(0);
    else if (NodeLevel(sel) == kItemLevel && EditMode == 2) // a new entry beside an item goes under the same category
        rec.SetID(StrToInt(NodeData(sel->parent())->ID));
    else
        rec.SetID(StrToInt(data->ID));
    rec.SetItemName(TrimmedText(Edit3->text()));
    rec.SetRemark1(MemoToStore(Memo1->toPlainText()));
    rec.SetRemark2(MemoToStore(Memo2->toPlainText()));
    rec.SetItemType(StrToInt(TrimmedText(ComboBox1->currentText()))); // raises for a text that is no integer
    if (EditMode == 2) {
        EditMode = 0;
        // The empty price row belongs to the row just inserted; after a failed
        // insert it would land on another one.
        if (AdminData().InsertItem(rec)) AdminData().AddProductForNewestItem();
    } else if (EditMode == 1) {
        EditMode = 0;
        AdminData().UpdateItem(rec);
    } else {
        return;
    }
    Button2->setEnabled(false);
    if (inTreeChange_)
        // Inside the tree's own selection change the nodes must outlive the
        // change; the rebuild follows right after it.
        QTimer::singleShot(0, this, [this] { rebuildTrees_(); });
    else
        rebuildTrees_();
}

} // namespace lty
