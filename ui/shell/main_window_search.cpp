// The two searches of the main window's left panel: the catalog's and the
// projects'.
#include "ui/shell/main_window.h"

#include "ui/shell/tree_search.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace lty {

void TFrmMain::FilterCatalog(const QString& text) {
    if (catalogSearch_) catalogSearch_->Filter(text);
}

void TFrmMain::FilterProjects(const QString& text) {
    if (projectSearch_) projectSearch_->Filter(text);
}

QTreeWidgetItem* TFrmMain::FirstFoundCatalogEntry() const {
    return catalogSearch_ ? catalogSearch_->FirstFound() : nullptr;
}

QTreeWidgetItem* TFrmMain::FirstFoundProject() const {
    return projectSearch_ ? projectSearch_->FirstFound() : nullptr;
}

void TFrmMain::IndexCatalogTree() {
    if (!catalogSearch_) {
        catalogSearch_ = std::make_unique<TreeSearch>();
        catalogSearch_->Tree = TreeView2;
        catalogSearch_->Box = CatalogSearch;
        catalogSearch_->NotFound = CatalogNotFound;
        catalogSearch_->Collapses = true;
    }
    catalogSearch_->Rebuild([](QTreeWidgetItem* item) { return item->text(0).toStdString(); });
    if (!CatalogSearch->text().isEmpty()) FilterCatalog(CatalogSearch->text());
}

void TFrmMain::IndexProjectTree(const std::unordered_map<std::string, TDM::ProjectSearchFields>& fields) {
    if (!projectSearch_) {
        projectSearch_ = std::make_unique<TreeSearch>();
        projectSearch_->Tree = TreeView1;
        projectSearch_->Box = ProjectSearch;
        projectSearch_->NotFound = ProjectNotFound;
    }
    // A project is found by its customer and address (its node's text), its
    // telephone, its number and its designer; designers and the root are
    // shown only above a project found.
    projectSearch_->Rebuild([&fields](QTreeWidgetItem* item) {
        if (!item->parent() || !item->parent()->parent()) return std::string();
        std::string text = item->text(0).toStdString();
        text.append(" ").append(item->parent()->text(0).toStdString());
        const auto it = fields.find(item->data(0, kIdRole).toString().toStdString());
        if (it != fields.end()) text.append(" ").append(it->second.CustomerTel).append(" ").append(it->second.ProjectID);
        return text;
    });
    if (!ProjectSearch->text().isEmpty()) FilterProjects(ProjectSearch->text());
}

} // namespace lty
