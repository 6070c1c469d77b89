#include "ui/quotation/house_type_dialog.h"

#include "ui/common/project_window_host.h"
#include "ui/common/pictures.h"
#include "ui/quotation/number_boxes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lty {

TFrmSelectHuxing::TFrmSelectHuxing(ProjectWindowHost* host)
    : QDialog(host->HostWidget(), Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                        Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      host_(host) {
    setObjectName(QStringLiteral("TFrmSelectHuxing"));
    setWindowTitle(QStringLiteral("户型选择"));
    setWindowIcon(Picture("house_type"));
    setModal(false);
    setFixedSize(372, 259);

    GroupBox1 = new QGroupBox(QStringLiteral("选择户型"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setAutoFillBackground(true);
    QPalette pal = GroupBox1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    GroupBox1->setPalette(pal);
    auto* grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(10);

    const auto box = [&](const char* name, const char* text, const char* label, int line, int column) {
        auto* e = new QLineEdit(QString::fromUtf8(text), GroupBox1);
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(48);
        e->setAlignment(Qt::AlignRight);
        e->setAccessibleName(QString::fromUtf8(label));
        ApplyNumberBoxRules(e, false);
        auto* l = new QLabel(QString::fromUtf8(label), GroupBox1);
        l->setBuddy(e);
        grid->addWidget(e, line, column * 2);
        grid->addWidget(l, line, column * 2 + 1);
        return e;
    };
    const HouseTypeTexts d = DefaultHouseTypeTexts();
    Edit5 = box("Edit5", d.Bedroom.c_str(), "室", 0, 0);
    Edit3 = box("Edit3", d.LivingRoom.c_str(), "厅", 0, 1);
    Edit4 = box("Edit4", d.Bathroom.c_str(), "卫", 0, 2);
    Edit8 = box("Edit8", d.Balcony.c_str(), "阳台", 1, 0);
    Edit6 = box("Edit6", d.Kitchen.c_str(), "厨房", 1, 1);
    Edit7 = box("Edit7", d.Corridor.c_str(), "过道", 1, 2);
    Edit12 = box("Edit12", d.Storeroom.c_str(), "储物间", 2, 0);
    Edit9 = box("Edit9", d.Entrance.c_str(), "玄关", 2, 1);
    Edit10 = box("Edit10", d.Stairs.c_str(), "楼梯", 2, 2);
    Edit2 = box("Edit2", d.WaterElectric.c_str(), "水电", 3, 0);
    Edit11 = box("Edit11", d.Other.c_str(), "其他", 3, 1);
    for (int c : {1, 3, 5}) grid->setColumnStretch(c, 1);

    Button1 = new QPushButton(QStringLiteral("确定(&O)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFrmSelectHuxing::Button1Click);
    Button2 = new QPushButton(QStringLiteral("取消(&C)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button2, &QPushButton::clicked, this, &TFrmSelectHuxing::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
}

HouseTypeTexts TFrmSelectHuxing::Texts() const {
    HouseTypeTexts t;
    t.Bedroom = Edit5->text().toStdString();
    t.LivingRoom = Edit3->text().toStdString();
    t.Bathroom = Edit4->text().toStdString();
    t.Balcony = Edit8->text().toStdString();
    t.Kitchen = Edit6->text().toStdString();
    t.Corridor = Edit7->text().toStdString();
    t.Storeroom = Edit12->text().toStdString();
    t.Entrance = Edit9->text().toStdString();
    t.Stairs = Edit10->text().toStdString();
    t.WaterElectric = Edit2->text().toStdString();
    t.Other = Edit11->text().toStdString();
    return t;
}

void TFrmSelectHuxing::Button1Click() {
    if (host_->OpenProjectWindow(1)) close();
}

void TFrmSelectHuxing::Button2Click() { close(); }

} // namespace lty
