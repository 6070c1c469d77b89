#include "ui/admin/reference_pages.h"

#include "core/data/data_module.h"
#include "core/quotation/charges.h"
#include "ui/admin/admin_widgets.h"
#include "ui/admin/server_login_dialog.h"
#include "ui/common/globals.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <tuple>

namespace lty {
namespace {

QLineEdit* Box(const char* name, int width) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setFixedWidth(width);
    return e;
}

QFrame* Panel(QWidget* parent, const char* name, int w, int h) {
    auto* p = new QFrame(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setFrameShape(QFrame::StyledPanel);
    p->setFrameShadow(QFrame::Raised);
    p->setFixedSize(w, h);
    return p;
}

} // namespace

TCompanyPage::TCompanyPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet4"));
    Panel1 = Panel(this, "Panel1", 417, 377);
    Edit7 = Box("Edit7", 264);
    Edit8 = Box("Edit8", 264);
    Edit9 = Box("Edit9", 264);
    Edit10 = Box("Edit10", 264);
    Edit11 = Box("Edit11", 264);
    EditOverheadRate = Box("EditOverheadRate", 80);
    EditTaxRate = Box("EditTaxRate", 80);
    // Blank is the default rate, which the box shows greyed.
    EditOverheadRate->setPlaceholderText(Q(PercentText(kDefaultOverheadPercent)));
    EditTaxRate->setPlaceholderText(Q(PercentText(kDefaultTaxPercent)));
    Button4 = new QPushButton(QStringLiteral("确定(&O)"));
    Button4->setObjectName(QStringLiteral("Button4"));

    auto* grid = new QGridLayout(Panel1);
    grid->setContentsMargins(24, 28, 24, 20);
    grid->setVerticalSpacing(14);
    AddField(grid, 0, QStringLiteral("公司名称："), Edit7);
    AddField(grid, 1, QStringLiteral("地址："), Edit8);
    AddField(grid, 2, QStringLiteral("联系人："), Edit9);
    AddField(grid, 3, QStringLiteral("联系电话1:"), Edit10);
    AddField(grid, 4, QStringLiteral("联系电话2："), Edit11);
    // The rates every quotation's 管理费 and 税金 follow, unless a project has its own.
    AddField(grid, 5, QStringLiteral("管理费率（%）："), EditOverheadRate);
    AddField(grid, 6, QStringLiteral("税率（%）："), EditTaxRate);
    grid->addWidget(Button4, 7, 1, Qt::AlignRight);
    grid->setRowStretch(8, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(Panel1, 0, Qt::AlignLeft | Qt::AlignTop);

    connect(Button4, &QPushButton::clicked, this, &TCompanyPage::Button4Click);
}

void TCompanyPage::ShowCompanyInfo() {
    const TCompanyInfo& info = CompanyInfo();
    Edit7->setText(Q(info.Name));
    Edit8->setText(Q(info.Address));
    Edit9->setText(Q(info.Tel1));
    Edit10->setText(Q(info.Tel2));
    Edit11->setText(Q(info.Person));
    const TFirmRates rates = DM ? DM->LoadFirmRates() : TFirmRates{};
    EditOverheadRate->setText(Q(PercentText(rates.OverheadRate)));
    EditTaxRate->setText(Q(PercentText(rates.TaxRate)));
}

void TCompanyPage::Button4Click() {
    // A rate that is no percentage stops the whole save, and every box keeps
    // what was typed.
    TFirmRates rates;
    for (auto [box, caption, rate] : {std::tuple{EditOverheadRate, "管理费率", &rates.OverheadRate},
                                      std::tuple{EditTaxRate, "税率", &rates.TaxRate}}) {
        const FigureEntry entry = ReadPercentEntry(S(box->text()), caption);
        if (!entry.Accepted) {
            Messages().Show(entry.Refusal);
            box->setFocus();
            box->selectAll();
            return;
        }
        if (!entry.Blank) *rate = entry.Value;
    }
    TCompanyInfo& info = CompanyInfo();
    info.SetName(TrimmedText(Edit7->text()));
    info.SetAddress(TrimmedText(Edit8->text()));
    info.SetTel1(TrimmedText(Edit9->text()));
    info.SetTel2(TrimmedText(Edit10->text()));
    info.SetPerson(TrimmedText(Edit11->text()));
    const bool saved = AdminData().UpdateCompanyInfo(&info) && AdminData().SaveFirmRates(rates);
    if (saved) {
        EditOverheadRate->setText(Q(PercentText(rates.OverheadRate)));
        EditTaxRate->setText(Q(PercentText(rates.TaxRate)));
    }
    Messages().Show(saved ? "保存成功！" : "保存失败！");
}

TDesignerPage::TDesignerPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet5"));
    Panel2 = Panel(this, "Panel2", 495, 441);
    sgDes = new QTableWidget(Panel2);
    sgDes->setObjectName(QStringLiteral("sgDes"));
    sgDes->setAccessibleName(QStringLiteral("设计师"));
    sgDes->setFixedHeight(185);
    sgDes->verticalHeader()->hide();
    sgDes->verticalHeader()->setDefaultSectionSize(18);
    sgDes->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    sgDes->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgDes->setSelectionMode(QAbstractItemView::SingleSelection);
    sgDes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgDes->setShowGrid(true);
    Edit12 = Box("Edit12", 205);
    Edit13 = Box("Edit13", 205);
    Edit15 = Box("Edit15", 205);
    Button5 = new QPushButton(QStringLiteral("新建"));
    Button5->setObjectName(QStringLiteral("Button5"));
    Button7 = new QPushButton(QStringLiteral("删除"));
    Button7->setObjectName(QStringLiteral("Button7"));
    Button6 = new QPushButton(QStringLiteral("保存"));
    Button6->setObjectName(QStringLiteral("Button6"));
    Button8 = new QPushButton(QStringLiteral("取消"));
    Button8->setObjectName(QStringLiteral("Button8"));
    Button8->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(12);
    AddField(grid, 0, QStringLiteral("设计师姓名："), Edit12);
    AddField(grid, 1, QStringLiteral("地址："), Edit13);
    AddField(grid, 2, QStringLiteral("电话："), Edit15);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Button5, Button7, Button6, Button8}) buttons->addWidget(b);
    buttons->addStretch();
    auto* inner = new QVBoxLayout(Panel2);
    inner->addWidget(sgDes);
    inner->addSpacing(10);
    inner->addLayout(grid);
    inner->addSpacing(10);
    inner->addLayout(buttons);
    inner->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(Panel2, 0, Qt::AlignLeft | Qt::AlignTop);

    connect(sgDes, &QTableWidget::cellClicked, this, [this] { sgDesClick(); });
    connect(sgDes, &QTableWidget::currentCellChanged, this, [this] { sgDesClick(); });
    connect(Button5, &QPushButton::clicked, this, &TDesignerPage::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TDesignerPage::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TDesignerPage::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TDesignerPage::Button8Click);
}

void TDesignerPage::RefreshDesignerGrid() {
    const QSignalBlocker quiet(sgDes);
    const int keep = sgDes->currentRow();
    TDesignerGrid grid;
    grid.SetRowCount(1);
    grid.Rows[0] = {"编号", "设计师姓名", "设计师地址", "设计师电话"};
    AdminData().FillDesignerGrid(grid);
    sgDes->clear();
    sgDes->setColumnCount(4);
    sgDes->setRowCount(grid.RowCount() - 1); // row 0 is the heading row
    QStringList headings;
    for (const auto& h : grid.Rows[0]) headings << Q(h);
    sgDes->setHorizontalHeaderLabels(headings);
    const int widths[] = {50, 100, 150, 200};
    for (int c = 0; c < 4; ++c) sgDes->setColumnWidth(c, widths[c]);
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 0; c < 4; ++c)
            sgDes->setItem(
                r - 1, c, new QTableWidgetItem(Q(grid.Rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
        sgDes->setRowHeight(r - 1, grid.RowHeights[static_cast<std::size_t>(r)]);
    }
    // The current row stays where it was, within the rows there are now.
    const int rows = sgDes->rowCount();
    if (rows > 0) sgDes->setCurrentCell(keep < 0 ? 0 : std::min(keep, rows - 1), 0);
}

QString TDesignerPage::Cell(int column) const {
    const int row = sgDes->currentRow();
    const QTableWidgetItem* item = row >= 0 ? sgDes->item(row, column) : nullptr;
    return item ? item->text() : QString();
}

void TDesignerPage::sgDesClick() {
    Edit12->setText(Cell(1));
    Edit13->setText(Cell(2));
    Edit15->setText(Cell(3));
}

void TDesignerPage::Button5Click() {
    Edit12->clear();
    Edit13->clear();
    Edit15->clear();
    Button5->setEnabled(false);
    Button8->setEnabled(true);
}

void TDesignerPage::Button8Click() {
    Button5->setEnabled(true);
    Button8->setEnabled(false);
    sgDesClick();
}

void TDesignerPage::Button6Click() {
    TDes des;
    des.SetName(TrimmedText(Edit12->text()));
    des.SetTel(TrimmedText(Edit13->text()));     // the "地址：" box
    des.SetAddress(TrimmedText(Edit15->text())); // the "电话：" box
    AdminData().InsertDesigner(des);
    RefreshDesignerGrid();
    sgDesClick();
    Button5->setEnabled(true);
    Button8->setEnabled(false);
}

void TDesignerPage::Button7Click() {
    if (!Messages().Ask("确定删除该记录吗？", "询问")) return;
    if (!AdminData().DeleteDesigner(S(Cell(0)))) {
        Messages().Show("操作失败！");
        return;
    }
    Messages().Show("操作成功!");
    RefreshDesignerGrid();
    sgDesClick();
}

} // namespace lty
