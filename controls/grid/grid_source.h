// What the text grid shows and edits, asked cell by cell. The grid holds no
// copy: whoever owns the data answers here and tells the grid's model what
// changed. Rows are numbered with the heading row as row 0.
#pragma once

#include <QColor>
#include <QString>
#include <Qt>

namespace lty::controls {

class GridSource {
public:
    virtual ~GridSource() = default;
    virtual int RowCount() const = 0; // the heading row included
    virtual int ColumnCount() const = 0;
    virtual QString Text(int col, int row) const = 0;
    // What the cell shows when it is not being edited; the editor starts
    // from Text.
    virtual QString DisplayText(int col, int row) const { return Text(col, row); }
    // The cell's tooltip; empty for none.
    virtual QString ToolTip(int /*col*/, int /*row*/) const { return {}; }
    // A read-only cell never opens the editor.
    virtual bool ReadOnly(int col, int row) const = 0;
    // The horizontal alignment; text is always centred vertically.
    virtual Qt::Alignment Alignment(int col, int row) const = 0;
    // An invalid colour: the row takes its band colour.
    virtual QColor Background(int col, int row) const = 0;
    // 0 hides the row: it can be neither seen, clicked nor reached by keyboard.
    virtual int RowHeight(int row) const = 0;
    // The editor's write of a typed text; the source may change what it keeps.
    virtual void SetText(int col, int row, const QString& text) = 0;
};

} // namespace lty::controls
