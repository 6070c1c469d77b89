#include "core/print/version_snapshot.h"

#include "core/text/tab_escape.h"

#include <charconv>
#include <cstddef>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

namespace lty {
namespace {

constexpr std::string_view kHeader = "ltyquote-version-snapshot ";

// How many members an aggregate has: the most arguments its braces take.
struct AnyMember {
    template <class T>
    operator T() const; // never defined: only asked about
};
template <class T, class... A>
constexpr std::size_t MemberCount() {
    if constexpr (requires { T{A{}..., AnyMember{}}; })
        return MemberCount<T, A..., AnyMember>();
    else
        return sizeof...(A);
}

// One field of a struct by its key. Every member of the structs kept in a
// version is listed (the counts are checked below), so a field added to
// them that is not listed here stops the build instead of being lost.
template <class T>
struct Field {
    const char* Key;
    std::variant<std::string T::*, double T::*, bool T::*, int T::*, DiscountKind T::*> Member;
    const char* Caption = nullptr; // a money figure of the totals
};

constexpr Field<PrintHeading> kHeadingFields[] = {
    {"Company", &PrintHeading::Company},         {"CompanyContact", &PrintHeading::CompanyContact},
    {"Title", &PrintHeading::Title},             {"ProjectNumber", &PrintHeading::ProjectNumber},
    {"Date", &PrintHeading::Date},               {"Customer", &PrintHeading::Customer},
    {"CustomerTel", &PrintHeading::CustomerTel}, {"Designer", &PrintHeading::Designer},
    {"DesignerTel", &PrintHeading::DesignerTel}, {"Address", &PrintHeading::Address}};
constexpr Field<PrintTotals> kTotalsFields[] = {{"ProjectTotal", &PrintTotals::ProjectTotal, "工程总价"},
                                                {"Discount", &PrintTotals::Discount, "优惠"},
                                                {"DiscountCaption", &PrintTotals::DiscountCaption},
                                                {"Overhead", &PrintTotals::Overhead, "管理费"},
                                                {"Tax", &PrintTotals::Tax, "税金"},
                                                {"Sum", &PrintTotals::Sum, "合计"},
                                                {"SumInCapitals", &PrintTotals::SumInCapitals}};
// The terms the totals were worked out at, kept beside them.
constexpr Field<ChargeTerms> kTermsFields[] = {{"OverheadPercent", &ChargeTerms::OverheadPercent},
                                               {"TaxPercent", &ChargeTerms::TaxPercent},
                                               {"Discount", &ChargeTerms::Discount},
                                               {"DiscountValue", &ChargeTerms::DiscountValue}};
constexpr Field<PrintRow> kRowFields[] = {
    {"ItemName", &PrintRow::ItemName},   {"DataName", &PrintRow::DataName}, {"DataPrice", &PrintRow::DataPrice},
    {"DataCount", &PrintRow::DataCount}, {"DataUnit", &PrintRow::DataUnit}, {"DataMemo", &PrintRow::DataMemo},
    {"DataIndex", &PrintRow::DataIndex}, {"Datasum", &PrintRow::Datasum}};
constexpr Field<QuotationPrintSource> kProjectFields[] = {
    {"Customer", &QuotationPrintSource::Customer},       {"CustomerTel", &QuotationPrintSource::CustomerTel},
    {"Designer", &QuotationPrintSource::Designer},       {"DesignerTel", &QuotationPrintSource::DesignerTel},
    {"Address", &QuotationPrintSource::Address},         {"OverheadText", &QuotationPrintSource::OverheadText},
    {"TaxText", &QuotationPrintSource::TaxText},         {"ProjectNumber", &QuotationPrintSource::ProjectNumber},
    {"HouseType", &QuotationPrintSource::HouseType}};

static_assert(MemberCount<PrintHeading>() == std::size(kHeadingFields),
              "every field of PrintHeading must be listed in kHeadingFields to be kept in a version");
static_assert(MemberCount<PrintTotals>() == std::size(kTotalsFields) + 1, // and Terms, a group of its own
              "every field of PrintTotals must be listed in kTotalsFields to be kept in a version");
static_assert(MemberCount<ChargeTerms>() == std::size(kTermsFields),
              "every field of ChargeTerms must be listed in kTermsFields to be kept in a version");
static_assert(MemberCount<PrintRow>() == std::size(kRowFields),
              "every field of PrintRow must be listed in kRowFields to be kept in a version");
static_assert(MemberCount<QuotationPrintSource>() == std::size(kProjectFields) + 1, // and Grid, never kept
              "every field of QuotationPrintSource must be listed in kProjectFields to be kept in a version");

template <class T>
std::string ValueText(const T& object, const Field<T>& field) {
    return std::visit(
        [&](auto member) -> std::string {
            const auto& value = object.*member;
            using V = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<V, std::string>) {
                return value;
            } else if constexpr (std::is_same_v<V, bool>) {
                return value ? "1" : "0";
            } else if constexpr (std::is_enum_v<V>) {
                return std::to_string(static_cast<int>(value));
            } else {
                char buffer[32];
                const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
                return std::string(buffer, end);
            }
        },
        field.Member);
}

template <class T>
void SetValue(T& object, const Field<T>& field, const std::string& text) {
    std::visit(
        [&](auto member) {
            auto& value = object.*member;
            using V = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<V, std::string>) {
                value = text;
            } else if constexpr (std::is_same_v<V, bool>) {
                value = text == "1";
            } else if constexpr (std::is_enum_v<V>) {
                int read = 0;
                if (std::from_chars(text.data(), text.data() + text.size(), read).ec == std::errc())
                    value = static_cast<V>(read);
            } else {
                V read{};
                // A figure that does not read keeps its default.
                if (std::from_chars(text.data(), text.data() + text.size(), read).ec == std::errc()) value = read;
            }
        },
        field.Member);
}

// "prefix.Key<TAB>value" lines of every field of `object`.
template <class T, std::size_t N>
void WriteFields(std::string& out, std::string_view prefix, const T& object, const Field<T> (&fields)[N]) {
    for (const Field<T>& f : fields) {
        out.append(prefix);
        out.push_back('.');
        out.append(f.Key);
        out.push_back('\t');
        AppendTabEscaped(out, ValueText(object, f));
        out.push_back('\n');
    }
}

template <class T, std::size_t N>
bool ReadField(T& object, const Field<T> (&fields)[N], std::string_view key, const std::string& value) {
    for (const Field<T>& f : fields)
        if (key == f.Key) {
            SetValue(object, f, value);
            return true;
        }
    return false;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return parts;
        start = tab + 1;
    }
}

} // namespace

std::string VersionSnapshotText(const VersionSnapshot& s) {
    std::string out(kHeader);
    out += std::to_string(kVersionSnapshotFormat);
    out.push_back('\n');
    WriteFields(out, "heading", s.Printed.Heading, kHeadingFields);
    WriteFields(out, "totals", s.Printed.Totals, kTotalsFields);
    WriteFields(out, "terms", s.Printed.Totals.Terms, kTermsFields);
    WriteFields(out, "project", s.Project, kProjectFields);
    out += "remark\t";
    AppendTabEscaped(out, s.Printed.Remark);
    out += "\nquotation\t";
    AppendTabEscaped(out, s.QuotationText);
    out.push_back('\n');
    // A print row on one line: its keys and values in turn.
    for (const PrintRow& row : s.Printed.Rows) {
        out += "row";
        for (const Field<PrintRow>& f : kRowFields) {
            out.push_back('\t');
            out += f.Key;
            out.push_back('\t');
            AppendTabEscaped(out, ValueText(row, f));
        }
        out.push_back('\n');
    }
    return out;
}

VersionSnapshot ReadVersionSnapshot(std::string_view text) {
    if (!text.starts_with(kHeader)) throw std::invalid_argument("not a version snapshot");
    VersionSnapshot s;
    std::size_t at = text.find('\n');
    const std::string_view format = text.substr(kHeader.size(), at - kHeader.size());
    if (std::from_chars(format.data(), format.data() + format.size(), s.Format).ec != std::errc())
        throw std::invalid_argument("not a version snapshot");
    while (at != std::string_view::npos && at + 1 < text.size()) {
        const std::size_t next = text.find('\n', at + 1);
        const std::string_view line = text.substr(at + 1, next == std::string_view::npos ? next : next - at - 1);
        at = next;
        const std::vector<std::string_view> parts = SplitTabs(line);
        if (parts.size() < 2) continue;
        const std::string_view key = parts[0];
        if (key == "row") {
            PrintRow row;
            for (std::size_t i = 1; i + 1 < parts.size(); i += 2) ReadField(row, kRowFields, parts[i], TabUnescaped(parts[i + 1]));
            s.Printed.Rows.push_back(std::move(row));
            continue;
        }
        const std::string value = TabUnescaped(parts[1]);
        const std::size_t dot = key.find('.');
        const std::string_view group = key.substr(0, dot);
        const std::string_view name = dot == std::string_view::npos ? std::string_view() : key.substr(dot + 1);
        if (key == "remark")
            s.Printed.Remark = value;
        else if (key == "quotation")
            s.QuotationText = value;
        else if (group == "heading")
            ReadField(s.Printed.Heading, kHeadingFields, name, value);
        else if (group == "totals")
            ReadField(s.Printed.Totals, kTotalsFields, name, value);
        else if (group == "terms")
            ReadField(s.Printed.Totals.Terms, kTermsFields, name, value);
        else if (group == "project")
            ReadField(s.Project, kProjectFields, name, value);
    }
    return s;
}

std::vector<TotalsFigure> TotalsFigures(const PrintTotals& totals) {
    std::vector<TotalsFigure> figures;
    for (const Field<PrintTotals>& f : kTotalsFields)
        if (f.Caption) figures.push_back({f.Caption, ValueText(totals, f)});
    return figures;
}

} // namespace lty
