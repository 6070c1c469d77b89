#include "ui/quotation/quotation_page.h"

#include "controls/grid/text_grid.h"
#include "core/quotation/quotation_clipboard.h"
#include "core/quotation/quotation_text.h"
#include "ui/common/globals.h"
#include "ui/quotation/room_size_dialog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace lty {
namespace {

QAction* MenuAction(QWidget* owner, QMenu* menu, const QString& text, const char* name,
                    const QList<QKeySequence>& keys = {}) {
    auto* a = new QAction(text, owner);
    a->setObjectName(QLatin1String(name));
    if (!keys.isEmpty()) {
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner->addAction(a); // the keys work wherever the focus is on the page
    }
    menu->addAction(a);
    return a;
}

} // namespace

QuotationPage::QuotationPage(QuotationGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid), source_(grid) {
    setObjectName(QStringLiteral("QuotationPage"));
    advsg1 = new controls::TextGrid(this);
    advsg1->setObjectName(QStringLiteral("advsg1"));
    advsg1->setAccessibleName(QStringLiteral("报价明细"));
    // Tahoma has no Chinese glyphs; the Simplified Chinese face is asked for by name.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(11);
    advsg1->SetGridFont(font);
    auto& colors = advsg1->Colors();
    colors.Selected = QColor(QRgb(QuotationGrid::kSelectedCellRgb));
    colors.BandFirst = Qt::white;
    colors.BandSecond = palette().color(QPalette::AlternateBase);
    advsg1->SetSource(source_);
    advsg1->SetColumnWidths({QuotationGrid::kColumnWidths.begin(), QuotationGrid::kColumnWidths.end()});

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("QuotationToolBar"));
    ToolBar->setAccessibleName(QStringLiteral("报价明细工具栏"));
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    VersionBar = new QWidget(this);
    VersionBar->setObjectName(QStringLiteral("VersionBar"));
    auto* bar = new QHBoxLayout(VersionBar);
    bar->setContentsMargins(6, 3, 6, 3);
    VersionLabel = new QLabel(VersionBar);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    BtnNewChangeOrder = new QPushButton(QStringLiteral("新建增减项"), VersionBar);
    BtnNewChangeOrder->setObjectName(QStringLiteral("BtnNewChangeOrder"));
    bar->addWidget(VersionLabel, 1);
    bar->addWidget(BtnNewChangeOrder);
    VersionBar->hide();
    connect(BtnNewChangeOrder, &QPushButton::clicked, this, &QuotationPage::newChangeOrderRequested);
    layout->addWidget(VersionBar);
    layout->addWidget(ToolBar);
    layout->addWidget(advsg1);
    setFocusProxy(advsg1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = MenuAction(this, PopupMenu1, QStringLiteral("添加装修条目"), "N1");
    N2 = MenuAction(this, PopupMenu1, QStringLiteral("添加装修明细"), "N2");
    N11 = MenuAction(this, PopupMenu1, QStringLiteral("删    除"), "N11");
    N3 = PopupMenu1->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    NMoveUp = MenuAction(this, PopupMenu1, QStringLiteral("上移"), "NMoveUp", {QKeySequence(Qt::CTRL | Qt::Key_Up)});
    NMoveDown =
        MenuAction(this, PopupMenu1, QStringLiteral("下移"), "NMoveDown", {QKeySequence(Qt::CTRL | Qt::Key_Down)});
    PopupMenu1->addSeparator();
    NUndo = MenuAction(this, PopupMenu1, QStringLiteral("撤销"), "NUndo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    NRedo = MenuAction(this, PopupMenu1, QStringLiteral("重做"), "NRedo",
                       {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    PopupMenu1->addSeparator();
    // Ctrl+V and Delete reach the grid as keys (an open editor keeps its
    // own); the menu only names them.
    NPaste = MenuAction(this, PopupMenu1, QStringLiteral("粘贴"), "NPaste");
    NPaste->setShortcut(QKeySequence::Paste);
    NPaste->setShortcutContext(Qt::WidgetShortcut);
    N11->setShortcut(QKeySequence(Qt::Key_Delete));
    N11->setShortcutContext(Qt::WidgetShortcut);
    NCopyRows = MenuAction(this, PopupMenu1, QStringLiteral("复制行"), "NCopyRows");
    NPasteRows = MenuAction(this, PopupMenu1, QStringLiteral("粘贴行"), "NPasteRows");
    NRename = MenuAction(this, PopupMenu1, QStringLiteral("重命名房间"), "NRename");
    NRoomSize =
        MenuAction(this, PopupMenu1, QStringLiteral("房间尺寸…"), "NRoomSize", {QKeySequence(Qt::CTRL | Qt::Key_M)});
    NRoomSize->setToolTip(QStringLiteral("量房：长、宽、高和门窗，按面积或周长填写数量 (Ctrl+M)"));
    ToolBar->addAction(NRoomSize);
    PopupMenu1->addSeparator();
    NCompact = MenuAction(this, PopupMenu1, QStringLiteral("紧凑显示"), "NCompact");
    NCompact->setCheckable(true);
    advsg1->SetPopupMenu(PopupMenu1);
    advsg1->installEventFilter(this);
    advsg1->viewport()->installEventFilter(this);

    connect(N1, &QAction::triggered, this, &QuotationPage::N1Click);
    connect(N2, &QAction::triggered, this, &QuotationPage::N2Click);
    connect(N11, &QAction::triggered, this, &QuotationPage::N11Click);
    connect(NMoveUp, &QAction::triggered, this, &QuotationPage::MoveUpClick);
    connect(NMoveDown, &QAction::triggered, this, &QuotationPage::MoveDownClick);
    connect(NUndo, &QAction::triggered, this, &QuotationPage::UndoClick);
    connect(NRedo, &QAction::triggered, this, &QuotationPage::RedoClick);
    connect(advsg1, &controls::TextGrid::cellSelected, this, &QuotationPage::advsg1SelectCell);
    connect(advsg1, &controls::TextGrid::cellValidate, this, &QuotationPage::advsg1CellValidate);
    connect(advsg1, &controls::TextGrid::rightClickCell, this, &QuotationPage::advsg1RightClickCell);
    connect(advsg1, &controls::TextGrid::copyRequested, this, &QuotationPage::CopyClick);
    connect(advsg1, &controls::TextGrid::pasteRequested, this, &QuotationPage::PasteClick);
    connect(advsg1, &controls::TextGrid::deleteRequested, this, &QuotationPage::N11Click);
    connect(NPaste, &QAction::triggered, this, &QuotationPage::PasteClick);
    connect(NCopyRows, &QAction::triggered, this, &QuotationPage::CopyRowsClick);
    connect(NPasteRows, &QAction::triggered, this, &QuotationPage::PasteRowsClick);
    connect(NRename, &QAction::triggered, this, &QuotationPage::RenameClick);
    connect(NRoomSize, &QAction::triggered, this, &QuotationPage::RoomSizeClick);
    connect(NCompact, &QAction::toggled, this, &QuotationPage::SetCompact);
    source_.BeforeWrite = [this] { BeginEdit(); };

    // Compact rows are the designer's choice, kept from one run to the next.
    connect(this, &QuotationPage::compactChanged, this, [](bool compact) {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ltyquote"), QStringLiteral("ltyquote"))
            .setValue(QStringLiteral("quotation/compact"), compact);
    });
    if (QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ltyquote"), QStringLiteral("ltyquote"))
            .value(QStringLiteral("quotation/compact"), false)
            .toBool())
        NCompact->setChecked(true);

    ShowCurrentCell();
    UpdateActions();
}

QuotationPage::~QuotationPage() {
    // The grid goes while the source it reads is still here, not later with
    // the page's other children.
    source_.BeforeWrite = nullptr;
    delete advsg1;
    advsg1 = nullptr;
}

void QuotationPage::ReloadFromGrid() {
    advsg1->Model()->NotifyReset();
    ShowCurrentCell();
    UpdateActions();
}

void QuotationPage::FinishEditing() { advsg1->CommitEdit(); }

// One user change: a snapshot before it, the view told what moved, and the
// window told that the quotation and perhaps the charges changed. A change
// that altered nothing leaves no undo step and no modified mark.
template <class Op>
void QuotationPage::Change(Op op) {
    const auto recalcs = grid_.RecalcCount();
    history_.Begin(grid_);
    syncing_ = true;
    try {
        op();
    } catch (...) {
        syncing_ = false;
        Finish(recalcs, true);
        throw;
    }
    syncing_ = false;
    Finish(recalcs, true);
}

void QuotationPage::Finish(std::uint64_t recalcsBefore, bool showCurrent) {
    const bool recalculated = grid_.RecalcCount() != recalcsBefore;
    const bool changedGrid = history_.End(grid_, recalculated);
    if (showCurrent) ShowCurrentCell();
    UpdateActions();
    if (changedGrid) emit changed();
    if (recalculated) emit chargesChanged();
}

void QuotationPage::ShowCurrentCell() {
    syncing_ = true;
    advsg1->SetCurrentCell(grid_.CurrentCol(), grid_.CurrentRow());
    syncing_ = false;
}

void QuotationPage::UpdateActions() {
    const bool body = grid_.IsBodyRow(grid_.CurrentRow());
    NMoveUp->setEnabled(body);
    NMoveDown->setEnabled(body);
    NRoomSize->setEnabled(grid_.SectionOf(grid_.CurrentRow()) != 0);
    NUndo->setEnabled(history_.CanUndo());
    NRedo->setEnabled(history_.CanRedo());
}

void QuotationPage::advsg1SelectCell(int col, int row) {
    if (syncing_) return;
    // Whether the editor may open is the model's read-only flag, which the
    // grid control asks for itself.
    grid_.advsg1SelectCell(col, row);
    UpdateActions();
}

void QuotationPage::BeginEdit() {
    if (editing_) return;
    editRecalcs_ = grid_.RecalcCount();
    history_.Begin(grid_);
    editing_ = true;
}

std::vector<std::string> QuotationPage::Amounts() const {
    std::vector<std::string> amounts;
    amounts.reserve(static_cast<std::size_t>(grid_.RowCount()));
    for (int r = 0; r < grid_.RowCount(); ++r) amounts.push_back(grid_.Text(5, r));
    return amounts;
}

// Only the amounts that changed are signalled, in runs of adjacent rows: an
// edit repaints the edited row, its section's subtotal and the total.
void QuotationPage::SignalChangedAmounts(const std::vector<std::string>& before) {
    auto* model = advsg1->Model();
    const int n = std::min(static_cast<int>(before.size()), grid_.RowCount());
    int r = 0;
    while (r < n) {
        if (before[static_cast<std::size_t>(r)] == grid_.Text(5, r)) {
            ++r;
            continue;
        }
        const int first = r;
        while (r < n && before[static_cast<std::size_t>(r)] != grid_.Text(5, r)) ++r;
        model->NotifyCellsChanged(5, first, 5, r - 1);
    }
}

void QuotationPage::advsg1CellValidate(int col, int row) {
    BeginEdit();
    editing_ = false;
    const auto before = Amounts();
    try {
        grid_.advsg1CellValidate(col, row, Messages());
    } catch (...) {
        SignalChangedAmounts(before);
        Finish(editRecalcs_, false);
        throw;
    }
    SignalChangedAmounts(before);
    // The row's height too: a compact row is as tall as its text.
    advsg1->Model()->NotifyRowsRewritten(row, 1);
    // The current cell is the user's: the editor may have closed because a
    // click already moved it on.
    Finish(editRecalcs_, false);
}

void QuotationPage::advsg1RightClickCell(int row, int col) {
    // Outside every cell counts as the heading row: only a section can be added there.
    const auto menu = grid_.advsg1RightClickCell(std::max(row, 0), col);
    N1->setVisible(menu.N1);
    N2->setVisible(menu.N2);
    N11->setVisible(menu.N11);
    N3->setVisible(menu.N3);
    NMoveUp->setVisible(menu.N11);
    NMoveDown->setVisible(menu.N11);
    // Renaming is for the room the user is on, as every entry acts on the current row.
    NRename->setVisible(grid_.Kind(grid_.CurrentRow()) == RowKind::Section);
    UpdateActions();
}

void QuotationPage::N1Click() {
    if (RefusedWhenLocked()) return;
    Change([this] {
        grid_.AddSectionRow();
        advsg1->Model()->NotifyRowsInserted(grid_.EndRow() - 1, 1);
    });
    // The new section is at the bottom, which may be far below what is shown.
    advsg1->scrollTo(advsg1->Model()->index(grid_.EndRow() - 2, 1));
}

bool QuotationPage::InsertItem(const CatalogLine& line, bool catalog) {
    if (RefusedWhenLocked()) return false;
    int inserted = 0;
    Change([&] {
        const int at = grid_.ItemInsertRow();
        if (catalog) {
            if (!grid_.AddCatalogEntry(line, Messages())) return;
        } else {
            grid_.AddItemRow(line, true);
        }
        auto* model = advsg1->Model();
        model->NotifyRowsInserted(at, 1);
        model->NotifyAllCellsChanged(); // subtotals, total and, for a catalog entry, the alignments
        inserted = at;
    });
    // The new row stands below the current one, often below the bottom edge
    // when the current row is the last shown: the user is to see it arrive.
    if (inserted > 0) advsg1->scrollTo(advsg1->Model()->index(inserted - 1, 1));
    return inserted > 0;
}

void QuotationPage::N2Click() { InsertItem(CatalogLine{}, false); }

bool QuotationPage::AddCatalogEntry(const CatalogLine& line) { return InsertItem(line, true); }

void QuotationPage::ChangeCells(const std::function<void(QuotationGrid&)>& op) {
    Change([&] {
        op(grid_);
        advsg1->Model()->NotifyAllCellsChanged();
    });
}

void QuotationPage::N11Click() {
    if (RefusedWhenLocked()) return;
    Change([this] {
        const int row = grid_.CurrentRow();
        const int rows = grid_.RowCount();
        if (!grid_.DeleteCurrentRow()) return;
        auto* model = advsg1->Model();
        model->NotifyRowsRemoved(row, rows - grid_.RowCount());
        grid_.LeaveEndRow();
        model->NotifyAllCellsChanged();
    });
}

void QuotationPage::Move(RowSpan (QuotationGrid::*move)()) {
    if (RefusedWhenLocked()) return;
    Change([this, move] {
        const RowSpan span = (grid_.*move)();
        if (span.Count == 0) return;
        advsg1->Model()->NotifyRowsRewritten(span.First, span.Count);
        advsg1->Model()->NotifyAllCellsChanged();
    });
}

void QuotationPage::MoveUpClick() { Move(&QuotationGrid::MoveCurrentRowUp); }

void QuotationPage::MoveDownClick() { Move(&QuotationGrid::MoveCurrentRowDown); }

void QuotationPage::Restore(bool (QuotationHistory::*step)(QuotationGrid&)) {
    if (advsg1->Editing()) return; // the editor has its own undo
    if (RefusedWhenLocked()) return;
    const auto recalcs = grid_.RecalcCount();
    const int scroll = advsg1->verticalScrollBar()->value();
    bool done = false;
    // The grid on screen shows the model as it now is, the same way whether
    // the step went through or failed half-way.
    const auto reload = [&] {
        advsg1->Model()->NotifyReset();
        if (done) advsg1->verticalScrollBar()->setValue(scroll);
        ShowCurrentCell();
        UpdateActions();
        emit changed();
        if (grid_.RecalcCount() != recalcs) emit chargesChanged();
    };
    try {
        done = (history_.*step)(grid_);
    } catch (...) {
        reload();
        throw;
    }
    if (done) reload();
}

void QuotationPage::UndoClick() { Restore(&QuotationHistory::Undo); }

void QuotationPage::RedoClick() { Restore(&QuotationHistory::Redo); }

bool QuotationPage::eventFilter(QObject* watched, QEvent* event) {
    // Typing into, or double-clicking, a locked line is refused with the way on.
    if (source_.Locked && (watched == advsg1 || watched == advsg1->viewport())) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            RefusedWhenLocked();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool typing = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
            if (typing || key->key() == Qt::Key_F2) {
                RefusedWhenLocked();
                return true;
            }
        }
    }
    // F2 on a room's locked name renames the room, as "重命名房间" does.
    if (watched == advsg1 && event->type() == QEvent::KeyPress && !advsg1->Editing()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = grid_.CurrentRow();
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && grid_.CurrentCol() == 1 &&
            row < grid_.RowCount() && grid_.Kind(row) == RowKind::Section && !grid_.CanEdit(1, row)) {
            RenameClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QuotationPage::RenameClick() {
    if (RefusedWhenLocked()) return;
    const int row = grid_.CurrentRow();
    if (row >= grid_.RowCount() || grid_.Kind(row) != RowKind::Section) return;
    // Opening the name is no change of its own: the typed name is the step.
    grid_.UnlockSectionName(row);
    grid_.SetCurrentCell(1, row);
    ShowCurrentCell();
    advsg1->edit(advsg1->Model()->index(row - 1, 1));
}

void QuotationPage::RoomSizeClick() {
    if (advsg1->Editing()) FinishEditing();
    if (RefusedWhenLocked()) return; // a new size would change signed quantities
    const int room = grid_.SectionOf(grid_.CurrentRow());
    if (room == 0) {
        Messages().Show("请先选择一个房间或其中的明细行");
        return;
    }
    const QString name = QString::fromStdString(grid_.Text(1, room));
    TFrmRoomSize dialog(name, grid_.Room(room), this);
    if (!TFrmRoomSize::Run(dialog)) return;
    const auto size = dialog.TypedSize(false);
    if (!size || *size == grid_.Room(room)) return;
    const auto lines = LinesToRemeasure(grid_, room, *size);
    const bool update =
        !lines.empty() && Messages().Ask("「" + name.toStdString() + "」有" + std::to_string(lines.size()) +
                                             "项明细的数量按房间尺寸计算，是否按新尺寸更新这些数量？",
                                         "询问");
    Change([&] {
        ApplyRoomSize(grid_, room, *size, update);
        advsg1->Model()->NotifyAllCellsChanged();
    });
}

void QuotationPage::PasteClick() {
    if (advsg1->Editing()) return; // the editor pastes into itself
    if (RefusedWhenLocked()) return;
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) return;
    const int col = std::max(grid_.CurrentCol(), 1);
    const int row = grid_.CurrentRow();
    PasteOutcome outcome;
    Change([&] {
        outcome = PasteTsv(grid_, col, row, text.toStdString());
        if (outcome.Written)
            advsg1->Model()->NotifyRowsRewritten(outcome.FirstRow, outcome.LastRow - outcome.FirstRow + 1);
        if (outcome.Recalculated) advsg1->Model()->NotifyAllCellsChanged();
    });
    if (!outcome.Refusal.empty()) Messages().Show(outcome.Refusal);
}

void QuotationPage::CopyRowsClick() {
    std::vector<int> selected{grid_.CurrentRow()};
    for (const auto& [col, row] : advsg1->SelectedCells()) selected.push_back(row);
    const auto rows = grid_.RowsWithTheirItems(selected);
    if (rows.empty()) return;
    std::vector<CellRef> cells;
    for (int r : rows)
        for (int c = 1; c < kQuotationColumns; ++c) cells.push_back({c, r});
    auto* data = new QMimeData;
    data->setData(QLatin1String(kRowsMimeType), QByteArray::fromStdString(QuotationRowsToText(grid_, rows)));
    data->setText(QString::fromStdString(SelectionToTsv(grid_, cells))); // for spreadsheets
    QGuiApplication::clipboard()->setMimeData(data);
}

void QuotationPage::PasteRowsClick() {
    if (advsg1->Editing()) return;
    if (RefusedWhenLocked()) return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QLatin1String(kRowsMimeType))) return;
    QuotationGrid copied;
    TextToQuotation(copied, data->data(QLatin1String(kRowsMimeType)).toStdString());
    if (copied.BodyRowCount() == 0) return;
    RowSpan span;
    Change([&] {
        span = grid_.InsertCopiedRows(copied);
        if (span.Count == 0) return;
        auto* model = advsg1->Model();
        model->NotifyRowsInserted(span.First, span.Count);
        model->NotifyAllCellsChanged();
    });
    if (span.Count == 0) {
        Messages().Show(BeyondLimitMessage());
        return;
    }
    advsg1->scrollTo(advsg1->Model()->index(span.First + span.Count - 2, 1));
}

bool QuotationPage::RefusedWhenLocked() {
    if (!source_.Locked) return false;
    // In the main window's status bar, where the catalog's hints appear.
    if (auto* main = qobject_cast<QMainWindow*>(window()))
        main->statusBar()->showMessage(QString::fromUtf8(kLockedHint), 8000);
    return true;
}

void QuotationPage::SetLinesLocked(bool locked, const QString& banner) {
    if (locked && advsg1->Editing()) advsg1->CommitEdit();
    if (locked != source_.Locked) {
        source_.Locked = locked;
        // Undo reaches no further back than the lines as they were kept.
        history_ = QuotationHistory{};
    }
    VersionLabel->setText(locked ? QString::fromUtf8(kLockedHint) : banner);
    BtnNewChangeOrder->setVisible(locked);
    VersionBar->setVisible(locked || !banner.isEmpty());
    advsg1->setAccessibleDescription(locked ? QString::fromUtf8(kLockedHint) : QString());
    UpdateActions();
    advsg1->viewport()->update();
}

void QuotationPage::SetCompact(bool compact) {
    if (NCompact->isChecked() != compact) NCompact->setChecked(compact);
    source_.SetCompact(compact, advsg1->font(),
                       {QuotationGrid::kColumnWidths.begin(), QuotationGrid::kColumnWidths.end()});
    advsg1->SetPinnedFirstRow(compact);
    auto* model = advsg1->Model();
    if (model->rowCount() > 0) model->NotifyRowsRewritten(1, model->rowCount());
    emit compactChanged(compact);
}

void QuotationPage::CopyClick() {
    std::vector<CellRef> cells;
    for (const auto& [col, row] : advsg1->SelectedCells()) cells.push_back({col, row});
    const std::string text = SelectionToTsv(grid_, cells);
    if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

} // namespace lty
