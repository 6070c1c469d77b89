// Small pieces shared by the management pages: text conversions at the
// widget edge, labels that name their fields, and the catalog trees.
#pragma once

#include "core/data/tree_nodes.h"

#include <QString>

#include <optional>
#include <string>

class QGridLayout;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace lty {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

// The text of a box as the management window stores it: trimmed.
std::string TrimmedText(const QString& s);
// Multi-line texts are stored with CR LF breaks and shown with plain ones.
QString MemoToScreen(const std::string& stored);
std::string MemoToStore(const QString& shown);

// A password box whose characters show as "*".
void ShowStars(QLineEdit* edit);

// Puts "label" and its field into a row of the grid; the label is the
// field's buddy and its text (without the colon) the field's accessible name.
QLabel* AddField(QGridLayout* grid, int row, const QString& label, QWidget* field, int column = 0);

// A catalog page: the tree on the left, 185 wide with a splitter beside it,
// the field panel on the right.
void LayOutTreePage(QWidget* page, QTreeWidget* tree, QWidget* fields);

// ---- catalog trees ---------------------------------------------------------
// Picture numbers: 0 an item being edited, 2 an item, 3 an open category,
// 4 a closed category.
QTreeWidget* MakeCatalogTreeView(QWidget* parent, const QString& name);
// Replaces the widget's nodes by `tree`; no node selected afterwards.
void RenderCatalogTree(QTreeWidget* view, const TTreeView& tree);
std::optional<TTreeData> NodeData(const QTreeWidgetItem* item);
int NodeLevel(const QTreeWidgetItem* item);
int NodeImage(const QTreeWidgetItem* item);
int NodeSelectedImage(const QTreeWidgetItem* item);
void SetNodeImages(QTreeWidgetItem* item, int image, int selected);

} // namespace lty
