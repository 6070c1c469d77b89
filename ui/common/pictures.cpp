#include "ui/common/pictures.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QString>

namespace lty {
namespace {

// Each drawing is read once; QIcon copies share it. The cache belongs to
// the application object, so the pictures go before the GUI does.
struct PictureCache : QObject {
    using QObject::QObject;
    QHash<QString, QIcon> Pictures;
    QHash<int, QIcon> TreePictures;
};

PictureCache& Cache() {
    static QPointer<PictureCache> cache;
    if (!cache) cache = new PictureCache(QCoreApplication::instance());
    return *cache;
}

} // namespace

QIcon Picture(const char* name) {
    auto& cache = Cache().Pictures;
    const QString key = QString::fromLatin1(name);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, QIcon(QStringLiteral(":/pictures/%1.svg").arg(key)));
    return *it;
}

QIcon MainPicture(int index) {
    static const char* const kNames[] = {"new",    "open", "save",  "print",   "folder_open",
                                         "delete", "exit", "panel", "preview", "help"};
    if (index < 0 || index >= static_cast<int>(std::size(kNames))) return {};
    return Picture(kNames[index]);
}

namespace {

const char* TreeName(TreeKind tree, int image) {
    // 0 a selected leaf, 1 the project root, 2 a leaf, 3 an open and 4 a
    // closed group: designers in the project tree, branches in the catalog.
    switch (image) {
    case 0:
        return tree == TreeKind::Projects ? "project_selected" : "item_selected";
    case 1:
        return "root";
    case 2:
        return tree == TreeKind::Projects ? "project" : "item";
    case 3:
        return tree == TreeKind::Projects ? "designer_selected" : "folder_open";
    case 4:
        return tree == TreeKind::Projects ? "designer" : "folder_closed";
    default:
        return nullptr;
    }
}

} // namespace

QIcon TreePicture(TreeKind tree, int image, int selected) {
    auto& cache = Cache().TreePictures;
    const int key = (static_cast<int>(tree) << 16) | ((image & 0xff) << 8) | (selected & 0xff);
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    QIcon icon;
    const char* normal = TreeName(tree, image);
    const char* chosen = TreeName(tree, selected);
    for (int size : {16, 20, 24, 32}) {
        if (normal) icon.addPixmap(Picture(normal).pixmap(size, size), QIcon::Normal);
        if (chosen) icon.addPixmap(Picture(chosen).pixmap(size, size), QIcon::Selected);
    }
    return *cache.insert(key, icon);
}

} // namespace lty
