// "重新计价": the lines of a quotation whose catalog price changed, each with
// a check box (all checked), old and new price, the difference, and the total
// difference of the checked ones. 应用 accepts; the caller applies Chosen().
#pragma once

#include "core/quotation/reprice.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lty {

class TFrmReprice : public QDialog {
    Q_OBJECT
public:
    TFrmReprice(QWidget* parent, PriceComparison comparison);

    // The changes whose box is checked, in row order.
    std::vector<PriceChange> Chosen() const;

    QTreeWidget* ChangeList = nullptr;
    QLabel* TotalLabel = nullptr; // "已选 n 项，合计差额 x 元"
    QLabel* NoteLabel = nullptr;  // lines that could not be compared, when any
    QPushButton* BtnApply = nullptr;
    QPushButton* BtnCancel = nullptr;

private:
    void ShowTotal();

    PriceComparison comparison_;
};

} // namespace lty
