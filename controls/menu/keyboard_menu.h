// Context menus of item views from the keyboard as well as the mouse: the
// Menu key and Shift+F10 open the menu at the current item, so a user without
// a mouse, or with a screen reader, reaches every command a right click shows.
#pragma once

#include <QPoint>

#include <functional>

class QAbstractItemView;
class QKeyEvent;

namespace lty::controls {

// The Menu key, or Shift+F10, without other modifiers.
bool IsMenuKey(const QKeyEvent* event);

// Where a keyboard-opened menu appears: the centre of the view's current
// item on the screen, or the view's top-left corner without one.
QPoint MenuPositionForCurrent(const QAbstractItemView* view);

// Calls `open` with MenuPositionForCurrent when the view has the focus and a
// menu key is pressed, or when the platform turns that key into a context
// menu request. One key opens one menu: nothing happens while a menu is open.
// Right clicks are left to the view's owner.
void OpenMenuFromKeyboard(QAbstractItemView* view, std::function<void(const QPoint& globalPos)> open);

} // namespace lty::controls
