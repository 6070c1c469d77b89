#include "ui/admin/price_page.h"

#include "core/data/data_module.h"
#include "core/text/measure_names.h"
#include "core/text/number_text.h"
#include "core/upkeep/catalog_csv.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/globals.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace lty {
namespace {

constexpr int kItemLevel = 3;

// The first entry equal to `text` without regard to letter case, or none.
void SelectName(QComboBox* combo, const std::string& text) {
    combo->setCurrentIndex(combo->findText(Q(text), Qt::MatchFixedString));
}

void FillCombo(QComboBox* combo, const TNameList& names) {
    combo->clear();
    for (const auto& n : names.Items) combo->addItem(Q(n));
    combo->setEditable(!names.PickOnly);
    combo->setCurrentIndex(names.ItemIndex);
}

// What leaving the price box says of a text it cannot take.
std::string PriceProblem(const std::string& text) {
    std::string message = "输入错误格式不正确，请重新输入";
    double v = 0;
    if (TryStrToFloat(text, v)) message += kNumberLimitNote;
    return message;
}

} // namespace

TPricePage::TPricePage(std::function<void()> rebuildTrees, QWidget* parent)
    : QWidget(parent), rebuildTrees_(std::move(rebuildTrees)) {
    setObjectName(QStringLiteral("TabSheet3"));
    TreeView2 = MakeCatalogTreeView(this, QStringLiteral("TreeView2"));

    Edit4 = new QLineEdit;
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setReadOnly(true);
    Edit4->setStyleSheet(QStringLiteral("QLineEdit { background: #c0dcc0; }"));
    Edit5 = new QLineEdit;
    Edit5->setObjectName(QStringLiteral("Edit5"));
    Edit5->setFixedWidth(125);
    Edit5->installEventFilter(this);
    Edit6 = new QComboBox;
    Edit6->setObjectName(QStringLiteral("Edit6"));
    Edit6->setMinimumWidth(125);
    ComboBox2 = new QComboBox;
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setMinimumWidth(125);
    ComboMeasure = new QComboBox;
    ComboMeasure->setObjectName(QStringLiteral("ComboMeasure"));
    ComboMeasure->setMinimumWidth(125);
    for (int m = 0; m < kMeasureKinds; ++m) ComboMeasure->addItem(Q(std::string(MeasureName(static_cast<Measure>(m)))));
    ComboMeasure->setToolTip(QStringLiteral("加入已量房的房间时，数量按此面积或周长填写"));
    MMMemo = new QPlainTextEdit;
    MMMemo->setObjectName(QStringLiteral("MMMemo"));
    MMMemo->setFixedSize(313, 225);
    Button3 = new QPushButton(QStringLiteral("确定(&O)"));
    Button3->setObjectName(QStringLiteral("Button3"));
    ButtonExport = new QPushButton(QStringLiteral("导出..."));
    ButtonExport->setObjectName(QStringLiteral("ButtonExport"));
    ButtonExport->setToolTip(QStringLiteral("把全部施工项目和价格导出为 CSV 文件"));
    ButtonImport = new QPushButton(QStringLiteral("导入..."));
    ButtonImport->setObjectName(QStringLiteral("ButtonImport"));
    ButtonImport->setToolTip(QStringLiteral("从 CSV 文件新增或修改施工项目和价格"));

    auto* fields = new QWidget;
    auto* grid = new QGridLayout(fields);
    AddField(grid, 0, QStringLiteral("名称："), Edit4);
    AddField(grid, 1, QStringLiteral("单价："), Edit5);
    grid->addWidget(Edit5, 1, 1, Qt::AlignLeft);
    AddField(grid, 2, QStringLiteral("单位："), Edit6);
    grid->addWidget(Edit6, 2, 1, Qt::AlignLeft);
    AddField(grid, 3, QStringLiteral("级别："), ComboBox2);
    grid->addWidget(ComboBox2, 3, 1, Qt::AlignLeft);
    AddField(grid, 4, QStringLiteral("计量："), ComboMeasure);
    grid->addWidget(ComboMeasure, 4, 1, Qt::AlignLeft);
    AddField(grid, 5, QStringLiteral("工艺做法及材料说明："), MMMemo);
    grid->addWidget(Button3, 6, 1, Qt::AlignLeft);
    auto* csvRow = new QHBoxLayout;
    csvRow->addWidget(ButtonExport);
    csvRow->addWidget(ButtonImport);
    csvRow->addStretch();
    grid->addLayout(csvRow, 8, 1);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(2, 1);

    LayOutTreePage(this, TreeView2, fields);

    connect(TreeView2, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { TreeView2Change(current); });
    connect(Button3, &QPushButton::clicked, this, &TPricePage::Button3Click);
    connect(ButtonExport, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("导出施工项目"), QStringLiteral("施工项目.csv"), QStringLiteral("CSV 文件 (*.csv)"));
        if (!path.isEmpty()) ExportTo(path);
    });
    connect(ButtonImport, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("导入施工项目"), QString(),
                                                          QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
        if (!path.isEmpty()) ImportFrom(path);
    });
}

void TPricePage::Refill() {
    TNameList units, grades;
    AdminData().FillUnitNames(units);
    AdminData().FillClassNames(grades);
    FillCombo(Edit6, units);
    FillCombo(ComboBox2, grades);
}

bool TPricePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit5) {
        if (event->type() == QEvent::KeyPress) {
            // Only digits and the point get into the price; every other
            // character, Backspace included, is dropped. Keys that type
            // nothing (arrows, Delete, Tab, Enter) keep their meaning.
            auto* ke = static_cast<QKeyEvent*>(event);
            const QString t = ke->text();
            const bool types = !t.isEmpty() && ke->key() != Qt::Key_Tab && ke->key() != Qt::Key_Backtab &&
                               ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter &&
                               ke->key() != Qt::Key_Escape && ke->key() != Qt::Key_Delete;
            const bool allowed =
                t.size() == 1 && ((t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('9')) || t[0] == QLatin1Char('.'));
            if (types && !allowed) return true;
        } else if (event->type() == QEvent::FocusOut) {
            // Leaving the box, not the window: a menu or another program
            // taking the focus for a moment is no exit.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) Edit5Exit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TPricePage::TreeView2Change(QTreeWidgetItem* node) {
    const auto data = NodeData(node);
    if (!data || NodeLevel(node) != kItemLevel) return;
    TItemData item = AdminData().GetProduct(data->ID, data->Name);
    item.SetItemName(data->Name); // shown also for an item without a price row
    Edit4->setText(Q(item.ItemName));
    Edit5->setText(Q(FloatToStr(item.Price)));
    SelectName(Edit6, item.Unit);
    SelectName(ComboBox2, item.Grade);
    MMMemo->setPlainText(MemoToScreen(item.Spec));
    ComboMeasure->setCurrentIndex(DM->GetProductMeasure(data->ID));
}

void TPricePage::Edit5Exit() {
    if (checkingPrice_) return;
    checkingPrice_ = true;
    if (TrimmedText(Edit5->text()).empty()) Edit5->setText(QStringLiteral("0.00"));
    const std::string text = TrimmedText(Edit5->text());
    double v = 0;
    if (!TryStrToFloat(text, v) || !NumberTextWithinLimit(text)) {
        Messages().Show(PriceProblem(text));
        Edit5->setFocus();
    }
    checkingPrice_ = false;
}

void TPricePage::Button3Click() {
    const auto data = NodeData(TreeView2->currentItem());
    if (!data) return;
    TItemData item;
    item.SetItemID(data->ID);
    const std::string price = TrimmedText(Edit5->text());
    item.SetPrice(StrToFloat(price)); // raises for a text that is no number
    if (!NumberTextWithinLimit(price)) {
        // The save button's shortcut saves without leaving the box.
        Messages().Show(PriceProblem(price));
        return;
    }
    item.SetUnit(TrimmedText(Edit6->currentText()));
    item.SetSpec(MemoToStore(MMMemo->toPlainText()));
    item.SetGrade(TrimmedText(ComboBox2->currentText()));
    Messages().Show(AdminData().SaveProduct(item) &&
                            AdminData().SaveProductMeasure(data->ID, ComboMeasure->currentIndex())
                        ? "保存成功!"
                        : "保存失败!");
}

void TPricePage::ExportTo(const QString& path) {
    const std::string csv = CatalogToCsv(AdminData());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) || !file.flush()) {
        Messages().Show("导出失败！无法写入文件：" + S(path));
        return;
    }
    Messages().Show("导出成功！施工项目已保存到：" + S(path));
}

void TPricePage::ImportFrom(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Messages().Show("导入失败！无法读取文件：" + S(path));
        return;
    }
    const QByteArray bytes = file.readAll();
    CatalogImportPlan plan;
    CsvProblem problem;
    if (!PlanCatalogImport(AdminData(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                           plan, problem)) {
        Messages().Show(problem.Line == 0 ? problem.Reason
                                          : "导入失败！第" + std::to_string(problem.Line) + "行格式不正确：" +
                                                problem.Reason + "。没有导入任何数据。");
        return;
    }
    const std::string gbk = plan.ReadAsGbk ? "（文件不是UTF-8编码，已按GBK编码读取。）" : "";
    if (plan.Adds == 0 && plan.Changes == 0) {
        Messages().Show("文件中没有需要新增或修改的项目。" + gbk);
        return;
    }
    if (!Messages().Ask(gbk + "将新增" + std::to_string(plan.Adds) + "项，修改" + std::to_string(plan.Changes) +
                            "项的价格资料。确定导入吗？",
                        "询问"))
        return;
    if (!ApplyCatalogImport(AdminData(), plan)) {
        Messages().Show("导入失败！没有导入任何数据。");
        return;
    }
    Messages().Show("导入成功！");
    rebuildTrees_();
}

} // namespace lty
