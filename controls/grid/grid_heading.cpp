#include "controls/grid/grid_heading.h"

#include <QMouseEvent>
#include <QPainter>

namespace lty::controls {

GridHeading::GridHeading(const GridColors& colors, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), colors_(colors) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionsMovable(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(1);
}

void GridHeading::SetHeight(int height) {
    height_ = height;
    updateGeometry();
}

QSize GridHeading::sizeHint() const {
    QSize s = QHeaderView::sizeHint();
    s.setHeight(height_);
    return s;
}

void GridHeading::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightClicked(logicalIndexAt(event->position().toPoint()), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

void GridHeading::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) return;
    painter->save();
    const QColor fill = colors_.Heading.isValid() ? colors_.Heading : palette().color(QPalette::Button);
    painter->fillRect(rect, fill);
    QFont bold = font();
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(Qt::black);
    const QVariant a = model() ? model()->headerData(logicalIndex, Qt::Horizontal, Qt::TextAlignmentRole) : QVariant();
    const int align = a.isValid() ? a.toInt() : int(Qt::AlignCenter);
    const QString text =
        model() ? model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
    painter->drawText(rect.adjusted(2, 0, -3, -1), align | Qt::AlignVCenter | Qt::TextWordWrap, text);
    painter->setPen(colors_.Lines);
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

} // namespace lty::controls
