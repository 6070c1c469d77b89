// "户型选择": the room counts a new quotation is laid out from. Created on
// first use and kept, so the counts entered last are there the next time.
#pragma once

#include "core/quotation/house_type.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace lty {

class ProjectWindowHost;

class TFrmSelectHuxing : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSelectHuxing(ProjectWindowHost* host);

    // The eleven boxes' texts as typed, for ReadHouseType.
    HouseTypeTexts Texts() const;

    // "确定(&O)": a project window laid out from the counts; the dialog closes
    // when one was made.
    void Button1Click();
    // "取消(&C)"
    void Button2Click();

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit2 = nullptr;  // 水电
    QLineEdit* Edit3 = nullptr;  // 厅
    QLineEdit* Edit4 = nullptr;  // 卫
    QLineEdit* Edit5 = nullptr;  // 室
    QLineEdit* Edit6 = nullptr;  // 厨房
    QLineEdit* Edit7 = nullptr;  // 过道
    QLineEdit* Edit8 = nullptr;  // 阳台
    QLineEdit* Edit9 = nullptr;  // 玄关
    QLineEdit* Edit10 = nullptr; // 楼梯
    QLineEdit* Edit11 = nullptr; // 其他
    QLineEdit* Edit12 = nullptr; // 储物间
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    ProjectWindowHost* host_;
};

} // namespace lty
