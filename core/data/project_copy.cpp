#include "core/data/project_copy.h"

namespace lty {

TREC_PROJECT ProjectCopy(const TREC_PROJECT& source, const std::string& today) {
    TREC_PROJECT copy; // IntID 0, nothing signed, every text and amount empty
    copy.SetcharQuotation(source.charQuotation);
    copy.SetnumContractPrice(source.numContractPrice);
    copy.SetnumOverheadExp(source.numOverheadExp);
    copy.SetnumTax(source.numTax);
    copy.SetnumDiscount(source.numDiscount);
    // The discount amount is only right with the rule that made it, and the
    // measured rooms belong to the lines.
    copy.Rates = source.Rates;
    copy.Rates.Stored = false; // the copy has no rate row yet
    copy.SetcharRooms(source.charRooms);
    copy.SetcharHouseType(source.charHouseType);
    copy.SetnumHouseAcreage(source.numHouseAcreage);
    copy.SetcharDesignStyle(source.charDesignStyle);
    copy.SetcharShop(source.charShop);
    copy.SetcharDesigner(source.charDesigner);
    copy.SetcharDesignerTel(source.charDesignerTel);
    copy.SetdateSignDate(today);
    copy.SetdateMappingDate(today);
    return copy;
}

} // namespace lty
