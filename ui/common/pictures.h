// The program's pictures: small drawings compiled into the executable.
#pragma once

#include <QIcon>

namespace lty {

// The picture ":/pictures/<name>.svg".
QIcon Picture(const char* name);

// The main picture list of the tool bar and the menus, by its numbers:
// 0 new, 2 save, 3 print, 5 delete, 6 exit, 7 left panel, 8 preview, 9 help.
QIcon MainPicture(int index);

// The tree picture list: a node's picture and the one drawn while it is
// selected, in one icon. The two trees draw their designer and catalog
// folders differently, so each has its own reading of the numbers.
enum class TreeKind { Projects, Catalog };
QIcon TreePicture(TreeKind tree, int image, int selected);

} // namespace lty
