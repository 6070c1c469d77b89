// What the printed change order (增减项目单) says: the lines added, removed
// and changed against the version before it, and every money figure of the
// totals as signed, as changed by earlier change orders, as changed by this
// one, and as it now stands. Worked in whole cents from the figures as each
// version printed them, so signed + earlier + this = new to the cent.
#pragma once

#include "core/print/version_snapshot.h"
#include "core/quotation/change_order.h"

#include <string>
#include <vector>

namespace lty {

struct ChangeOrderFigure {
    std::string Caption; // "工程总价", "管理费", ..., "合计"
    std::string Signed;  // as the signed version printed it
    std::string Earlier; // what the change orders before this one changed
    std::string Change;  // what this one changes
    std::string New;     // as this version prints it
};

struct ChangeOrderSheet {
    int Number = 0;       // 增减项 n
    PrintHeading Heading; // this version's, titled "增减项目单"
    ChangeOrderLines Lines;
    std::vector<ChangeOrderFigure> Figures;
    std::string ChangeInCapitals; // this change's 合计, in capitals
    std::string NewInCapitals;    // the new 合计, in capitals
};

// The change order `number` (1, 2, ...): `current` against `previous` (the
// version before it), with `signedVersion` the signed quotation.
ChangeOrderSheet MakeChangeOrderSheet(const VersionSnapshot& signedVersion, const VersionSnapshot& previous,
                                      const VersionSnapshot& current, int number);

// The caption of a version in lists and titles: "签约版", "增减项 1", ...
std::string VersionCaption(int version);

} // namespace lty
