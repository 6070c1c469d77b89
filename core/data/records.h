// The records that carry rows between the data module and the windows:
// one project row, one priced catalog item, a tree node's payload, the
// editable columns of a catalog row, the company row and one designer.
// Each is a plain class: public fields in their declared order and one
// setter per field that stores the value unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace lty {

// A project's own rates and discount: its TBLPROJECTRATE row. Rates are
// percentages (8, 3.41); an absent rate is the firm's. Discount kind 0 none,
// 1 an amount of yuan, 2 a percentage of the total.
struct TREC_PROJECTRATE {
    std::optional<double> OverheadRate;
    std::optional<double> TaxRate;
    int DiscountKind = 0;
    double DiscountValue = 0;
    // Whether the database holds a row for the project (as last loaded or
    // saved), so a save that no longer needs one removes it.
    bool Stored = false;

    // The firm's rates and no discount: nothing to store.
    bool IsDefault() const { return !OverheadRate && !TaxRate && (DiscountKind == 0 || DiscountValue == 0); }
};

// The firm's rates (TBLSETTING), percentages; a missing setting is the default.
struct TFirmRates {
    double OverheadRate = 8;
    double TaxRate = 3.41;
    friend bool operator==(const TFirmRates&, const TFirmRates&) = default;
};

// One tblProject row. Dates are held as short date texts, exactly as they
// go between '#' signs in a statement.
class TREC_PROJECT {
public:
    TREC_PROJECT();

    bool blnSignContract;
    double numEarnest;
    double numContractPrice;
    double numOverheadExp;
    double numTax;
    double numThirdPayMoney;
    double numDiscount;
    double numFirstPayMoney;
    double numHouseAcreage;
    double numSecondPayMoney;
    std::int32_t IntID;
    std::string charHouseType;
    std::string dateEndDate;
    std::string charAddress;
    std::string charProjectStatus;
    std::string dateCheckDate;
    std::string charDesignerTel;
    std::string charProjectID;
    std::string charCustodian;
    std::string charDesignStyle;
    std::string charCustomerID;
    std::string charCustomerTel;
    std::string charDesigner;
    std::string charCustomer;
    std::string charShop;
    std::string charCustomerSource;
    std::string dateMappingDate;
    std::string charWorkLeaderTel;
    std::string charCustodianTel;
    std::string dateStartDate;
    std::string dateFirstPayDate;
    std::string charContractID;
    std::string dateThirdPayDate;
    std::string dateSecondPayDate;
    std::string dateSignDate;
    std::string charWorkLeader;
    std::string charCustomerDemand;
    std::string charQuotation;
    std::string charContractMemo;
    // Beside the row: the project's own rates and discount, saved and loaded
    // with it.
    TREC_PROJECTRATE Rates;
    // The project's measured rooms (TBLPROJECTROOMS), empty without any.
    std::string charRooms;

    void SetblnSignContract(bool v) { blnSignContract = v; }
    void SetnumEarnest(double v) { numEarnest = v; }
    void SetnumContractPrice(double v) { numContractPrice = v; }
    void SetnumOverheadExp(double v) { numOverheadExp = v; }
    void SetnumTax(double v) { numTax = v; }
    void SetnumThirdPayMoney(double v) { numThirdPayMoney = v; }
    void SetnumDiscount(double v) { numDiscount = v; }
    void SetnumFirstPayMoney(double v) { numFirstPayMoney = v; }
    void SetnumHouseAcreage(double v) { numHouseAcreage = v; }
    void SetnumSecondPayMoney(double v) { numSecondPayMoney = v; }
    void SetIntID(std::int32_t v) { IntID = v; }
    void SetcharHouseType(std::string v) { charHouseType = std::move(v); }
    void SetdateEndDate(std::string v) { dateEndDate = std::move(v); }
    void SetcharAddress(std::string v) { charAddress = std::move(v); }
    void SetcharProjectStatus(std::string v) { charProjectStatus = std::move(v); }
    void SetdateCheckDate(std::string v) { dateCheckDate = std::move(v); }
    void SetcharDesignerTel(std::string v) { charDesignerTel = std::move(v); }
    void SetcharProjectID(std::string v) { charProjectID = std::move(v); }
    void SetcharCustodian(std::string v) { charCustodian = std::move(v); }
    void SetcharDesignStyle(std::string v) { charDesignStyle = std::move(v); }
    void SetcharCustomerID(std::string v) { charCustomerID = std::move(v); }
    void SetcharCustomerTel(std::string v) { charCustomerTel = std::move(v); }
    void SetcharDesigner(std::string v) { charDesigner = std::move(v); }
    void SetcharCustomer(std::string v) { charCustomer = std::move(v); }
    void SetcharShop(std::string v) { charShop = std::move(v); }
    void SetcharCustomerSource(std::string v) { charCustomerSource = std::move(v); }
    void SetdateMappingDate(std::string v) { dateMappingDate = std::move(v); }
    void SetcharWorkLeaderTel(std::string v) { charWorkLeaderTel = std::move(v); }
    void SetcharCustodianTel(std::string v) { charCustodianTel = std::move(v); }
    void SetdateStartDate(std::string v) { dateStartDate = std::move(v); }
    void SetdateFirstPayDate(std::string v) { dateFirstPayDate = std::move(v); }
    void SetcharContractID(std::string v) { charContractID = std::move(v); }
    void SetdateThirdPayDate(std::string v) { dateThirdPayDate = std::move(v); }
    void SetdateSecondPayDate(std::string v) { dateSecondPayDate = std::move(v); }
    void SetdateSignDate(std::string v) { dateSignDate = std::move(v); }
    void SetcharWorkLeader(std::string v) { charWorkLeader = std::move(v); }
    void SetcharCustomerDemand(std::string v) { charCustomerDemand = std::move(v); }
    void SetcharQuotation(std::string v) { charQuotation = std::move(v); }
    void SetcharContractMemo(std::string v) { charContractMemo = std::move(v); }
    void SetcharRooms(std::string v) { charRooms = std::move(v); }
};

// How a project is named on screen, in the project tree as in its window's
// caption: the customer, then the address in full-width parentheses.
std::string ProjectCaption(const std::string& customer, const std::string& address);

// One catalog item with its price row.
class TItemData {
public:
    TItemData();

    double Count;
    double Price;
    double Amount;
    std::string Unit;
    std::string Spec;
    std::string ItemName;
    std::string ItemID;
    std::string Grade;

    void SetCount(double v) { Count = v; }
    void SetPrice(double v) { Price = v; }
    void SetAmount(double v) { Amount = v; }
    void SetUnit(std::string v) { Unit = std::move(v); }
    void SetSpec(std::string v) { Spec = std::move(v); }
    void SetItemName(std::string v) { ItemName = std::move(v); }
    void SetItemID(std::string v) { ItemID = std::move(v); }
    void SetGrade(std::string v) { Grade = std::move(v); }
};

// The payload of a project-tree or catalog-tree node: the row's id as text
// and the node's display text.
class TTreeData {
public:
    TTreeData() = default;
    TTreeData(std::string id, std::string name) : ID(std::move(id)), Name(std::move(name)) {}

    std::string ID;
    std::string Name;

    void SetID(std::string v) { ID = std::move(v); }
    void SetName(std::string v) { Name = std::move(v); }
    friend bool operator==(const TTreeData&, const TTreeData&) = default;
};

// The editable columns of one catalog row, for an insert (ID is the parent's
// id) or an update (ID is the row's own id).
struct TITEMREC {
    std::int32_t ID = 0;
    std::string ItemName;
    std::string Remark1;
    std::string Remark2;
    std::int32_t ItemType = 0;
    // Two trailing fields that belong to the record's layout; nothing sets or reads them.
    std::string Reserved;
    std::int32_t ReservedNumber = 0;

    void SetID(std::int32_t v) { ID = v; }
    void SetItemName(std::string v) { ItemName = std::move(v); }
    void SetRemark1(std::string v) { Remark1 = std::move(v); }
    void SetRemark2(std::string v) { Remark2 = std::move(v); }
    void SetItemType(std::int32_t v) { ItemType = v; }
    void SetReserved(std::string v) { Reserved = std::move(v); }
    void SetReservedNumber(std::int32_t v) { ReservedNumber = v; }
};

// The company's own details (the one TBLCOMPANYINFO row).
class TCompanyInfo {
public:
    TCompanyInfo();

    std::string Person;
    std::string Tel2;
    std::string Tel1;
    std::string Address;
    std::string Name;

    void SetPerson(std::string v) { Person = std::move(v); }
    void SetTel2(std::string v) { Tel2 = std::move(v); }
    void SetTel1(std::string v) { Tel1 = std::move(v); }
    void SetAddress(std::string v) { Address = std::move(v); }
    void SetName(std::string v) { Name = std::move(v); }
};

// One designer row.
class TDes {
public:
    TDes();

    std::string Address;
    std::string Name;
    std::string Tel;

    void SetAddress(std::string v) { Address = std::move(v); }
    void SetName(std::string v) { Name = std::move(v); }
    void SetTel(std::string v) { Tel = std::move(v); }
};

} // namespace lty
