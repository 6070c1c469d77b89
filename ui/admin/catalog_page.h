// Page "装修项目分类管理": the catalog tree with its entries' name, remarks
// and type, and the popup menu that adds, edits and deletes entries.
#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lty {

class TCatalogPage : public QWidget {
    Q_OBJECT
public:
    // `rebuildTrees` rebuilds the catalog trees of both catalog pages.
    TCatalogPage(std::function<void()> rebuildTrees, QWidget* parent = nullptr);

    QTreeWidget* TreeView1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr; // 新建
    QAction* N3 = nullptr; // 编辑
    QAction* N2 = nullptr; // 删除
    QLineEdit* Edit3 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button2 = nullptr;

    // What 确定 does: 0 nothing, 1 update the selected entry, 2 insert a new one.
    int EditMode = 0;
    void SetEditMode(int mode);

    void TreeView1Change(QTreeWidgetItem* node);
    void TreeView1MouseDown(); // the right button: enables the popup's entries
    void N1Click();
    void N2Click();
    void N3Click();
    void Button2Click();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ShowNoEntry();
    void LockFields(bool locked);

    std::function<void()> rebuildTrees_;
    bool inTreeChange_ = false;
};

} // namespace lty
