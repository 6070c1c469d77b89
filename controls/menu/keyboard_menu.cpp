#include "controls/menu/keyboard_menu.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>

namespace lty::controls {
namespace {

class KeyboardMenuFilter : public QObject {
public:
    KeyboardMenuFilter(QAbstractItemView* view, std::function<void(const QPoint&)> open)
        : QObject(view), view_(view), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool key = watched == view_ && event->type() == QEvent::KeyPress &&
                         IsMenuKey(static_cast<QKeyEvent*>(event)) && view_->hasFocus(); // not in an editor
        const bool request = (watched == view_ || watched == view_->viewport()) &&
                             event->type() == QEvent::ContextMenu &&
                             static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
        if (!key && !request) return false;
        // A platform that makes a context menu request of the key sends both.
        if (!QApplication::activePopupWidget()) open_(MenuPositionForCurrent(view_));
        event->accept();
        return true;
    }

private:
    QAbstractItemView* view_;
    std::function<void(const QPoint&)> open_;
};

} // namespace

bool IsMenuKey(const QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

QPoint MenuPositionForCurrent(const QAbstractItemView* view) {
    const QModelIndex current = view->currentIndex();
    const QRect r = current.isValid() ? view->visualRect(current) : QRect();
    return view->viewport()->mapToGlobal(r.isValid() ? r.center() : QPoint());
}

void OpenMenuFromKeyboard(QAbstractItemView* view, std::function<void(const QPoint& globalPos)> open) {
    auto* filter = new KeyboardMenuFilter(view, std::move(open));
    view->installEventFilter(filter);
    view->viewport()->installEventFilter(filter);
}

} // namespace lty::controls
