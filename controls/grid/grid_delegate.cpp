#include "controls/grid/grid_delegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace lty::controls {
namespace {

constexpr int kTextMargin = 2;

Qt::Alignment CellAlignment(const QModelIndex& index) {
    const QVariant a = index.data(Qt::TextAlignmentRole);
    return a.isValid() ? Qt::Alignment(a.toInt()) : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QRect r = option.rect;
    QColor background;
    if (option.state & QStyle::State_Selected) {
        background = Colors.Selected;
    } else {
        const QVariant own = index.data(Qt::BackgroundRole);
        background = own.isValid() ? own.value<QColor>() : index.row() % 2 == 0 ? Colors.BandFirst : Colors.BandSecond;
    }
    painter->fillRect(r, background);

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        painter->setFont(option.font);
        painter->setPen(Qt::black);
        const QRect textRect = r.adjusted(kTextMargin, 0, -kTextMargin - 1, -1);
        painter->drawText(textRect, int(CellAlignment(index) | Qt::AlignVCenter) | Qt::TextWordWrap, text);
    }

    // The right and bottom edges of every cell: one pixel, so neighbours share it.
    painter->setPen(Colors.Lines);
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setFont(option.font);
    edit->setAlignment((CellAlignment(index) & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
    edit->setAccessibleName(QStringLiteral("单元格编辑"));
    return edit;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    QStyledItemDelegate::setEditorData(editor, index);
    // The whole text is selected, so typing replaces it as in a spreadsheet.
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->selectAll();
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
    // Enter commits at once rather than on the next turn of the event loop,
    // and says so, so the grid can go down one row only for Enter, not for
    // every other way an editor closes.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            emit enterPressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace lty::controls
