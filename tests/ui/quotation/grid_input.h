// A user's hands on the quotation grid: clicks on cells and typing into the
// cell editor, for the page tests and the project window tests alike.
#pragma once

#include "controls/grid/text_grid.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace lty::test {

// The cell's place in the viewport, scrolled into view first. Rows are the
// grid's: row 1 is the total row.
inline QRect CellRect(controls::TextGrid& view, int col, int row) {
    const auto index = view.Model()->index(row - 1, col);
    view.scrollTo(index);
    return view.visualRect(index);
}

inline void ClickCell(controls::TextGrid& view, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(view.viewport(), button, {}, CellRect(view, col, row).center());
}

inline QLineEdit* CellEditor(controls::TextGrid& view) {
    for (auto* e : view.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible()) return e;
    return nullptr;
}

// Selects the cell, opens its editor with F2 and types the text over what it
// held, leaving the editor open. Chinese arrives through the input method as
// a committed string.
inline QLineEdit* StartTyping(controls::TextGrid& view, int col, int row, const QString& text) {
    ClickCell(view, col, row);
    QTest::keyClick(&view, Qt::Key_F2);
    QLineEdit* edit = CellEditor(view);
    if (!edit) return nullptr;
    edit->clear();
    QInputMethodEvent input;
    input.setCommitString(text);
    QApplication::sendEvent(edit, &input);
    return edit;
}

// Types into the cell and commits with Enter.
inline void TypeIntoCell(controls::TextGrid& view, int col, int row, const QString& text) {
    QLineEdit* edit = StartTyping(view, col, row, text);
    ASSERT_NE(edit, nullptr) << "no editor on " << col << "," << row;
    QTest::keyClick(edit, Qt::Key_Return);
}

// What the view shows in a cell.
inline std::string ShownText(controls::TextGrid& view, int col, int row) {
    return view.Model()->index(row - 1, col).data().toString().toStdString();
}

} // namespace lty::test
