// The nine tables of a quotation database and their columns, in the order
// schema.sql declares them: what the tools copy between the two engines.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace lty {

struct QuotationTable {
    std::string_view Name;                 // as schema.sql spells it
    std::string_view Identity;             // the engine-assigned key, "" for none
    std::vector<std::string_view> Columns; // every column, the key first where there is one
};

const std::array<QuotationTable, 9>& QuotationTables();

} // namespace lty
