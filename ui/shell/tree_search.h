// A tree of the main window with its search box: every node's searchable
// text indexed once when the tree is loaded (text, full pinyin, initials); a
// keystroke then matches in the core index and only shows, hides, opens and
// closes nodes, each only when it changes.
#pragma once

#include "core/text/pinyin.h"

#include <QLabel>
#include <QString>
#include <QTreeWidget>

#include <string>
#include <utility>
#include <vector>

class QLineEdit;

namespace lty {

struct TreeSearch {
    QTreeWidget* Tree = nullptr;
    QLineEdit* Box = nullptr;
    QLabel* NotFound = nullptr;
    // Every node in tree order; Parent holds each one's parent's place (-1 at the top).
    std::vector<QTreeWidgetItem*> Items;
    std::vector<int> Parent;
    SearchIndex Index;
    // Whether the search closes the tree first and opens it to each match
    // (the catalog), or leaves it open as it is (the projects).
    bool Collapses = false;
    bool Searching = false;
    std::vector<QTreeWidgetItem*> ExpandedBefore;
    std::vector<char> Found; // of the last search, per node

    // `text` answers each node's searchable text ("" for a node never found).
    template <class TextOf>
    void Rebuild(TextOf textOf) {
        Searching = false;
        ExpandedBefore.clear();
        Found.clear();
        Items.clear();
        Parent.clear();
        std::vector<std::string> texts;
        std::vector<std::pair<QTreeWidgetItem*, int>> pending;
        for (int i = Tree->topLevelItemCount() - 1; i >= 0; --i) pending.emplace_back(Tree->topLevelItem(i), -1);
        while (!pending.empty()) {
            auto [item, parent] = pending.back();
            pending.pop_back();
            const int at = static_cast<int>(Items.size());
            Items.push_back(item);
            Parent.push_back(parent);
            texts.push_back(textOf(item));
            for (int c = item->childCount() - 1; c >= 0; --c) pending.emplace_back(item->child(c), at);
        }
        Index.Build(texts);
        if (NotFound) NotFound->hide();
    }

    void Filter(const QString& text) {
        const std::string needle = text.trimmed().toStdString();
        Tree->setUpdatesEnabled(false);
        if (needle.empty()) {
            Found.clear();
            if (Searching) {
                Searching = false;
                for (QTreeWidgetItem* item : Items)
                    if (item->isHidden()) item->setHidden(false);
                if (Collapses) {
                    for (auto it = Items.rbegin(); it != Items.rend(); ++it)
                        if ((*it)->isExpanded()) (*it)->setExpanded(false);
                    for (QTreeWidgetItem* item : ExpandedBefore) item->setExpanded(true);
                }
                ExpandedBefore.clear();
            }
            if (NotFound) NotFound->hide();
            Tree->setUpdatesEnabled(true);
            return;
        }
        if (!Searching) {
            Searching = true;
            ExpandedBefore.clear();
            if (Collapses)
                for (QTreeWidgetItem* item : Items)
                    if (item->isExpanded()) ExpandedBefore.push_back(item);
        }
        Found = Index.Match(needle);
        // A node shows when it or a node below it is found, and opens when a
        // node below it shows; children come after their parents, so one
        // backward walk settles every node.
        std::vector<char> shown(Found.begin(), Found.end());
        std::vector<char> open(Found.size(), 0);
        bool any = false;
        for (std::size_t i = Items.size(); i-- > 0;) {
            any = any || Found[i];
            if (!shown[i] || Parent[i] < 0) continue;
            shown[static_cast<std::size_t>(Parent[i])] = 1;
            open[static_cast<std::size_t>(Parent[i])] = 1;
        }
        for (std::size_t i = 0; i < Items.size(); ++i) {
            QTreeWidgetItem* item = Items[i];
            const bool hide = !shown[i];
            if (item->isHidden() != hide) item->setHidden(hide);
            if (Collapses && item->isExpanded() != static_cast<bool>(open[i])) item->setExpanded(open[i]);
        }
        if (NotFound) NotFound->setVisible(!any);
        Tree->setUpdatesEnabled(true);
    }

    // The first node found, in tree order; an entry beats a branch, which
    // only groups entries.
    QTreeWidgetItem* FirstFound() const {
        QTreeWidgetItem* branch = nullptr;
        for (std::size_t i = 0; i < Found.size() && i < Items.size(); ++i) {
            if (!Found[i]) continue;
            if (Items[i]->childCount() == 0) return Items[i];
            if (!branch) branch = Items[i];
        }
        return branch;
    }
};

} // namespace lty
