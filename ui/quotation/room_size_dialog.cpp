#include "ui/quotation/room_size_dialog.h"

#include "ui/common/globals.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lty {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLineEdit* LengthBox(const QString& name, const QString& accessible, std::int64_t mm) {
    auto* e = new QLineEdit(mm > 0 ? Q(MetresText(mm)) : QString());
    e->setObjectName(name);
    e->setAccessibleName(accessible);
    e->setPlaceholderText(QStringLiteral("米"));
    e->setMaximumWidth(90);
    return e;
}

QString FigureText(const std::optional<std::int64_t>& figure) {
    return figure ? Q(HundredthsText(*figure)) : QStringLiteral("—");
}

} // namespace

std::function<bool(TFrmRoomSize&)> TFrmRoomSize::Run = [](TFrmRoomSize& d) { return d.exec() == QDialog::Accepted; };

TFrmRoomSize::TFrmRoomSize(const QString& roomName, const RoomSize& size, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFrmRoomSize"));
    setWindowTitle(QStringLiteral("房间尺寸 - ") + roomName);

    EditLength = LengthBox(QStringLiteral("EditLength"), QStringLiteral("长（米）"), size.LengthMm);
    EditWidth = LengthBox(QStringLiteral("EditWidth"), QStringLiteral("宽（米）"), size.WidthMm);
    EditHeight = LengthBox(QStringLiteral("EditHeight"), QStringLiteral("高（米）"), size.HeightMm);
    auto* sizes = new QFormLayout;
    const auto field = [&](const QString& text, QLineEdit* edit) {
        auto* label = new QLabel(text);
        label->setBuddy(edit);
        sizes->addRow(label, edit);
    };
    field(QStringLiteral("长(&L)（米）："), EditLength);
    field(QStringLiteral("宽(&W)（米）："), EditWidth);
    field(QStringLiteral("高(&H)（米）："), EditHeight);

    auto* openingsBox = new QGroupBox(QStringLiteral("扣除门窗"));
    Openings = new QTableWidget(0, 3, openingsBox);
    Openings->setObjectName(QStringLiteral("Openings"));
    Openings->setAccessibleName(QStringLiteral("扣除门窗：宽、高（米）和数量"));
    Openings->setHorizontalHeaderLabels(
        {QStringLiteral("宽（米）"), QStringLiteral("高（米）"), QStringLiteral("数量")});
    Openings->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Openings->verticalHeader()->setVisible(false);
    Openings->setTabKeyNavigation(false); // Tab leaves the table, arrows move inside it
    Openings->setMinimumHeight(110);
    ButtonAddOpening = new QPushButton(QStringLiteral("添加门窗(&A)"));
    ButtonAddOpening->setObjectName(QStringLiteral("ButtonAddOpening"));
    ButtonRemoveOpening = new QPushButton(QStringLiteral("删除门窗(&D)"));
    ButtonRemoveOpening->setObjectName(QStringLiteral("ButtonRemoveOpening"));
    auto* openingButtons = new QHBoxLayout;
    openingButtons->addWidget(ButtonAddOpening);
    openingButtons->addWidget(ButtonRemoveOpening);
    openingButtons->addStretch();
    auto* openingsLayout = new QVBoxLayout(openingsBox);
    openingsLayout->addWidget(Openings);
    openingsLayout->addLayout(openingButtons);

    auto* figuresBox = new QGroupBox(QStringLiteral("计算结果"));
    auto* figures = new QGridLayout(figuresBox);
    const auto figure = [&](int row, const QString& caption, const char* name, QLabel*& label) {
        label = new QLabel;
        label->setObjectName(QLatin1String(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        label->setFocusPolicy(Qt::StrongFocus); // a screen reader reaches it with Tab
        label->setProperty("caption", caption);
        figures->addWidget(new QLabel(caption), row, 0);
        figures->addWidget(label, row, 1);
    };
    figure(0, QStringLiteral("地面面积（平米）："), "LabelFloor", LabelFloor);
    figure(1, QStringLiteral("墙面面积（平米）："), "LabelWall", LabelWall);
    figure(2, QStringLiteral("顶面面积（平米）："), "LabelCeiling", LabelCeiling);
    figure(3, QStringLiteral("周长（米）："), "LabelPerimeter", LabelPerimeter);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定(&O)"));
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消(&C)"));

    auto* top = new QHBoxLayout;
    top->addLayout(sizes);
    top->addWidget(figuresBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(openingsBox);
    layout->addWidget(Buttons);

    for (const auto& o : size.Openings) AddOpening(o);
    ShowFigures();

    for (QLineEdit* e : {EditLength, EditWidth, EditHeight})
        connect(e, &QLineEdit::textChanged, this, &TFrmRoomSize::ShowFigures);
    connect(Openings, &QTableWidget::itemChanged, this, &TFrmRoomSize::ShowFigures);
    connect(ButtonAddOpening, &QPushButton::clicked, this, [this] {
        AddOpening({900, 2100, 1});
        Openings->setCurrentCell(Openings->rowCount() - 1, 0);
        Openings->setFocus();
    });
    connect(ButtonRemoveOpening, &QPushButton::clicked, this, [this] {
        const int row = Openings->currentRow();
        if (row >= 0) Openings->removeRow(row);
        ShowFigures();
    });
    connect(Buttons, &QDialogButtonBox::accepted, this, &TFrmRoomSize::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TFrmRoomSize::reject);
    EditLength->setFocus();
}

void TFrmRoomSize::AddOpening(const RoomOpening& opening) {
    const int row = Openings->rowCount();
    Openings->insertRow(row);
    const QString texts[3] = {Q(MetresText(opening.WidthMm)), Q(MetresText(opening.HeightMm)),
                              Q(std::to_string(opening.Count))};
    for (int c = 0; c < 3; ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Openings->setItem(row, c, item);
    }
    ShowFigures();
}

std::optional<RoomSize> TFrmRoomSize::TypedSize(bool showRefusal) const {
    RoomSize size;
    std::string refusal;
    const auto refuse = [&]() -> std::optional<RoomSize> {
        if (showRefusal) Messages().Show(refusal);
        return std::nullopt;
    };
    if (!ReadMetres(EditLength->text().toStdString(), size.LengthMm, refusal) ||
        !ReadMetres(EditWidth->text().toStdString(), size.WidthMm, refusal) ||
        !ReadMetres(EditHeight->text().toStdString(), size.HeightMm, refusal))
        return refuse();
    for (int r = 0; r < Openings->rowCount(); ++r) {
        const auto text = [&](int c) {
            const QTableWidgetItem* item = Openings->item(r, c);
            return item ? item->text().toStdString() : std::string();
        };
        RoomOpening o;
        if (!ReadMetres(text(0), o.WidthMm, refusal) || !ReadMetres(text(1), o.HeightMm, refusal) ||
            !ReadOpeningCount(text(2), o.Count, refusal))
            return refuse();
        // A row left empty deducts nothing and is not kept.
        if (o.WidthMm > 0 && o.HeightMm > 0 && o.Count > 0) size.Openings.push_back(o);
    }
    return size;
}

void TFrmRoomSize::ShowFigures() {
    const auto size = TypedSize(false);
    const RoomFigures f = size ? ComputeRoomFigures(*size) : RoomFigures{};
    LabelFloor->setText(FigureText(f.Floor));
    LabelWall->setText(FigureText(f.Wall));
    LabelCeiling->setText(FigureText(f.Ceiling));
    LabelPerimeter->setText(FigureText(f.Perimeter));
    for (QLabel* l : {LabelFloor, LabelWall, LabelCeiling, LabelPerimeter})
        l->setAccessibleName(l->property("caption").toString() + l->text());
}

QString TFrmRoomSize::FigureTexts() const {
    return LabelFloor->text() + ' ' + LabelWall->text() + ' ' + LabelCeiling->text() + ' ' + LabelPerimeter->text();
}

void TFrmRoomSize::accept() {
    if (!TypedSize(true)) return; // the message said which box; the dialog stays open
    QDialog::accept();
}

} // namespace lty
