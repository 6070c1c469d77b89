#include "core/print/print_sheet.h"

#include "core/text/number_text.h"

namespace lty {
namespace {

// Two captions joined by a full-width space, or the one that is not empty.
std::string Joined(const std::string& a, const std::string& b, const char* separator = "　") {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + separator + b;
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

std::string DesignerTelephone(const std::string& name, const TDesignerGrid& designers) {
    if (name.empty()) return {};
    for (std::size_t r = 1; r < designers.Rows.size(); ++r)
        if (designers.Rows[r][1] == name && !designers.Rows[r][3].empty()) return designers.Rows[r][3];
    return {};
}

bool IsZero(const std::string& text) {
    double v = 0;
    return text.empty() || (TryStrToFloat(text, v) && v == 0);
}

} // namespace

const char* PrintVersionCaption(PrintVersion version) {
    return version == PrintVersion::Crew ? "施工单（不含价格）" : "报价单（客户）";
}

const char* PrintVersionKey(PrintVersion version) { return version == PrintVersion::Crew ? "crew" : "customer"; }

PrintVersion PrintVersionFromKey(std::string_view key) {
    return key == "crew" ? PrintVersion::Crew : PrintVersion::Customer;
}

PrintHeading QuotationPrintHeading(PrintVersion version, const QuotationPrintSource& source,
                                   const TCompanyInfo& company, const TDesignerGrid& designers, const Date& date) {
    PrintHeading h;
    h.Company = company.Name;
    std::string tels = Joined(Trimmed(company.Tel2), Trimmed(company.Person), "  ");
    h.CompanyContact = Joined(company.Address.empty() ? std::string() : "地址：" + company.Address,
                              tels.empty() ? std::string() : "电话：" + tels);
    h.Title = version == PrintVersion::Crew ? "居室装修施工单" : "居室装修报价单";
    if (const std::string house = Trimmed(source.HouseType); !house.empty()) h.Title += "（" + house + "）";
    h.ProjectNumber = source.ProjectNumber;
    h.Date = std::to_string(date.Year) + "年" + std::to_string(date.Month) + "月" + std::to_string(date.Day) + "日";
    h.Customer = source.Customer;
    h.CustomerTel = source.CustomerTel;
    h.Designer = source.Designer;
    h.DesignerTel = Trimmed(source.DesignerTel);
    if (h.DesignerTel.empty()) h.DesignerTel = DesignerTelephone(Trimmed(source.Designer), designers);
    h.Address = source.Address;
    return h;
}

bool IsEmptyRoomRow(const PrintRow& row) {
    return row.DataName.empty() && row.DataUnit.empty() && row.DataMemo.empty() && IsZero(row.DataPrice) &&
           IsZero(row.DataCount);
}

std::vector<PrintLineMark> MarkPrintLines(const std::vector<PrintRow>& rows) {
    std::vector<PrintLineMark> marks(rows.size());
    for (std::size_t begin = 0; begin < rows.size();) {
        std::size_t end = begin + 1;
        while (end < rows.size() && rows[end].ItemName == rows[begin].ItemName) ++end;
        int number = 0;
        for (std::size_t i = begin; i < end; ++i) {
            marks[i].Shown = !IsEmptyRoomRow(rows[i]);
            if (marks[i].Shown) marks[i].Number = ++number;
        }
        for (std::size_t i = begin; i < end; ++i) marks[i].GroupShown = number > 0;
        begin = end;
    }
    return marks;
}

} // namespace lty
