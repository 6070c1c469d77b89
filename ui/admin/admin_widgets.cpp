#include "ui/admin/admin_widgets.h"

#include "core/text/number_text.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>

#include <map>

namespace lty {
namespace {

enum Role { IdRole = Qt::UserRole, NameRole, HasDataRole, ImageRole, SelectedImageRole };

QIcon Picture(int index) {
    QStyle* st = QApplication::style();
    switch (index) {
    case 0:
        return st->standardIcon(QStyle::SP_FileDialogContentsView);
    case 2:
        return st->standardIcon(QStyle::SP_FileIcon);
    case 3:
        return st->standardIcon(QStyle::SP_DirOpenIcon);
    default:
        return st->standardIcon(QStyle::SP_DirClosedIcon);
    }
}

void AddNodes(QTreeWidgetItem* parent, const std::vector<TTreeNode>& nodes) {
    for (const TTreeNode& n : nodes) {
        auto* item = new QTreeWidgetItem(parent, QStringList{Q(n.Text)});
        if (n.Data) {
            item->setData(0, IdRole, Q(n.Data->ID));
            item->setData(0, NameRole, Q(n.Data->Name));
            item->setData(0, HasDataRole, true);
        }
        SetNodeImages(item, n.ImageIndex, n.SelectedIndex);
        AddNodes(item, n.Children);
    }
}

} // namespace

std::string TrimmedText(const QString& s) { return Trim(s.toStdString()); }

QString MemoToScreen(const std::string& stored) {
    QString s = Q(stored);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string MemoToStore(const QString& shown) {
    QString s = Q(TrimmedText(shown));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return S(s);
}

void ShowStars(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

QLabel* AddField(QGridLayout* grid, int row, const QString& label, QWidget* field, int column) {
    auto* l = new QLabel(label);
    l->setBuddy(field);
    QString name = label;
    name.remove(QRegularExpression(QStringLiteral("[：:]$")));
    field->setAccessibleName(name);
    // A multi-line box has its label at its top, a one-line box beside its middle.
    const bool tall = field->sizeHint().height() > 40 || field->minimumHeight() > 40;
    grid->addWidget(l, row, column, Qt::AlignRight | (tall ? Qt::AlignTop : Qt::AlignVCenter));
    grid->addWidget(field, row, column + 1);
    return l;
}

void LayOutTreePage(QWidget* page, QTreeWidget* tree, QWidget* fields) {
    auto* splitter = new QSplitter(Qt::Horizontal, page);
    splitter->addWidget(tree);
    splitter->addWidget(fields);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({185, 460});
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(splitter);
}

QTreeWidget* MakeCatalogTreeView(QWidget* parent, const QString& name) {
    auto* view = new QTreeWidget(parent);
    view->setObjectName(name);
    view->setAccessibleName(QStringLiteral("施工项目"));
    view->setHeaderHidden(true);
    view->setIndentation(19);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setMinimumWidth(185);
    // Long names scroll sideways instead of being cut short.
    view->setTextElideMode(Qt::ElideNone);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Opening a category shows an open book, closing it a closed one.
    QObject::connect(view, &QTreeWidget::itemExpanded, view, [](QTreeWidgetItem* i) { SetNodeImages(i, 3, 3); });
    QObject::connect(view, &QTreeWidget::itemCollapsed, view, [](QTreeWidgetItem* i) { SetNodeImages(i, 4, 4); });
    return view;
}

void RenderCatalogTree(QTreeWidget* view, const TTreeView& tree) {
    const QSignalBlocker quiet(view);
    view->clear();
    auto* top = view->invisibleRootItem();
    AddNodes(top, tree.Items);
    view->setCurrentItem(nullptr);
}

std::optional<TTreeData> NodeData(const QTreeWidgetItem* item) {
    if (!item || !item->data(0, HasDataRole).toBool()) return std::nullopt;
    return TTreeData(S(item->data(0, IdRole).toString()), S(item->data(0, NameRole).toString()));
}

int NodeLevel(const QTreeWidgetItem* item) {
    int level = 0;
    for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent()) ++level;
    return level;
}

int NodeImage(const QTreeWidgetItem* item) { return item->data(0, ImageRole).toInt(); }
int NodeSelectedImage(const QTreeWidgetItem* item) { return item->data(0, SelectedImageRole).toInt(); }

void SetNodeImages(QTreeWidgetItem* item, int image, int selected) {
    item->setData(0, ImageRole, image);
    item->setData(0, SelectedImageRole, selected);
    // The view draws the selected picture while the node is selected. Built
    // once per pair: a large catalog renders thousands of nodes.
    static std::map<std::pair<int, int>, QIcon> icons;
    auto [it, added] = icons.try_emplace({image, selected});
    if (added)
        for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
            it->second.addPixmap(Picture(image).pixmap(size), QIcon::Normal);
            it->second.addPixmap(Picture(selected).pixmap(size), QIcon::Selected);
        }
    item->setIcon(0, it->second);
}

} // namespace lty
