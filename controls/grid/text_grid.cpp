#include "controls/grid/text_grid.h"

#include "controls/grid/grid_heading.h"
#include "controls/menu/keyboard_menu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace lty::controls {

TextGrid::TextGrid(QWidget* parent) : QTableView(parent) {
    delegate_ = new GridDelegate(this);
    setItemDelegate(delegate_);
    connect(delegate_, &GridDelegate::enterPressed, this, [this] { MoveCurrent(MoveDown); });
    heading_ = new GridHeading(delegate_->Colors, this);
    setHorizontalHeader(heading_);
    verticalHeader()->hide();
    // Heights come from the source only; a minimum of 1 lets an 18-pixel row be 18.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(21);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false); // the delegate draws the lines, one pixel, in the grid's colour
    setWordWrap(true);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(true);
    connect(heading_, &GridHeading::rightClicked, this,
            [this](int col, const QPoint& globalPos) { PopUp(0, col, globalPos); });
}

// The model goes first and the view learns of it through the model's
// destroyed signal, without asking the model anything: the source behind it
// may already be gone when the grid's owner is torn down.
TextGrid::~TextGrid() = default;

void TextGrid::SetSource(GridSource& source) {
    auto model = std::make_unique<GridModel>(source);
    setModel(model.get());
    model_ = std::move(model);
    connect(model_.get(), &GridModel::rowHeightsChanged, this, &TextGrid::ApplyRowHeights);
    connect(model_.get(), &GridModel::cellWritten, this, &TextGrid::CellWritten);
    connect(model_.get(), &QAbstractItemModel::modelReset, this,
            [this] { heading_->SetHeight(std::max(model_->Source().RowHeight(0), 1)); });
    heading_->SetHeight(std::max(source.RowHeight(0), 1));
    ApplyRowHeights(0, model_->rowCount() - 1);
}

void TextGrid::ApplyRowHeights(int first, int last) {
    if (!model_) return;
    const auto& source = model_->Source();
    auto* rows = verticalHeader();
    last = std::min(last, model_->rowCount() - 1);
    // With updates on, every resize asks the header for the section's
    // position, a walk over all rows before it: thousands of rows would cost
    // a walk each. With updates off the positions are worked out once, later.
    const bool updates = rows->updatesEnabled();
    rows->setUpdatesEnabled(false);
    for (int v = std::max(first, 0); v <= last; ++v) {
        const int h = source.RowHeight(v + 1);
        if (h <= 0) {
            if (!rows->isSectionHidden(v)) setRowHidden(v, true);
            continue;
        }
        if (rows->isSectionHidden(v)) setRowHidden(v, false);
        if (rows->sectionSize(v) != h) rows->resizeSection(v, h);
    }
    rows->setUpdatesEnabled(updates);
    viewport()->update();
}

void TextGrid::SetColumnWidths(const std::vector<int>& widths) {
    for (std::size_t c = 0; c < widths.size(); ++c) setColumnWidth(static_cast<int>(c), widths[c]);
}

void TextGrid::SetGridFont(const QFont& font) {
    setFont(font);
    heading_->setFont(font);
    heading_->viewport()->update();
}

int TextGrid::CurrentCol() const { return currentIndex().isValid() ? currentIndex().column() : 0; }

int TextGrid::CurrentRow() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

void TextGrid::SetCurrentCell(int col, int row) {
    if (!model_) return;
    const QModelIndex index = model_->index(row - 1, col);
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

std::vector<std::pair<int, int>> TextGrid::SelectedCells() const {
    std::vector<std::pair<int, int>> cells;
    if (!selectionModel()) return cells;
    const auto indexes = selectionModel()->selectedIndexes();
    cells.reserve(static_cast<std::size_t>(indexes.size()));
    for (const auto& i : indexes) cells.emplace_back(i.column(), i.row() + 1);
    return cells;
}

void TextGrid::SetPinnedFirstRow(bool pinned) {
    if (!pinned) {
        delete pinned_;
        pinned_ = nullptr;
        return;
    }
    if (pinned_ || !model_) return;
    pinned_ = new QTableView(this);
    pinned_->setObjectName(QStringLiteral("PinnedRow"));
    pinned_->setModel(model_.get());
    pinned_->setSelectionModel(selectionModel());
    pinned_->setItemDelegate(delegate_);
    pinned_->setFont(font());
    pinned_->horizontalHeader()->hide();
    pinned_->horizontalHeader()->setMinimumSectionSize(1); // the spacer column is narrower than a default section
    pinned_->verticalHeader()->hide();
    // It shows the first row and nothing else: neither the current cell nor
    // the wheel scrolls it.
    pinned_->setAutoScroll(false);
    pinned_->verticalScrollBar()->setEnabled(false);
    pinned_->setShowGrid(false);
    pinned_->setFocusPolicy(Qt::NoFocus);
    pinned_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pinned_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    pinned_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pinned_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pinned_->setFrameShape(QFrame::NoFrame);
    pinned_->setAccessibleName(accessibleName() + QStringLiteral("（固定行）"));
    for (int c = 0; c < model_->columnCount(); ++c) pinned_->setColumnWidth(c, columnWidth(c));
    connect(horizontalHeader(), &QHeaderView::sectionResized, pinned_,
            [this](int c, int, int size) { pinned_->setColumnWidth(c, size); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, pinned_->horizontalScrollBar(), &QScrollBar::setValue);
    PlacePinnedRow();
}

void TextGrid::PlacePinnedRow() {
    if (!pinned_ || !model_ || model_->rowCount() == 0) {
        if (pinned_) pinned_->hide();
        return;
    }
    const int height = rowHeight(0);
    pinned_->setRowHeight(0, height);
    pinned_->setGeometry(viewport()->geometry().x(), viewport()->geometry().y(), viewport()->width(), height);
    pinned_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    // Shown only while the first row is not whole in sight.
    pinned_->setVisible(rowViewportPosition(0) < 0);
}

void TextGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlacePinnedRow();
}

void TextGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    PlacePinnedRow();
}

void TextGrid::CommitEdit() {
    if (!Editing()) return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TextGrid::CellWritten(int col, int row) {
    // Inside an editor the event waits until the editor has closed, so a
    // message box raised by it never meets a half-closed editor.
    if (state() == QAbstractItemView::EditingState)
        pendingValidate_ = std::make_pair(col, row);
    else
        emit cellValidate(col, row);
}

void TextGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (pendingValidate_) {
        const auto [col, row] = *pendingValidate_;
        pendingValidate_.reset();
        emit cellValidate(col, row);
    }
    switch (hint) {
    case QAbstractItemDelegate::EditNextItem: // Tab
        MoveCurrent(MoveNext);
        break;
    case QAbstractItemDelegate::EditPreviousItem: // Shift+Tab
        MoveCurrent(MovePrevious);
        break;
    default:
        break;
    }
}

void TextGrid::MoveCurrent(CursorAction action) {
    const QModelIndex next = moveCursor(action, Qt::NoModifier);
    if (next.isValid() && next != currentIndex()) {
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
        scrollTo(next);
    }
}

void TextGrid::keyPressEvent(QKeyEvent* event) {
    if (IsMenuKey(event)) {
        PopUpForCurrent();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        emit pasteRequested();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && state() != QAbstractItemView::EditingState) {
        const QModelIndex current = currentIndex();
        if (current.isValid() && (current.flags() & Qt::ItemIsEditable))
            edit(current);
        else
            MoveCurrent(MoveDown);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TextGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // Neither the current cell nor the selection moves on a right click:
        // the menu acts on the cell the user selected before.
        const QModelIndex at = indexAt(event->position().toPoint());
        PopUp(at.isValid() ? at.row() + 1 : -1, at.isValid() ? at.column() : -1, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TextGrid::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's menu was served on the press; a platform's keyboard request
    // opens it for the current cell, unless the key itself already did.
    if (event->reason() == QContextMenuEvent::Keyboard && !QApplication::activePopupWidget()) PopUpForCurrent();
    event->accept();
}

void TextGrid::PopUpForCurrent() { PopUp(CurrentRow(), CurrentCol(), MenuPositionForCurrent(this)); }

void TextGrid::PopUp(int row, int col, const QPoint& globalPos) {
    emit rightClickCell(row, col);
    if (menu_) menu_->popup(globalPos);
}

void TextGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) emit cellSelected(current.column(), current.row() + 1);
}

} // namespace lty::controls
