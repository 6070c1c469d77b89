#include "core/quotation/reprice.h"

#include "core/text/ascii_case.h"
#include "core/text/capital_amount.h"
#include "core/text/number_text.h"

#include <unordered_map>

namespace lty {
namespace {

std::string NameUnitKey(std::string_view name, std::string_view unit) {
    std::string key;
    key.reserve(name.size() + unit.size() + 1);
    for (char c : name) key.push_back(AsciiLower(c));
    key.push_back('\x1f');
    for (char c : unit) key.push_back(AsciiLower(c));
    return key;
}

// A money text as cents; false for a text that is no number.
bool Cents(std::string_view text, std::int64_t& cents) {
    double value = 0;
    if (!TryStrToFloat(text, value)) return false;
    const auto amount = AmountCents(value);
    if (amount) cents = *amount;
    return amount.has_value();
}

// Today's catalog, found by id and by name and unit.
class CatalogIndex {
public:
    explicit CatalogIndex(const std::vector<RepriceCatalogEntry>& catalog) {
        byId_.reserve(catalog.size());
        byName_.reserve(catalog.size());
        for (const RepriceCatalogEntry& e : catalog) {
            if (!e.Id.empty()) byId_.emplace(e.Id, &e);
            auto [it, fresh] = byName_.emplace(NameUnitKey(e.Name, e.Unit), Named{&e, false});
            // The same name and unit at another price: no line can tell which it meant.
            if (!fresh && it->second.Entry->Price != e.Price) it->second.Ambiguous = true;
        }
    }

    enum class Found { Entry, Missing, Ambiguous };
    Found Find(const std::string& id, const std::string& name, const std::string& unit,
               const RepriceCatalogEntry*& entry) const {
        const std::string key = NameUnitKey(name, unit);
        if (!id.empty()) {
            const auto byId = byId_.find(id);
            if (byId != byId_.end() && NameUnitKey(byId->second->Name, byId->second->Unit) == key) {
                entry = byId->second;
                return Found::Entry;
            }
        }
        const auto byName = byName_.find(key);
        if (byName == byName_.end()) return Found::Missing;
        if (byName->second.Ambiguous) return Found::Ambiguous;
        entry = byName->second.Entry;
        return Found::Entry;
    }

private:
    struct Named {
        const RepriceCatalogEntry* Entry;
        bool Ambiguous;
    };
    std::unordered_map<std::string, const RepriceCatalogEntry*> byId_;
    std::unordered_map<std::string, Named> byName_;
};

} // namespace

PriceComparison ComparePrices(const QuotationGrid& grid, const std::vector<RepriceCatalogEntry>& catalog,
                              const std::vector<std::string>& lineIds) {
    const CatalogIndex index(catalog);
    static const std::string kNoId;
    PriceComparison out;
    std::string room;
    for (int r = 2; r < grid.EndRow(); ++r) {
        if (grid.Kind(r) == RowKind::Section) {
            room = grid.Text(1, r);
            continue;
        }
        if (!grid.IsItemRow(r) || grid.IsFreeLine(r)) continue;
        const std::string& name = grid.Text(1, r);
        const std::string& unit = grid.Text(4, r);
        const std::string& id =
            static_cast<std::size_t>(r) < lineIds.size() ? lineIds[static_cast<std::size_t>(r)] : kNoId;
        const RepriceCatalogEntry* entry = nullptr;
        switch (index.Find(id, name, unit, entry)) {
        case CatalogIndex::Found::Missing:
            ++out.Missing;
            continue;
        case CatalogIndex::Found::Ambiguous:
            ++out.Ambiguous;
            continue;
        case CatalogIndex::Found::Entry:
            break;
        }
        ++out.Compared;
        double oldPrice = 0, count = 0;
        std::int64_t oldCents = 0;
        if (!TryStrToFloat(grid.Text(2, r), oldPrice) || !TryStrToFloat(grid.Text(3, r), count) ||
            !Cents(grid.Text(5, r), oldCents))
            continue;
        if (oldPrice == entry->Price) continue;
        PriceChange c;
        c.Row = r;
        c.Room = room;
        c.Name = name;
        c.Unit = unit;
        c.Count = grid.Text(3, r);
        c.OldPrice = grid.Text(2, r);
        c.NewPrice = FloatToStr(entry->Price);
        c.OldPriceValue = oldPrice;
        c.NewPriceValue = entry->Price;
        c.OldAmountCents = oldCents;
        if (!Cents(FormatTwoDecimals(entry->Price * count), c.NewAmountCents)) continue;
        out.Changes.push_back(std::move(c));
    }
    return out;
}

std::int64_t TotalDifferenceCents(const std::vector<PriceChange>& changes) {
    std::int64_t sum = 0;
    for (const PriceChange& c : changes) sum += c.AmountDifferenceCents();
    return sum;
}

int ApplyPriceChanges(QuotationGrid& grid, const std::vector<PriceChange>& chosen, bool* beyondLimit) {
    if (beyondLimit) *beyondLimit = false;
    struct Undo {
        int Row;
        std::string Price, Amount, Expression;
    };
    std::vector<Undo> done;
    for (const PriceChange& c : chosen) {
        const int r = c.Row;
        if (r < 2 || r >= grid.EndRow() || !grid.IsItemRow(r) || grid.IsFreeLine(r)) continue;
        if (grid.Text(1, r) != c.Name || grid.Text(4, r) != c.Unit || grid.Text(2, r) != c.OldPrice) continue;
        done.push_back({r, grid.Text(2, r), grid.Text(5, r), grid.Cell(2, r).Expression});
        grid.SetCellText(2, r, c.NewPrice);
        grid.SetCellExpression(2, r, {});
        grid.RecalcItemAmount(r);
    }
    if (done.empty()) return 0;
    if (!grid.AmountsWithinLimit()) {
        for (const Undo& u : done) {
            grid.SetCellText(2, u.Row, u.Price);
            grid.SetCellText(5, u.Row, u.Amount);
            grid.SetCellExpression(2, u.Row, u.Expression);
        }
        if (beyondLimit) *beyondLimit = true;
        return 0;
    }
    grid.RecalcTotals();
    return static_cast<int>(done.size());
}

} // namespace lty
