// The information page "工程信息": the customer, the house, the designer,
// the dates and the charges, in the rows and keyboard order users know.
#include "ui/quotation/number_boxes.h"
#include "ui/quotation/project_versions.h"
#include "ui/quotation/project_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace lty {
namespace {

constexpr int kLeftColumn = 93;
constexpr int kRightColumn = 384;
constexpr int kRowHeight = 24;
const QColor kTeal(0x00, 0x80, 0x80);

// Row tops inside the group box: six single-line rows, the memo, the
// charges, (the rates and the discount at 382 and 416,) the total.
constexpr int kRowTop[] = {30, 64, 98, 132, 166, 200, 234, 348, 454};

QLabel* CaptionLabel(QGroupBox* box, const char* text, int row, int controlLeft, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(text), box);
    const int left = controlLeft == kLeftColumn ? 4 : controlLeft - 86;
    label->setGeometry(left, kRowTop[row], controlLeft - 4 - left, kRowHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (buddy) {
        label->setBuddy(buddy);
        QString name = label->text();
        name.remove(QStringLiteral("："));
        buddy->setAccessibleName(name);
    }
    return label;
}

template <typename W>
W* Place(QGroupBox* box, const char* name, int row, int left, int width, int height = kRowHeight) {
    auto* w = new W(box);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, kRowTop[row], width, height);
    return w;
}

QComboBox* EditableCombo(QGroupBox* box, const char* name, int row, int left, int width,
                         std::initializer_list<const char*> items) {
    auto* c = Place<QComboBox>(box, name, row, left, width);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : items) c->addItem(QString::fromUtf8(item));
    return c;
}

} // namespace

void TFrmProject_Detail::BuildInformationPage() {
    auto* outer = new QGridLayout(TabSheet1);
    outer->setContentsMargins(24, 40, 24, 24);
    GroupBox1 = new QGroupBox(QStringLiteral("工程信息"), TabSheet1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedSize(545, 492);
    GroupBox1->setAutoFillBackground(true);
    QPalette pal = GroupBox1->palette();
    pal.setColor(QPalette::Window, QColor(0xC8, 0xC8, 0xC8));
    GroupBox1->setPalette(pal);
    outer->addWidget(GroupBox1, 0, 1, Qt::AlignTop);
    outer->setColumnStretch(0, 1);
    outer->setColumnStretch(2, 1);
    outer->setRowStretch(1, 1);
    QGroupBox* g = GroupBox1;

    Edit1 = Place<QLineEdit>(g, "Edit1", 0, kLeftColumn, 213);
    CaptionLabel(g, "客户名称：", 0, kLeftColumn, Edit1);
    Edit2 = Place<QLineEdit>(g, "Edit2", 0, kRightColumn, 137);
    CaptionLabel(g, "工程编号：", 0, kRightColumn, Edit2);
    Edit3 = Place<QLineEdit>(g, "Edit3", 1, kLeftColumn, 427);
    CaptionLabel(g, "工程地址：", 1, kLeftColumn, Edit3);
    Edit4 = Place<QLineEdit>(g, "Edit4", 2, kLeftColumn, 209);
    CaptionLabel(g, "客户电话：", 2, kLeftColumn, Edit4);
    ComboBox1 = EditableCombo(g, "ComboBox1", 2, kRightColumn, 135,
                              {"一室", "一室一厅", "一室两厅", "两室", "两室一厅", "两室两厅", "三室", "三室一厅",
                               "三室两天", "四室", "四室一厅", "四室两厅"});
    CaptionLabel(g, "户型：", 2, kRightColumn, ComboBox1);
    ComboBox2 = EditableCombo(g, "ComboBox2", 3, kLeftColumn, 210, {"简装", "普装", "精装", "豪华装"});
    CaptionLabel(g, "装饰风格：", 3, kLeftColumn, ComboBox2);
    Edit5 = Place<QLineEdit>(g, "Edit5", 3, kRightColumn, 137);
    CaptionLabel(g, "装饰面积：", 3, kRightColumn, Edit5);
    ComboBox3 = EditableCombo(g, "ComboBox3", 4, kLeftColumn, 211, {});
    CaptionLabel(g, "设计师：", 4, kLeftColumn, ComboBox3);
    Edit6 = Place<QLineEdit>(g, "Edit6", 4, kRightColumn, 136);
    CaptionLabel(g, "设计电话：", 4, kRightColumn, Edit6);
    DateTimePicker1 = Place<QDateEdit>(g, "DateTimePicker1", 5, kLeftColumn, 209);
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    CaptionLabel(g, "量房日期：", 5, kLeftColumn, DateTimePicker1);
    Edit7 = Place<QLineEdit>(g, "Edit7", 5, kRightColumn, 135);
    CaptionLabel(g, "定金：", 5, kRightColumn, Edit7);
    Memo1 = Place<QPlainTextEdit>(g, "Memo1", 6, kLeftColumn, 428, 102);
    Memo1->setTabChangesFocus(true);
    CaptionLabel(g, "客户要求：", 6, kLeftColumn, Memo1)->setAlignment(Qt::AlignRight | Qt::AlignTop);

    CheckBox1 = Place<QCheckBox>(g, "CheckBox1", 7, 16, 80);
    CheckBox1->setText(QStringLiteral("已签合同"));
    Edit8 = Place<QLineEdit>(g, "Edit8", 7, 185, 121);
    auto* fee = CaptionLabel(g, "管理费：", 7, 185, Edit8);
    fee->setGeometry(100, kRowTop[7], 81, kRowHeight);
    Edit9 = Place<QLineEdit>(g, "Edit9", 7, kRightColumn, 133);
    CaptionLabel(g, "税金：", 7, kRightColumn, Edit9);
    // Computed from the quotation; nobody types them. Read-only rather than
    // disabled: the keyboard and a screen reader reach them and read the
    // figure out, where a disabled box is passed over.
    for (QLineEdit* e : {Edit8, Edit9}) {
        e->setReadOnly(true);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Window));
        e->setPalette(p);
    }

    QFont totalFont = font();
    totalFont.setBold(true);
    totalFont.setPointSizeF(totalFont.pointSizeF() * 1.25);
    auto* totalCaption = new QLabel(QStringLiteral("项目总价（元）："), g);
    totalCaption->setGeometry(16, kRowTop[8], 150, kRowHeight + 4);
    Label16 = Place<QLabel>(g, "Label16", 8, 170, 193, kRowHeight + 4);
    // The figure takes the keyboard focus like the fee and the tax, so Tab
    // reaches it and a screen reader reads its name, which holds the figure.
    Label16->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Label16->setFocusPolicy(Qt::StrongFocus);
    ShowTotalText(QStringLiteral("0.00"));
    for (QLabel* l : {totalCaption, Label16}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, kTeal);
        l->setPalette(p);
        l->setFont(totalFont);
    }

    BuildRateBoxes();
    ApplyNumberBoxRules(Edit5, true);
    ApplyNumberBoxRules(Edit7, true);

    VersionsBox = new ProjectVersionsBox(*this, TabSheet1);
    outer->addWidget(VersionsBox, 1, 1, Qt::AlignTop);

    QWidget* order[] = {Edit1,     Edit2,           Edit3,       Edit4,           ComboBox1,         ComboBox2,
                        Edit5,     ComboBox3,       Edit6,       DateTimePicker1, Edit7,             Memo1,
                        CheckBox1, Edit8,           Edit9,       EditOverheadRate, EditTaxRate,     ComboDiscountKind,
                        EditDiscountValue, EditDiscount, Label16};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TFrmProject_Detail::ShowTotalText(const QString& text) {
    Label16->setText(text);
    // The caption beside it is another label; read alone, the figure would
    // be a bare number, and named by the caption alone it would never be read.
    Label16->setAccessibleName(QStringLiteral("项目总价（元）：") + text);
}

void TFrmProject_Detail::WatchForChanges() {
    const auto changed = [this] {
        if (loading_ == 0) modified_ = true;
    };
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7})
        connect(e, &QLineEdit::textChanged, this, changed);
    for (QComboBox* c : {ComboBox1, ComboBox2, ComboBox3}) connect(c, &QComboBox::currentTextChanged, this, changed);
    connect(DateTimePicker1, &QDateEdit::dateChanged, this, changed);
    connect(Memo1, &QPlainTextEdit::textChanged, this, changed);
    connect(CheckBox1, &QCheckBox::toggled, this, changed);
}

} // namespace lty
