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
        for (const auto& node : Items) n += CountBelow(node) + 1;
        return n;
    }
    void FullExpand() {
        for (auto& node : Items) ExpandBelow(node);
    }

private:
    static std::size_t CountBelow(const TTreeNode& node) {
        std::size_t n = node.Children.size();
        for (const auto& c : node.Children) n += CountBelow(c);
        return n;
    }
    static void ExpandBelow(TTreeNode& node) {
        node.Expanded = true;
        for (auto& c : node.Children) ExpandBelow(c);
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
