// "房间尺寸": a room's length, width and height and the doors and windows to
// deduct, with the floor, wall and ceiling areas and the perimeter worked
// out as they are typed. The dialog only reads and shows; the figures and
// what they do to the quotation come from core/quotation/rooms.h.
#pragma once

#include "core/quotation/rooms.h"

#include <QDialog>

#include <functional>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace lty {

class TFrmRoomSize : public QDialog {
    Q_OBJECT
public:
    TFrmRoomSize(const QString& roomName, const RoomSize& size, QWidget* parent = nullptr);

    // The measurements as typed; none (after the message of the first box
    // that holds no length or count) when one cannot be read.
    std::optional<RoomSize> TypedSize(bool showRefusal) const;
    // The four figures as the labels show them.
    QString FigureTexts() const;

    // How the dialog is run; tests put their own hand here. Answers whether
    // it was accepted.
    static std::function<bool(TFrmRoomSize&)> Run;

    QLineEdit* EditLength = nullptr;  // 长
    QLineEdit* EditWidth = nullptr;   // 宽
    QLineEdit* EditHeight = nullptr;  // 高
    QTableWidget* Openings = nullptr; // 门窗: 宽, 高, 数量
    QPushButton* ButtonAddOpening = nullptr;
    QPushButton* ButtonRemoveOpening = nullptr;
    QLabel* LabelFloor = nullptr;
    QLabel* LabelWall = nullptr;
    QLabel* LabelCeiling = nullptr;
    QLabel* LabelPerimeter = nullptr;
    QDialogButtonBox* Buttons = nullptr;

    void AddOpening(const RoomOpening& opening = {});
    void ShowFigures();
    void accept() override;
};

} // namespace lty
