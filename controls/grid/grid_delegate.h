// How a cell of the text grid looks and is edited: its own background or its
// row's band, the selected cell in one flat colour with black text and no
// focus frame, word-wrapped text centred vertically, thin grid lines.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace lty::controls {

struct GridColors {
    QColor Selected{0xB6, 0xCA, 0xEA};
    QColor Lines{0xC0, 0xC0, 0xC0}; // silver
    QColor BandFirst{Qt::white};    // the first row under the heading, then every other
    QColor BandSecond{Qt::white};
    QColor Heading; // invalid: the palette's button colour
};

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    GridColors Colors;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

signals:
    // Enter ended the editing: the text is written and the editor closed.
    void enterPressed();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

} // namespace lty::controls
