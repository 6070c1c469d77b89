// What the management commands need from the main window: its project
// windows out of the way before the data are replaced, its two trees rebuilt
// after the data changed underneath them, and the shared values read again
// after a restore.
#pragma once

#include <functional>

namespace lty {

struct AdminHooks {
    std::function<void()> RebuildProjectTree; // LoadProjectTree on the main window's project tree
    std::function<void()> RebuildCatalogTree; // LoadCatalogTree on the main window's catalog tree
    // CompanyInfo and QuotationRemark read again; when empty they are read
    // here from the data module.
    std::function<void()> ReloadSharedValues;
    // Before a reset or a restore replaces the data: every project window
    // closed, each with changes asking whether to keep them first, so none
    // goes on showing, or later saves by its id into, data that are gone.
    // False when the user kept one open (nothing is replaced then); when
    // empty, nothing needs closing.
    std::function<bool()> CloseProjectWindows;
};

// Whether the data may be replaced now (CloseProjectWindows, when given).
inline bool ProjectWindowsClosed(const AdminHooks& hooks) {
    return !hooks.CloseProjectWindows || hooks.CloseProjectWindows();
}

} // namespace lty
