#include "core/quotation/change_order.h"

#include "core/text/capital_amount.h"
#include "core/text/number_text.h"

#include <map>
#include <tuple>
#include <unordered_map>

namespace lty {
namespace {

bool SameNumber(const std::string& a, const std::string& b) {
    if (a == b) return true;
    double x = 0, y = 0;
    return TryStrToFloat(a, x) && TryStrToFloat(b, y) && x == y;
}

using LineKey = std::tuple<std::string, std::string, std::string, int>; // room, name, unit, occurrence

// Each line's key, the occurrence counted within its room, name and unit.
std::vector<LineKey> Keys(const std::vector<QuotationLine>& lines) {
    std::map<std::tuple<std::string, std::string, std::string>, int> seen;
    std::vector<LineKey> keys;
    keys.reserve(lines.size());
    for (const QuotationLine& l : lines) {
        const int n = seen[{l.Room, l.Name, l.Unit}]++;
        keys.emplace_back(l.Room, l.Name, l.Unit, n);
    }
    return keys;
}

} // namespace

std::int64_t MoneyTextCents(std::string_view text) {
    double v = 0;
    return TryStrToFloat(text, v) ? AmountCents(v).value_or(0) : 0;
}

std::vector<QuotationLine> QuotationLines(const QuotationGrid& grid) {
    std::vector<QuotationLine> lines;
    std::string room;
    for (int r = 2; r < grid.EndRow(); ++r) {
        if (grid.Kind(r) == RowKind::Section) {
            room = grid.Text(1, r);
        } else if (grid.IsItemRow(r)) {
            lines.push_back({room, grid.Text(1, r), grid.Text(2, r), grid.Text(3, r), grid.Text(4, r), grid.Text(5, r),
                             grid.Text(6, r)});
        }
    }
    return lines;
}

ChangeOrderLines DiffQuotationLines(const std::vector<QuotationLine>& before, const std::vector<QuotationLine>& after) {
    const std::vector<LineKey> oldKeys = Keys(before);
    const std::vector<LineKey> newKeys = Keys(after);
    std::map<LineKey, std::size_t> oldAt;
    for (std::size_t i = 0; i < oldKeys.size(); ++i) oldAt.emplace(oldKeys[i], i);
    std::vector<bool> paired(before.size(), false);

    // Rooms in the order they are met, each with its lines.
    std::vector<std::string> rooms;
    std::unordered_map<std::string, std::vector<ChangedLine>> byRoom;
    const auto add = [&](ChangedLine line) {
        auto [at, isNew] = byRoom.try_emplace(line.Room);
        if (isNew) rooms.push_back(line.Room);
        at->second.push_back(std::move(line));
    };

    // A line as listed, from the version(s) it stands in.
    const auto listed = [](LineChange kind, const QuotationLine* o, const QuotationLine* n) {
        const QuotationLine& either = n ? *n : *o;
        ChangedLine line;
        line.Kind = kind;
        line.Room = either.Room;
        line.Name = either.Name;
        line.Unit = either.Unit;
        if (o) {
            line.OldCount = o->Count;
            line.OldPrice = o->Price;
            line.OldAmount = o->Amount;
        }
        if (n) {
            line.NewCount = n->Count;
            line.NewPrice = n->Price;
            line.NewAmount = n->Amount;
        }
        line.DeltaCents = MoneyTextCents(line.NewAmount) - MoneyTextCents(line.OldAmount);
        return line;
    };

    for (std::size_t i = 0; i < after.size(); ++i) {
        const QuotationLine& n = after[i];
        const auto found = oldAt.find(newKeys[i]);
        if (found == oldAt.end()) {
            add(listed(LineChange::Added, nullptr, &n));
            continue;
        }
        paired[found->second] = true;
        const QuotationLine& o = before[found->second];
        if (SameNumber(o.Count, n.Count) && SameNumber(o.Price, n.Price) && SameNumber(o.Amount, n.Amount)) {
            // Kept as it was; its room still comes in its place in the order.
            if (byRoom.try_emplace(n.Room).second) rooms.push_back(n.Room);
            continue;
        }
        add(listed(LineChange::Changed, &o, &n));
    }
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!paired[i]) add(listed(LineChange::Removed, &before[i], nullptr));

    ChangeOrderLines result;
    for (const std::string& room : rooms)
        for (ChangedLine& line : byRoom[room]) {
            result.DeltaCents += line.DeltaCents;
            result.Lines.push_back(std::move(line));
        }
    return result;
}

const char* LineChangeCaption(LineChange kind) {
    switch (kind) {
    case LineChange::Added:
        return "增加";
    case LineChange::Removed:
        return "减少";
    case LineChange::Changed:
        break;
    }
    return "变更";
}

} // namespace lty
