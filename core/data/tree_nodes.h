// Plain structures that the data module fills where a window hands it a
// widget: a tree of nodes, a list of names for a combo box and the rows of
// the designer grid. The windows render them; core never sees a widget.
#pragma once

#include "core/data/records.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lty {

struct TTreeNode {
    std::string Text;
    std::optional<TTreeData> Data; // absent on nodes that carry no payload
    int ImageIndex = 0;
    int SelectedIndex = 0;
    bool Expanded = false;
    int Level = 0; // 0 for a top-level node
    std::vector<TTreeNode> Children;

    TTreeNode() = default;
    TTreeNode(const TTreeNode&) = default;
    TTreeNode(TTreeNode&&) noexcept = default;
    TTreeNode& operator=(const TTreeNode&) = default;
    TTreeNode& operator=(TTreeNode&&) noexcept = default;
    // Takes the subtree apart level by level: a catalog may be nested
    // thousands deep, and one destructor call per level would exhaust the stack.
    ~TTreeNode() {
        std::vector<TTreeNode> pending = std::move(Children);
        while (!pending.empty()) {
            std::vector<TTreeNode> below = std::move(pending.back().Children);
            pending.pop_back();
            for (auto& c : below) pending.push_back(std::move(c));
        }
    }

    // Appends a child and answers it. The reference stays valid until the
    // next child is added to this node.
    TTreeNode& AddChild(std::string text) {
        TTreeNode& n = Children.emplace_back();
        n.Text = std::move(text);
        n.Level = Level + 1;
        return n;
    }
    bool HasChildren() const { return !Children.empty(); }
};

struct TTreeView {
    std::vector<TTreeNode> Items; // the top-level nodes

    void Clear() { Items.clear(); }
    TTreeNode& Add(std::string text) {
        TTreeNode& n = Items.emplace_back();
        n.Text = std::move(text);
        return n;
    }
    // Number of nodes at every level.
    std::size_t Count() const {
        std::size_t n = 0;
        std::vector<const TTreeNode*> pending;
        for (const auto& node : Items) pending.push_back(&node);
        while (!pending.empty()) {
            const TTreeNode* node = pending.back();
            pending.pop_back();
            ++n;
            for (const auto& c : node->Children) pending.push_back(&c);
        }
        return n;
    }
    void FullExpand() {
        std::vector<TTreeNode*> pending;
        for (auto& node : Items) pending.push_back(&node);
        while (!pending.empty()) {
            TTreeNode* node = pending.back();
            pending.pop_back();
            node->Expanded = true;
            for (auto& c : node->Children) pending.push_back(&c);
        }
    }
};

// A combo box's list: its names, the selected position (-1 for none), its
// text, and whether the user may only pick from the list.
struct TNameList {
    std::vector<std::string> Items;
    int ItemIndex = -1;
    std::string Text;
    bool PickOnly = false;

    void Select(int index) {
        ItemIndex = index;
        Text = index >= 0 && static_cast<std::size_t>(index) < Items.size() ? Items[static_cast<std::size_t>(index)]
                                                                            : std::string();
    }
};

// The designer grid: rows of four cells (id, name, telephone, address),
// row 0 holding the caller's headings, and each row's height.
struct TDesignerGrid {
    std::vector<std::array<std::string, 4>> Rows;
    std::vector<int> RowHeights;

    int RowCount() const { return static_cast<int>(Rows.size()); }
    void SetRowCount(int count) {
        const auto n = static_cast<std::size_t>(count < 0 ? 0 : count);
        Rows.resize(n);
        RowHeights.resize(n, 0);
    }
};

} // namespace lty
