// Page "报价管理": the price row of each catalog item (price, unit, grade,
// workmanship text), and the catalog's export to and import from CSV.
#pragma once

#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lty {

class TPricePage : public QWidget {
    Q_OBJECT
public:
    TPricePage(std::function<void()> rebuildTrees, QWidget* parent = nullptr);

    QTreeWidget* TreeView2 = nullptr;
    QLineEdit* Edit4 = nullptr;        // the item's name, read-only
    QLineEdit* Edit5 = nullptr;        // the price
    QComboBox* Edit6 = nullptr;        // the unit
    QComboBox* ComboBox2 = nullptr;    // the grade
    QComboBox* ComboMeasure = nullptr; // 计量: what the quantity follows in a measured room
    QPlainTextEdit* MMMemo = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* ButtonExport = nullptr;
    QPushButton* ButtonImport = nullptr;

    // The unit and grade lists read again (FillUnitNames, FillClassNames).
    void Refill();
    void TreeView2Change(QTreeWidgetItem* node);
    void Edit5Exit();
    void Button3Click();
    // The commands behind 导出 and 导入, once the file is chosen.
    void ExportTo(const QString& path);
    void ImportFrom(const QString& path);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::function<void()> rebuildTrees_;
    bool checkingPrice_ = false;
};

} // namespace lty
