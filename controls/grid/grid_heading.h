// The fixed heading row of the text grid: a header that stays in place while
// the rows scroll, drawn bold in the button colour with the grid's lines,
// exactly as high as the source's row 0.
#pragma once

#include "controls/grid/grid_delegate.h"

#include <QHeaderView>

namespace lty::controls {

class GridHeading : public QHeaderView {
    Q_OBJECT
public:
    explicit GridHeading(const GridColors& colors, QWidget* parent = nullptr);

    void SetHeight(int height);
    QSize sizeHint() const override;

signals:
    void rightClicked(int col, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const GridColors& colors_;
    int height_ = 21;
};

} // namespace lty::controls
