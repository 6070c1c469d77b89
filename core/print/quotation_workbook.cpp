#include "core/print/quotation_workbook.h"

#include "core/quotation/charges.h"
#include "core/text/capital_amount.h"
#include "core/text/number_text.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>

namespace lty {
namespace {

// Named as Chinese office programs know it, so WPS and Excel show the face
// they would choose themselves; elsewhere the system finds a CJK face for it.
constexpr const char* kFont = "宋体";
constexpr lxw_color_t kLightGrey = 0xE8E8E8;
constexpr const char* kMoney = "0.00";
constexpr const char* kRate = "0.00%";
constexpr const char* kSubtotalCaption = "小计：";

enum Column : lxw_col_t { Index, Name, Memo, Count, Unit, Price, Amount };

double CentsValue(std::int64_t cents) { return static_cast<double>(cents) / 100; }

std::int64_t TextCents(std::string_view text) {
    double v = 0;
    return TryStrToFloat(text, v) ? AmountCents(v).value_or(0) : 0;
}

double NumberOf(std::string_view text) {
    double v = 0;
    return TryStrToFloat(text, v) ? v : 0;
}

// "G12": a cell as a formula names it.
std::string Cell(lxw_col_t col, lxw_row_t row) {
    return std::string(1, static_cast<char>('A' + col)) + std::to_string(row + 1);
}

// Column widths in characters; the memo takes what the page leaves.
constexpr double kCustomerWidths[] = {5, 16, 38, 8, 6, 10, 12};
constexpr double kCrewWidths[] = {5, 20, 44, 13, 13};
constexpr double kLinePoints = 13.5; // one line of 10 pt text

// How many lines a text takes in a box `width` characters wide: a Chinese
// character is as wide as two Latin ones. Spreadsheet programs do not all
// make a row as tall as its wrapped text, and none does for merged cells, so
// the sheet says how tall.
int LinesOf(std::string_view text, double width) {
    int lines = 0;
    double line = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            lines += 1 + static_cast<int>(line / width);
            line = 0;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
            line += 1;
        else if (c >= 0xC0)
            line += 2; // the lead byte of a multi-byte character
    }
    return lines;
}

// The formats of one workbook, made once.
struct Formats {
    lxw_format* Company;
    lxw_format* Contact;
    lxw_format* Title;
    lxw_format* Plain;
    lxw_format* PlainRight;
    lxw_format* Boxed;
    lxw_format* ColumnHeading;
    lxw_format* Room;
    lxw_format* LineIndex;
    lxw_format* LineText;
    lxw_format* LineCentred;
    lxw_format* LineCount;
    lxw_format* LineMoney;
    lxw_format* GreyCaption;
    lxw_format* GreyMoney;
    lxw_format* GreyRate;
    lxw_format* Capitals;
    lxw_format* Remark;

    explicit Formats(lxw_workbook* wb) {
        const auto make = [wb](double size, bool bold = false, std::uint8_t align = LXW_ALIGN_LEFT) {
            lxw_format* f = workbook_add_format(wb);
            format_set_font_name(f, kFont);
            format_set_font_charset(f, 134); // GB2312: the sheet's texts are Chinese
            format_set_font_size(f, size);
            if (bold) format_set_bold(f);
            format_set_align(f, align);
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
            return f;
        };
        const auto boxed = [&](double size, bool bold = false, std::uint8_t align = LXW_ALIGN_LEFT) {
            lxw_format* f = make(size, bold, align);
            format_set_border(f, LXW_BORDER_THIN);
            return f;
        };
        const auto grey = [&](lxw_format* f) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, kLightGrey);
            return f;
        };
        Company = make(20, true, LXW_ALIGN_CENTER);
        Contact = make(9, false, LXW_ALIGN_CENTER);
        Title = make(16, true, LXW_ALIGN_CENTER);
        Plain = make(10);
        PlainRight = make(10, false, LXW_ALIGN_RIGHT);
        Boxed = boxed(10);
        ColumnHeading = boxed(10, true, LXW_ALIGN_CENTER);
        Room = boxed(10, true);
        // Lines start at their top, as a tall memo makes them tall.
        const auto line = [&](std::uint8_t align, const char* number = nullptr) {
            lxw_format* f = boxed(10, false, align);
            format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
            if (number) format_set_num_format(f, number);
            return f;
        };
        LineIndex = line(LXW_ALIGN_CENTER);
        LineText = line(LXW_ALIGN_LEFT);
        format_set_text_wrap(LineText);
        LineCentred = line(LXW_ALIGN_CENTER);
        format_set_text_wrap(LineCentred);
        LineCount = line(LXW_ALIGN_RIGHT);
        LineMoney = line(LXW_ALIGN_RIGHT, kMoney);
        GreyCaption = grey(boxed(10, true));
        GreyMoney = grey(boxed(10, true, LXW_ALIGN_RIGHT));
        format_set_num_format(GreyMoney, kMoney);
        GreyRate = grey(boxed(10, true, LXW_ALIGN_RIGHT));
        format_set_num_format(GreyRate, kRate);
        Capitals = boxed(10, true);
        Remark = make(10);
        format_set_text_wrap(Remark);
        format_set_align(Remark, LXW_ALIGN_VERTICAL_TOP);
    }
};

// Lays the quotation out on the sheet, row by row from the top.
class SheetWriter {
public:
    SheetWriter(lxw_workbook* wb, const QuotationWorkbook& q)
        : q_(q), crew_(q.Version == PrintVersion::Crew), last_(crew_ ? Unit : Amount), f_(wb) {
        ws_ = workbook_add_worksheet(wb, crew_ ? "施工单" : "报价单");
    }

    bool Write() {
        if (!ws_) return false;
        PageSetUp();
        Heading();
        const lxw_row_t headings = row_;
        ColumnHeadings();
        Check(worksheet_repeat_rows(ws_, headings, headings));
        linesTop_ = row_;
        Lines();
        if (!crew_) Totals();
        Signatures();
        return ok_;
    }

private:
    void Check(lxw_error e) { ok_ = ok_ && e == LXW_NO_ERROR; }

    double Width(lxw_col_t c) const { return crew_ ? kCrewWidths[c] : kCustomerWidths[c]; }
    // The text of `c` less a character's room on either side.
    int LinesIn(lxw_col_t c, std::string_view text) const { return LinesOf(text, Width(c) - 1); }

    void Merged(lxw_row_t row, lxw_col_t first, lxw_col_t last, const std::string& text, lxw_format* format) {
        if (first == last)
            Check(worksheet_write_string(ws_, row, first, text.c_str(), format));
        else
            Check(worksheet_merge_range(ws_, row, first, row, last, text.c_str(), format));
    }

    void PageSetUp() {
        worksheet_set_paper(ws_, 9); // A4
        worksheet_set_portrait(ws_);
        worksheet_set_margins(ws_, 0.4, 0.4, 0.6, 0.6);
        worksheet_center_horizontally(ws_);
        worksheet_fit_to_pages(ws_, 1, 0); // the width of one page, as many pages down as it takes
        Check(worksheet_set_footer(ws_, "&C第 &P 页 共 &N 页"));
        for (lxw_col_t c = 0; c <= last_; ++c) Check(worksheet_set_column(ws_, c, c, Width(c), nullptr));
    }

    void Heading() {
        const PrintHeading& h = q_.Heading;
        Check(worksheet_set_row(ws_, row_, 30, nullptr));
        Merged(row_++, 0, last_, h.Company, f_.Company);
        if (!h.CompanyContact.empty()) Merged(row_++, 0, last_, h.CompanyContact, f_.Contact);
        Check(worksheet_set_row(ws_, row_, 26, nullptr));
        Merged(row_++, 0, last_, h.Title, f_.Title);
        Merged(row_, 0, Memo, "工程编号：" + h.ProjectNumber, f_.Plain);
        Merged(row_++, Count, last_, (crew_ ? "日期：" : "报价日期：") + h.Date, f_.PlainRight);
        Check(worksheet_set_row(ws_, row_, 20, nullptr));
        Merged(row_, Index, Name, "客户姓名：" + h.Customer, f_.Boxed);
        Merged(row_, Memo, Memo, "联系电话：" + h.CustomerTel, f_.Boxed);
        if (crew_) {
            // The crew's sheet has two narrow columns on the right: the
            // designer above, the designer's telephone beside the address.
            Merged(row_++, Count, last_, "设计师：" + h.Designer, f_.Boxed);
            Check(worksheet_set_row(ws_, row_, 20, nullptr));
            Merged(row_, 0, Memo, "施工地点：" + h.Address, f_.Boxed);
            Merged(row_++, Count, last_, "设计师电话：" + h.DesignerTel, f_.Boxed);
        } else {
            Merged(row_, Count, Unit, "设计师：" + h.Designer, f_.Boxed);
            Merged(row_++, Price, last_, "联系电话：" + h.DesignerTel, f_.Boxed);
            Check(worksheet_set_row(ws_, row_, 20, nullptr));
            Merged(row_++, 0, last_, "施工地点：" + h.Address, f_.Boxed);
        }
        ++row_; // air above the lines
    }

    void ColumnHeadings() {
        const char* captions[] = {"序号", "项目名称", "工艺做法及说明", "数量", "单位", "单价", "合计"};
        Check(worksheet_set_row(ws_, row_, 20, nullptr));
        for (lxw_col_t c = 0; c <= last_; ++c)
            Check(worksheet_write_string(ws_, row_, c, captions[c], f_.ColumnHeading));
        ++row_;
    }

    // One block per room: its name, its lines, and for the customer its 小计
    // as the sum of the lines' amounts. A room without items has no block.
    void Lines() {
        const std::vector<PrintLineMark> marks = MarkPrintLines(q_.Rows);
        const std::size_t n = q_.Rows.size();
        for (std::size_t begin = 0; begin < n;) {
            std::size_t end = begin + 1;
            while (end < n && q_.Rows[end].ItemName == q_.Rows[begin].ItemName) ++end;
            if (marks[begin].GroupShown) {
                Merged(row_++, 0, last_, q_.Rows[begin].ItemName, f_.Room);
                const lxw_row_t first = row_;
                std::int64_t cents = 0;
                for (std::size_t i = begin; i < end; ++i)
                    if (marks[i].Shown) cents += Line(q_.Rows[i], marks[i].Number);
                if (!crew_) Subtotal(first, row_ - 1, cents);
            }
            begin = end;
        }
    }

    // Writes one line; answers its amount in cents.
    std::int64_t Line(const PrintRow& r, int number) {
        const int lines = std::max({LinesIn(Name, r.DataName), LinesIn(Memo, r.DataMemo), LinesIn(Unit, r.DataUnit)});
        if (lines > 1) Check(worksheet_set_row(ws_, row_, 3 + kLinePoints * lines, nullptr));
        Check(worksheet_write_number(ws_, row_, Index, number, f_.LineIndex));
        Check(worksheet_write_string(ws_, row_, Name, r.DataName.c_str(), f_.LineText));
        Check(worksheet_write_string(ws_, row_, Memo, r.DataMemo.c_str(), f_.LineText));
        const double count = NumberOf(r.DataCount);
        Check(worksheet_write_number(ws_, row_, Count, count, f_.LineCount));
        Check(worksheet_write_string(ws_, row_, Unit, r.DataUnit.c_str(), f_.LineCentred));
        std::int64_t cents = 0;
        if (!crew_) {
            const double price = NumberOf(r.DataPrice);
            Check(worksheet_write_number(ws_, row_, Price, price, f_.LineMoney));
            // As the printout: the price times the quantity, to the cent.
            cents = AmountCents(price * count).value_or(0);
            const std::string formula = "=ROUND(" + Cell(Count, row_) + "*" + Cell(Price, row_) + ",2)";
            Check(worksheet_write_formula_num(ws_, row_, Amount, formula.c_str(), f_.LineMoney, CentsValue(cents)));
        }
        ++row_;
        return cents;
    }

    void Subtotal(lxw_row_t first, lxw_row_t last, std::int64_t cents) {
        Check(worksheet_write_blank(ws_, row_, Index, f_.GreyCaption));
        Merged(row_, Name, Price, kSubtotalCaption, f_.GreyCaption);
        const std::string formula = "=SUM(" + Cell(Amount, first) + ":" + Cell(Amount, last) + ")";
        Check(worksheet_write_formula_num(ws_, row_, Amount, formula.c_str(), f_.GreyMoney, CentsValue(cents)));
        ++row_;
        total_ += cents;
    }

    // 管理费 or 税金: the rate as shown beside the amount it gives, when the
    // window's figure is that rate of what it is taken on (工程总价, less the
    // 优惠 when there is one); otherwise (a figure kept from an earlier total)
    // the window's figure as it stands.
    std::int64_t Charge(const char* caption, double percent, const std::string& shown, const std::string& base,
                        std::int64_t discount) {
        const std::int64_t cents = TextCents(shown);
        const double rate = RateOfPercent(percent);
        Merged(row_, 0, Unit, caption, f_.GreyCaption);
        const double baseValue = discount == 0 ? CentsValue(total_) : CentsValue(total_ - discount);
        if (AmountCents(baseValue * rate) == cents) {
            Check(worksheet_write_number(ws_, row_, Price, rate, f_.GreyRate));
            const std::string formula = "=ROUND(" + base + "*" + Cell(Price, row_) + ",2)";
            Check(worksheet_write_formula_num(ws_, row_, Amount, formula.c_str(), f_.GreyMoney, CentsValue(cents)));
        } else {
            Check(worksheet_write_blank(ws_, row_, Price, f_.GreyRate));
            Check(worksheet_write_number(ws_, row_, Amount, CentsValue(cents), f_.GreyMoney));
        }
        ++row_;
        return cents;
    }

    // 优惠, taken off: a percentage beside the amount it gives, or the amount.
    std::int64_t Discount(lxw_row_t totalRow) {
        const PrintTotals& t = q_.Totals;
        const std::int64_t cents = -TextCents(t.Discount);
        Merged(row_, 0, Unit, t.DiscountCaption, f_.GreyCaption);
        if (t.Terms.Discount == DiscountKind::Percent) {
            const double rate = RateOfPercent(t.Terms.DiscountValue);
            Check(worksheet_write_number(ws_, row_, Price, rate, f_.GreyRate));
            const std::string formula = "=-ROUND(" + Cell(Amount, totalRow) + "*" + Cell(Price, row_) + ",2)";
            Check(worksheet_write_formula_num(ws_, row_, Amount, formula.c_str(), f_.GreyMoney, CentsValue(-cents)));
        } else {
            Check(worksheet_write_blank(ws_, row_, Price, f_.GreyRate));
            Check(worksheet_write_number(ws_, row_, Amount, CentsValue(-cents), f_.GreyMoney));
        }
        ++row_;
        return cents;
    }

    void Totals() {
        // 工程总价: the sum of the rooms' 小计, found by their caption, so the
        // formula stays short however many rooms there are.
        const lxw_row_t totalRow = row_;
        Merged(row_, 0, Price, "工程总价：", f_.GreyCaption);
        const std::string firstLine = std::to_string(linesTop_ + 1), lastLine = std::to_string(row_);
        const std::string total = "=SUMIF(B" + firstLine + ":B" + lastLine + ",\"" + kSubtotalCaption + "\",G" +
                                  firstLine + ":G" + lastLine + ")";
        Check(worksheet_write_formula_num(ws_, row_++, Amount, total.c_str(), f_.GreyMoney, CentsValue(total_)));
        std::string base = Cell(Amount, totalRow);
        std::string lines = "=" + base;
        std::int64_t discount = 0;
        if (q_.Totals.HasDiscount()) {
            const std::string discountCell = Cell(Amount, row_);
            discount = Discount(totalRow);
            base = "(" + base + "+" + discountCell + ")";
            lines += "+" + discountCell;
        }
        const ChargeTerms& terms = q_.Totals.Terms;
        lines += "+" + Cell(Amount, row_);
        const std::int64_t fee = Charge("管理费：", terms.OverheadPercent, q_.Totals.Overhead, base, discount);
        lines += "+" + Cell(Amount, row_);
        const std::int64_t tax = Charge("税金：", terms.TaxPercent, q_.Totals.Tax, base, discount);
        const std::int64_t sum = total_ - discount + fee + tax;
        Merged(row_, 0, Price, "合计：", f_.GreyCaption);
        const std::string& formula = lines;
        Check(worksheet_write_formula_num(ws_, row_++, Amount, formula.c_str(), f_.GreyMoney, CentsValue(sum)));
        Check(worksheet_set_row(ws_, row_, 20, nullptr));
        Merged(row_++, 0, last_, "合计人民币（大写）：" + CapitalAmount(sum), f_.Capitals);
        if (!q_.Remark.empty()) {
            // A merged box does not grow to its text by itself: as tall as its lines.
            const std::string remark = "备注：" + q_.Remark;
            double width = 0;
            for (lxw_col_t c = 0; c <= last_; ++c) width += Width(c);
            Check(worksheet_set_row(ws_, row_, 4 + kLinePoints * LinesOf(remark, width - 2), nullptr));
            Merged(row_++, 0, last_, remark, f_.Remark);
        }
    }

    void Signatures() {
        ++row_;
        Check(worksheet_set_row(ws_, row_, 30, nullptr));
        Merged(row_, Index, Name, crew_ ? "施工负责人签字：" : "客户签字：", f_.Plain);
        Merged(row_, Memo, Memo, "设计师签字：", f_.Plain);
        Merged(row_, Count, last_, "日期：", f_.Plain);
    }

    const QuotationWorkbook& q_;
    const bool crew_;
    const lxw_col_t last_;
    Formats f_;
    lxw_worksheet* ws_ = nullptr;
    lxw_row_t row_ = 0;
    lxw_row_t linesTop_ = 0;
    std::int64_t total_ = 0;
    bool ok_ = true;
};

// A name beside `path` that no other file has, for writing before the rename.
std::filesystem::path PartialName(const std::filesystem::path& path) {
    std::random_device random;
    const auto tag = std::to_string(random() % 1000000);
    return path.parent_path() / ("." + path.filename().string() + "." + tag + ".part");
}

} // namespace

bool WriteQuotationWorkbook(const std::string& path, const QuotationWorkbook& workbook) {
    namespace fs = std::filesystem;
    const fs::path target(path); // UTF-8, the file system's own encoding here
    const fs::path partial = PartialName(target);
    lxw_workbook* wb = workbook_new(partial.string().c_str());
    if (!wb) return false;
    const std::string title =
        workbook.Heading.Customer + (workbook.Version == PrintVersion::Crew ? "施工单" : "报价单");
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.c_str());
    properties.company = const_cast<char*>(workbook.Heading.Company.c_str());
    workbook_set_properties(wb, &properties);
    const bool laidOut = SheetWriter(wb, workbook).Write();
    const bool written = workbook_close(wb) == LXW_NO_ERROR; // frees the workbook in any case
    std::error_code error;
    if (laidOut && written) {
        fs::rename(partial, target, error);
        if (!error) return true;
    }
    fs::remove(partial, error);
    return false;
}

} // namespace lty
