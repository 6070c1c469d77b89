#include "ui/quotation/reprice_dialog.h"

#include "core/text/capital_amount.h"
#include "core/text/number_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lty {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A difference with its sign, as money.
QString Signed(std::int64_t cents) { return (cents > 0 ? QStringLiteral("+") : QString()) + Q(CentsText(cents)); }

} // namespace

TFrmReprice::TFrmReprice(QWidget* parent, PriceComparison comparison)
    : QDialog(parent), comparison_(std::move(comparison)) {
    setObjectName(QStringLiteral("TFrmReprice"));
    setWindowTitle(QStringLiteral("重新计价"));
    resize(760, 420);

    auto* intro = new QLabel(QStringLiteral("以下施工项目的价格与目前的价格表不同，勾选要更新的项目："), this);
    ChangeList = new QTreeWidget(this);
    ChangeList->setObjectName(QStringLiteral("ChangeList"));
    ChangeList->setAccessibleName(QStringLiteral("价格有变化的施工项目"));
    intro->setBuddy(ChangeList);
    ChangeList->setRootIsDecorated(false);
    ChangeList->setUniformRowHeights(true);
    ChangeList->setHeaderLabels({QStringLiteral("施工项目"), QStringLiteral("房间"), QStringLiteral("数量"),
                                 QStringLiteral("单位"), QStringLiteral("原单价"), QStringLiteral("新单价"),
                                 QStringLiteral("单价差"), QStringLiteral("金额差")});
    // Made apart and added at once, with widths set rather than measured:
    // a quotation of thousands of lines lists at once.
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(comparison_.Changes.size()));
    for (const PriceChange& c : comparison_.Changes) {
        auto* item = new QTreeWidgetItem;
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        item->setText(0, Q(c.Name));
        item->setText(1, Q(c.Room));
        item->setText(2, Q(c.Count));
        item->setText(3, Q(c.Unit));
        item->setText(4, Q(c.OldPrice));
        item->setText(5, Q(c.NewPrice));
        const double priceDifference = c.NewPriceValue - c.OldPriceValue;
        item->setText(6, (priceDifference > 0 ? QStringLiteral("+") : QString()) + Q(FloatToStr(priceDifference)));
        item->setText(7, Signed(c.AmountDifferenceCents()));
        for (int col = 2; col < 8; ++col)
            if (col != 3) item->setTextAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    ChangeList->addTopLevelItems(items);
    constexpr int kWidths[] = {200, 90, 60, 50, 70, 70, 70, 80};
    for (int col = 0; col < 8; ++col) ChangeList->setColumnWidth(col, kWidths[col]);
    if (ChangeList->topLevelItemCount() > 0) ChangeList->setCurrentItem(ChangeList->topLevelItem(0));
    connect(ChangeList, &QTreeWidget::itemChanged, this, [this] { ShowTotal(); });

    TotalLabel = new QLabel(this);
    TotalLabel->setObjectName(QStringLiteral("TotalLabel"));
    NoteLabel = new QLabel(this);
    NoteLabel->setObjectName(QStringLiteral("NoteLabel"));
    NoteLabel->setWordWrap(true);
    QStringList notes;
    if (comparison_.Missing > 0) notes << QStringLiteral("%1 项在价格表中已找不到").arg(comparison_.Missing);
    if (comparison_.Ambiguous > 0)
        notes << QStringLiteral("%1 项在价格表中有多个同名同单位、价格不同的条目").arg(comparison_.Ambiguous);
    NoteLabel->setText(notes.isEmpty() ? QString() : notes.join(QStringLiteral("，")) + QStringLiteral("，未作比较。"));
    NoteLabel->setVisible(!notes.isEmpty());

    BtnApply = new QPushButton(QStringLiteral("应用(&A)"), this);
    BtnApply->setObjectName(QStringLiteral("BtnApply"));
    BtnApply->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(BtnApply, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(TotalLabel, 1);
    buttons->addWidget(BtnApply);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(ChangeList, 1);
    layout->addWidget(NoteLabel);
    layout->addLayout(buttons);
    ShowTotal();
    ChangeList->setFocus();
}

std::vector<PriceChange> TFrmReprice::Chosen() const {
    std::vector<PriceChange> out;
    for (int i = 0; i < ChangeList->topLevelItemCount(); ++i)
        if (ChangeList->topLevelItem(i)->checkState(0) == Qt::Checked)
            out.push_back(comparison_.Changes[static_cast<std::size_t>(i)]);
    return out;
}

void TFrmReprice::ShowTotal() {
    const auto chosen = Chosen();
    TotalLabel->setText(
        QStringLiteral("已选 %1 项，合计差额 %2 元").arg(chosen.size()).arg(Signed(TotalDifferenceCents(chosen))));
    BtnApply->setEnabled(!chosen.empty());
}

} // namespace lty
