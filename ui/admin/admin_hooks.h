// What the management commands need from the main window: its two trees
// rebuilt after the data changed underneath them, and the shared values
// read again after a restore.
#pragma once

#include <functional>

namespace lty {

struct AdminHooks {
    std::function<void()> RebuildProjectTree; // LoadProjectTree on the main window's project tree
    std::function<void()> RebuildCatalogTree; // LoadCatalogTree on the main window's catalog tree
    // CompanyInfo and QuotationRemark read again; when empty they are read
    // here from the data module.
    std::function<void()> ReloadSharedValues;
};

} // namespace lty
