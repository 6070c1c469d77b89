#include "core/data/records.h"

namespace lty {

TREC_PROJECT::TREC_PROJECT()
    : blnSignContract(false), numEarnest(0), numContractPrice(0), numOverheadExp(0), numTax(0), numThirdPayMoney(0),
      numDiscount(0), numFirstPayMoney(0), numHouseAcreage(0), numSecondPayMoney(0), IntID(0) {}

std::string ProjectCaption(const std::string& customer, const std::string& address) {
    std::string caption;
    caption.reserve(customer.size() + address.size() + 6);
    return caption.append(customer).append("（").append(address).append("）");
}

TItemData::TItemData() : Count(0), Price(0), Amount(0) {
    SetItemID("1");
    SetItemName("");
    SetPrice(0);
    SetCount(0);
    SetUnit("");
    SetAmount(0);
    SetSpec("");
    SetGrade("");
}

TCompanyInfo::TCompanyInfo() {
    SetName("");
    SetAddress("");
    SetTel1("");
    SetTel2("");
    SetPerson("");
}

TDes::TDes() {
    SetName("");
    SetTel("");
    SetAddress("");
}

} // namespace lty
