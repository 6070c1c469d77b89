// "复制为新工程": a new, unsaved project made from a stored one. A copy is
// made for a similar flat of another customer, so it keeps what describes
// the work (the quotation with its charges, house type, area, style, shop,
// designer and the designer's telephone) and starts empty in everything that
// belongs to the customer or the contract (customer, telephone, address,
// identity card, source and demands, project number, earnest, signing,
// contract, payments, site staff and dates). Its date is today.
#pragma once

#include "core/data/records.h"

#include <string>

namespace lty {

TREC_PROJECT ProjectCopy(const TREC_PROJECT& source, const std::string& today);

} // namespace lty
