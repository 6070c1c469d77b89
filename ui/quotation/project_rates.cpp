// The information page's rates and discount: the project's own 管理费率 and
// 税率 (blank: the firm's), a discount as an amount or a percentage, and the
// 优惠 it gives. The charges follow every figure the boxes accept; a figure
// they refuse is said once and the box gets back what it held.
#include "core/data/data_module.h"
#include "core/text/capital_amount.h"
#include "core/text/number_text.h"
#include "ui/common/globals.h"
#include "ui/quotation/project_window.h"
#include "ui/quotation/loading_scope.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace lty {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

constexpr int kRatesTop = 382;
constexpr int kDiscountTop = 416;
constexpr int kHeight = 24;

QLabel* BoxCaption(QGroupBox* box, const char* text, int left, int top, int width, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(text), box);
    label->setGeometry(left, top, width, kHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(buddy);
    QString name = label->text();
    name.remove(QStringLiteral("："));
    buddy->setAccessibleName(name);
    return label;
}

QLineEdit* Box(QGroupBox* box, const char* name, int left, int top, int width) {
    auto* e = new QLineEdit(box);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(left, top, width, kHeight);
    return e;
}

const char* const kValueNames[] = {"优惠", "优惠金额（元）", "优惠比例（%）"};

} // namespace

void TFrmProject_Detail::BuildRateBoxes() {
    QGroupBox* g = GroupBox1;
    EditOverheadRate = Box(g, "EditOverheadRate", 185, kRatesTop, 121);
    BoxCaption(g, "管理费率（%）：", 88, kRatesTop, 93, EditOverheadRate);
    EditTaxRate = Box(g, "EditTaxRate", 384, kRatesTop, 133);
    BoxCaption(g, "税率（%）：", 298, kRatesTop, 82, EditTaxRate);
    ComboDiscountKind = new QComboBox(g);
    ComboDiscountKind->setObjectName(QStringLiteral("ComboDiscountKind"));
    ComboDiscountKind->setGeometry(93, kDiscountTop, 88, kHeight);
    for (const char* kind : {"无", "金额（元）", "比例（%）"}) ComboDiscountKind->addItem(QString::fromUtf8(kind));
    BoxCaption(g, "优惠：", 4, kDiscountTop, 85, ComboDiscountKind)->setAccessibleName(QStringLiteral("优惠方式"));
    ComboDiscountKind->setAccessibleName(QStringLiteral("优惠方式"));
    EditDiscountValue = Box(g, "EditDiscountValue", 185, kDiscountTop, 121);
    EditDiscount = Box(g, "EditDiscount", 384, kDiscountTop, 133);
    BoxCaption(g, "优惠金额：", 298, kDiscountTop, 82, EditDiscount);
    // Worked out, like the fee and the tax: read-only, still reached by Tab.
    EditDiscount->setReadOnly(true);
    QPalette p = EditDiscount->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    EditDiscount->setPalette(p);

    firmRates_ = DM ? DM->LoadFirmRates() : TFirmRates{};
    ShowRates({});

    for (QLineEdit* e : {EditOverheadRate, EditTaxRate, EditDiscountValue}) {
        connect(e, &QLineEdit::textChanged, this, [this] { RatesTyped(); });
        connect(e, &QLineEdit::editingFinished, this, [this, e] { RateBoxExit(e); });
    }
    connect(ComboDiscountKind, &QComboBox::currentIndexChanged, this, [this](int kind) { DiscountKindChosen(kind); });
}

void TFrmProject_Detail::ShowRates(const TREC_PROJECTRATE& rates) {
    const Loading loading(loading_);
    // Blank shows the firm's rate, greyed, the one a blank box stands for.
    EditOverheadRate->setPlaceholderText(Q(PercentText(firmRates_.OverheadRate)) + QStringLiteral("（公司）"));
    EditTaxRate->setPlaceholderText(Q(PercentText(firmRates_.TaxRate)) + QStringLiteral("（公司）"));
    EditOverheadRate->setText(rates.OverheadRate ? Q(PercentText(*rates.OverheadRate)) : QString());
    EditTaxRate->setText(rates.TaxRate ? Q(PercentText(*rates.TaxRate)) : QString());
    const int kind = rates.DiscountValue > 0 ? rates.DiscountKind : 0;
    ComboDiscountKind->setCurrentIndex(kind);
    discountKind_ = kind;
    EditDiscountValue->setText(kind == 0 ? QString() : Q(FloatToStr(rates.DiscountValue)));
    EditDiscountValue->setEnabled(kind != 0);
    EditDiscountValue->setAccessibleName(QString::fromUtf8(kValueNames[kind]));
    for (QLineEdit* e : {EditOverheadRate, EditTaxRate, EditDiscountValue}) acceptedText_[e] = e->text();
    grid_.SetTerms(TermsOf(rates));
    EditDiscount->setText(Q(CentsText(DiscountCents(grid_.ProjectTotal(), grid_.Terms()))));
}

ChargeTerms TFrmProject_Detail::TermsOf(const TREC_PROJECTRATE& rates) const {
    ChargeTerms t;
    t.OverheadPercent = rates.OverheadRate.value_or(firmRates_.OverheadRate);
    t.TaxPercent = rates.TaxRate.value_or(firmRates_.TaxRate);
    t.Discount = static_cast<DiscountKind>(rates.DiscountKind);
    t.DiscountValue = rates.DiscountValue;
    return t;
}

TREC_PROJECTRATE TFrmProject_Detail::ProjectRates() const {
    TREC_PROJECTRATE r;
    const auto read = [](const FigureEntry& e) {
        if (!e.Accepted) throw ConvertError(e.Refusal);
        return e;
    };
    if (const FigureEntry e = read(ReadPercentEntry(S(EditOverheadRate->text()), "管理费率")); !e.Blank)
        r.OverheadRate = e.Value;
    if (const FigureEntry e = read(ReadPercentEntry(S(EditTaxRate->text()), "税率")); !e.Blank) r.TaxRate = e.Value;
    const auto kind = static_cast<DiscountKind>(ComboDiscountKind->currentIndex());
    if (kind != DiscountKind::None) {
        const FigureEntry e = read(ReadDiscountEntry(S(EditDiscountValue->text()), kind));
        if (e.Value > 0) {
            r.DiscountKind = static_cast<int>(kind);
            r.DiscountValue = e.Value;
        }
    }
    return r;
}

void TFrmProject_Detail::ApplyRates(const TREC_PROJECTRATE& rates) {
    const ChargeTerms terms = TermsOf(rates);
    if (terms == grid_.Terms()) return;
    grid_.SetTerms(terms);
    try {
        grid_.RecalcCharges();
    } catch (const ConvertError&) {
        return; // an amount that is no number: the charges stay until the grid is put right
    }
    {
        const Loading loading(loading_);
        ShowCharges();
    }
    modified_ = true;
}

void TFrmProject_Detail::RatesTyped() {
    if (loading_ > 0) return;
    try {
        ApplyRates(ProjectRates());
    } catch (const ConvertError&) {
        // Still being typed; judged when the box is left.
    }
}

void TFrmProject_Detail::RateBoxExit(QLineEdit* box) {
    if (loading_ > 0 || refusing_) return;
    const std::string text = S(box->text());
    const FigureEntry entry = box == EditDiscountValue
                                  ? ReadDiscountEntry(text, static_cast<DiscountKind>(ComboDiscountKind->currentIndex()))
                                  : ReadPercentEntry(text, box == EditTaxRate ? "税率" : "管理费率");
    if (entry.Accepted) {
        acceptedText_[box] = box->text();
        return;
    }
    refusing_ = true;
    {
        const Loading loading(loading_);
        box->setText(acceptedText_[box]);
    }
    Messages().Show(entry.Refusal);
    refusing_ = false;
    RatesTyped();
}

void TFrmProject_Detail::DiscountKindChosen(int kind) {
    if (loading_ > 0 || kind == discountKind_) return;
    const FigureEntry entry = ReadDiscountEntry(S(EditDiscountValue->text()), static_cast<DiscountKind>(kind));
    if (kind != 0 && !entry.Accepted) {
        // 500 as an amount is no percentage: the way stays as it was.
        {
            const Loading loading(loading_);
            ComboDiscountKind->setCurrentIndex(discountKind_);
        }
        Messages().Show(entry.Refusal);
        return;
    }
    discountKind_ = kind;
    EditDiscountValue->setEnabled(kind != 0);
    EditDiscountValue->setAccessibleName(QString::fromUtf8(kValueNames[kind]));
    if (kind != 0 && EditDiscountValue->text().isEmpty()) EditDiscountValue->setFocus();
    RatesTyped();
}

} // namespace lty
