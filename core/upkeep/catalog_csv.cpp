#include "core/upkeep/catalog_csv.h"

#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "core/text/measure_names.h"
#include "core/text/number_text.h"

#include <csv.h>
#include <iconv.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <unordered_map>

namespace lty {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kColumns = 9;
constexpr std::size_t kIdColumns = 8;  // files of earlier versions: no measure column
constexpr std::size_t kOldColumns = 7; // and earlier still: no id column either
constexpr std::size_t kIdColumn = 7;
constexpr std::size_t kMeasureColumn = 8;
constexpr int kItemLevel = 3;

using Plan = CatalogImportPlan;

// The current catalog, levels 1 to 3, with the price rows: two selects.
void ReadCatalog(TDM& dm, Plan& plan) {
    plan.Nodes.clear();
    std::unordered_map<std::int64_t, std::size_t> priceRow;
    std::vector<Plan::Node> prices;
    if (!dm.RunSelect(dm.Qry_Main,
                      "select Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductClass from TBLPRODUCT"))
        throw EngineError("Cannot perform this operation on a closed dataset");
    for (; !dm.Qry_Main.Eof(); dm.Qry_Main.Next()) {
        Plan::Node p;
        p.Price = dm.Qry_Main.Fields(1).AsFloat();
        p.Unit = dm.Qry_Main.Fields(2).AsString();
        p.Spec = dm.Qry_Main.Fields(3).AsString();
        p.Grade = dm.Qry_Main.Fields(4).AsString();
        priceRow.emplace(dm.Qry_Main.Fields(0).AsInteger(), prices.size());
        prices.push_back(std::move(p));
    }
    std::unordered_map<std::int64_t, Measure> measures;
    // A database not yet given the measures' table reads as one without measures.
    if (dm.RunSelect(dm.Qry_Main, "select Product_ID,intMeasure from TBLPRODUCTMEASURE"))
        for (; !dm.Qry_Main.Eof(); dm.Qry_Main.Next())
            measures.emplace(dm.Qry_Main.Fields(0).AsInteger(), MeasureFromNumber(dm.Qry_Main.Fields(1).AsInteger()));
    if (!dm.RunSelect(dm.Qry_Main, "select ITEM_ID,ITEM_NAME,Parent_ID from TBLITEM order by ITEM_ID"))
        throw EngineError("Cannot perform this operation on a closed dataset");
    struct Row {
        std::int64_t Id, Parent;
        std::string Name;
    };
    std::multimap<std::int64_t, std::size_t> byParent; // keeps ITEM_ID order within a parent
    std::vector<Row> rows;
    for (; !dm.Qry_Main.Eof(); dm.Qry_Main.Next()) {
        rows.push_back(
            {dm.Qry_Main.Fields(0).AsInteger(), dm.Qry_Main.Fields(2).AsInteger(), dm.Qry_Main.Fields(1).AsString()});
        byParent.emplace(rows.back().Parent, rows.size() - 1);
    }
    // Walk from the root in the tree's own order (depth first, siblings by
    // id), so unreachable rows stay out and the file reads like the tree.
    struct Pending {
        std::size_t Row;
        int Parent, Level;
    };
    std::vector<Pending> stack;
    const auto pushChildren = [&](std::int64_t id, int parent, int level) {
        if (level > kItemLevel) return;
        const auto [first, last] = byParent.equal_range(id);
        const std::size_t mark = stack.size();
        for (auto it = first; it != last; ++it)
            if (rows[it->second].Id != 0) stack.push_back({it->second, parent, level});
        std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
    };
    pushChildren(0, -1, 1);
    while (!stack.empty()) {
        const Pending at = stack.back();
        stack.pop_back();
        const Row& r = rows[at.Row];
        Plan::Node n;
        n.Name = r.Name;
        n.Id = r.Id;
        n.Parent = at.Parent;
        n.Level = at.Level;
        if (const auto p = priceRow.find(r.Id); p != priceRow.end()) {
            const Plan::Node& pr = prices[p->second];
            n.HasPriceRow = true;
            n.Price = pr.Price;
            n.Unit = pr.Unit;
            n.Spec = pr.Spec;
            n.Grade = pr.Grade;
        }
        if (const auto m = measures.find(r.Id); m != measures.end()) n.Follows = m->second;
        plan.Nodes.push_back(std::move(n));
        pushChildren(r.Id, static_cast<int>(plan.Nodes.size() - 1), at.Level + 1);
    }
}

std::string CsvField(const std::string& text) {
    std::string out(text.size() * 2 + 2, '\0');
    out.resize(csv_write(out.data(), out.size(), text.data(), text.size()));
    return out;
}

void AppendLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && c < 0xC2)) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Spreadsheets on Chinese Windows save "CSV" in the GBK family: a file that
// is not UTF-8 is read as GB18030, its superset. False when it is not that
// either (a cut sequence, a byte no such text holds, or NUL characters).
bool Gb18030ToUtf8(std::string_view in, std::string& out) {
    const iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.assign(in.size() * 2 + 4, '\0'); // a GB18030 character never grows by more than half
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || srcLeft != 0) return false;
    out.resize(out.size() - dstLeft);
    return out.find('\0') == std::string::npos;
}

// The file's text as UTF-8. A byte order mark says UTF-8 for certain, and
// bytes that are not are then reported by line; without one, text that is
// not UTF-8 is read as GBK.
bool DecodeCsv(std::string_view bytes, std::string& text, bool& readAsGbk) {
    readAsGbk = false;
    if (bytes.substr(0, kBom.size()) == kBom || ValidUtf8(bytes)) {
        text.assign(bytes);
        return true;
    }
    readAsGbk = true;
    return Gb18030ToUtf8(bytes, text);
}

// The length of the first line with its end: CR LF, LF, or a lone CR as
// older spreadsheet programs write.
std::size_t LineLength(std::string_view text) {
    const auto end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) return text.size();
    return end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
}

struct Record {
    int Line = 0;
    std::vector<std::string> Fields;
};

struct Reader {
    std::vector<Record> Records;
    std::vector<std::string> Fields;
    int Line = 0;
    int RecordStart = 0;

    static void Field(void* data, std::size_t len, void* self) {
        static_cast<Reader*>(self)->Fields.emplace_back(static_cast<const char*>(data), data ? len : 0);
    }
    static void End(int, void* self) {
        auto* r = static_cast<Reader*>(self);
        r->Records.push_back({r->RecordStart ? r->RecordStart : r->Line, std::move(r->Fields)});
        r->Fields.clear();
        r->RecordStart = 0;
    }
};

// Splits the text into records, each with the line it starts on.
bool ReadRecords(std::string_view text, std::vector<Record>& records, CsvProblem& problem) {
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        problem = {1, "内存不足"};
        return false;
    }
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> guard(&parser, csv_free);
    Reader reader;
    // Fed one line at a time, so a parse error names its line.
    while (!text.empty()) {
        const std::string_view line = text.substr(0, LineLength(text));
        text.remove_prefix(line.size());
        ++reader.Line;
        if (reader.RecordStart == 0 && !Trim(line).empty()) reader.RecordStart = reader.Line;
        if (csv_parse(&parser, line.data(), line.size(), Reader::Field, Reader::End, &reader) != line.size()) {
            // Named by the line its record begins on: an open quote swallows the lines after it.
            problem = {reader.RecordStart ? reader.RecordStart : reader.Line, "引号不配对"};
            return false;
        }
    }
    if (csv_fini(&parser, Reader::Field, Reader::End, &reader) != 0) {
        problem = {reader.RecordStart ? reader.RecordStart : reader.Line, "引号不配对"};
        return false;
    }
    records = std::move(reader.Records);
    return true;
}

} // namespace

const std::vector<std::string>& CatalogCsvHeadings() {
    static const std::vector<std::string> h{"一级分类", "二级分类",           "项目", "单位", "单价",
                                            "级别",     "工艺做法及材料说明", "编号", "计量"};
    return h;
}

std::string CatalogToCsv(TDM& dm) {
    Plan plan;
    ReadCatalog(dm, plan);
    std::vector<int> childCount(plan.Nodes.size(), 0);
    for (const auto& n : plan.Nodes)
        if (n.Parent >= 0) ++childCount[static_cast<std::size_t>(n.Parent)];
    std::string out(kBom);
    AppendLine(out, CatalogCsvHeadings());
    std::string level1, level2;
    for (std::size_t i = 0; i < plan.Nodes.size(); ++i) {
        const auto& n = plan.Nodes[i];
        if (n.Level == 1) level1 = n.Name;
        if (n.Level == 2) level2 = n.Name;
        const std::string id = IntToStr(n.Id);
        if (n.Level == kItemLevel)
            AppendLine(out, {level1, level2, n.Name, n.Unit, FloatToStr(n.Price), n.Grade, n.Spec, id,
                             std::string(MeasureName(n.Follows))});
        else if (childCount[i] == 0)
            AppendLine(out, {level1, n.Level == 2 ? level2 : std::string(), "", "", "", "", "", id, ""});
    }
    return out;
}

namespace {

// Texts that differ only in surrounding blanks or in the kind of line break
// (a spreadsheet saves a cell's breaks as LF) are the same text.
std::string Comparable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return Trim(out);
}

// Finds the catalog entries a file's lines name. Entries are matched by
// their names along the path; a line's id (the file's last column) picks the
// very entry when it stands at that path, which tells equal-named siblings
// apart, and a line whose id is unknown here (a file of another database,
// or one read after a reset) takes the first equal-named sibling that no
// other id took, so equal names stay apart there too.
class Matcher {
public:
    explicit Matcher(Plan& plan) : plan_(plan) {
        for (int i = 0; i < static_cast<int>(plan.Nodes.size()); ++i) {
            const auto& n = plan.Nodes[static_cast<std::size_t>(i)];
            siblings_[{n.Parent, Trim(n.Name)}].push_back(i);
            byId_.emplace(n.Id, i);
        }
        claim_.assign(plan.Nodes.size(), 0);
    }

    // The entry at `path` (names one per level, compared trimmed), made
    // with the name as the file spells it when missing.
    int Find(const std::vector<std::string>& path, std::int64_t id) {
        if (const int at = ById(path, id); at >= 0) {
            claim_[static_cast<std::size_t>(at)] = id;
            return at;
        }
        int at = -1;
        for (std::size_t k = 0; k < path.size(); ++k) at = Child(at, path[k], k + 1 == path.size() ? id : 0);
        return at;
    }

private:
    int ById(const std::vector<std::string>& path, std::int64_t id) const {
        const auto it = id ? byId_.find(id) : byId_.end();
        if (it == byId_.end()) return -1;
        int n = it->second;
        if (plan_.Nodes[static_cast<std::size_t>(n)].Level != static_cast<int>(path.size())) return -1;
        for (auto k = path.rbegin(); k != path.rend(); ++k, n = plan_.Nodes[static_cast<std::size_t>(n)].Parent)
            if (Trim(plan_.Nodes[static_cast<std::size_t>(n)].Name) != Trim(*k)) return -1;
        return it->second;
    }

    int Child(int parent, const std::string& name, std::int64_t id) {
        auto& list = siblings_[{parent, Trim(name)}];
        for (const int i : list) {
            auto& claim = claim_[static_cast<std::size_t>(i)];
            if (id == 0 || claim == 0 || claim == id) {
                if (id) claim = id;
                return i;
            }
        }
        Plan::Node n;
        n.Name = name;
        n.Parent = parent;
        n.Level = parent < 0 ? 1 : plan_.Nodes[static_cast<std::size_t>(parent)].Level + 1;
        plan_.Nodes.push_back(std::move(n));
        claim_.push_back(id);
        ++plan_.Adds;
        list.push_back(static_cast<int>(plan_.Nodes.size() - 1));
        return list.back();
    }

    Plan& plan_;
    std::map<std::pair<int, std::string>, std::vector<int>> siblings_; // in catalog order, then file order
    std::unordered_map<std::int64_t, int> byId_;
    std::vector<std::int64_t> claim_; // per entry: the id of the line that took it by name
};

bool IsHeading(const std::vector<std::string>& fields, std::size_t& columns) {
    const auto& h = CatalogCsvHeadings();
    for (const std::size_t n : {kColumns, kIdColumns, kOldColumns})
        if (fields.size() == n && std::equal(fields.begin(), fields.end(), h.begin())) {
            columns = n;
            return true;
        }
    return false;
}

} // namespace

const char* const kUnknownCsvEncoding = "文件编码无法识别，请另存为 CSV UTF-8 后再导入。";

bool PlanCatalogImport(TDM& dm, std::string_view csv, Plan& plan, CsvProblem& problem) {
    std::string text;
    bool gbk = false;
    if (!DecodeCsv(csv, text, gbk)) {
        problem = {0, kUnknownCsvEncoding};
        return false;
    }
    std::vector<Record> records;
    if (!ReadRecords(text, records, problem)) return false;
    ReadCatalog(dm, plan);
    plan.Adds = plan.Changes = 0;
    plan.ReadAsGbk = gbk;
    Matcher matcher(plan);
    std::size_t columns = 0; // as the heading says; without one, 7, 8 or 9
    for (auto& rec : records) {
        if (&rec == &records.front() && IsHeading(rec.Fields, columns)) continue;
        const std::vector<std::string>& raw = rec.Fields;
        std::vector<std::string> f;
        for (const auto& s : raw) f.push_back(Trim(s));
        bool blank = true;
        for (const auto& s : f) blank = blank && s.empty();
        if (blank) continue;
        const auto bad = [&](std::string reason) {
            problem = {rec.Line, std::move(reason)};
            return false;
        };
        const std::size_t want = columns                  ? columns
                                 : f.size() == kColumns   ? kColumns
                                 : f.size() == kIdColumns ? kIdColumns
                                                          : kOldColumns;
        // A line without the measure, added by hand to a file that has the
        // column, leaves its entry's measure as it is.
        const bool withoutMeasure = want == kColumns && f.size() == kIdColumns;
        if (f.size() != want && !withoutMeasure)
            return bad("应为" + std::to_string(want) + "列，实为" + std::to_string(f.size()) + "列");
        for (const auto& s : f)
            if (!ValidUtf8(s)) return bad("文字不是UTF-8编码");
        if (f[0].empty()) return bad("缺少一级分类");
        if (f[1].empty() && !f[2].empty()) return bad("有项目却缺少二级分类");
        if (f[2].empty() && !(f[3].empty() && f[4].empty() && f[5].empty() && f[6].empty()))
            return bad("有单位、单价或说明却缺少项目名称");
        double price = 0;
        if (!f[4].empty() && !TryStrToFloat(f[4], price)) return bad("单价“" + f[4] + "”不是数字");
        if (!f[4].empty() && !NumberTextWithinLimit(f[4]))
            return bad("单价“" + f[4] + "”超出范围" + std::string(kNumberLimitNote));
        std::int64_t id = 0;
        if (f.size() > kIdColumn && !f[kIdColumn].empty()) {
            const std::string& t = f[kIdColumn];
            const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), id);
            if (ec != std::errc() || end != t.data() + t.size() || id <= 0) return bad("编号“" + t + "”不是正整数");
        }

        // A file without the measure column leaves every measure as it is.
        const bool hasMeasure = f.size() > kMeasureColumn;
        Measure measure = Measure::None;
        if (hasMeasure && !MeasureFromName(f[kMeasureColumn], measure))
            return bad("计量“" + f[kMeasureColumn] + "”应为无、地面、墙面、顶面或周长");
        if (hasMeasure && f[2].empty() && measure != Measure::None) return bad("有计量却缺少项目名称");

        std::vector<std::string> path{raw[0]};
        if (!f[1].empty()) path.push_back(raw[1]);
        if (!f[2].empty()) path.push_back(raw[2]);
        const int at = matcher.Find(path, id);
        if (f[2].empty()) continue;
        auto& item = plan.Nodes[static_cast<std::size_t>(at)];
        // Texts are kept as the file holds them. One equal to the stored
        // text up to surrounding blanks and line breaks keeps its stored
        // form, as a price equal in the file's notation does: an unedited
        // file changes nothing.
        const bool samePrice = item.Price == price || FloatToStr(item.Price) == FloatToStr(price);
        const bool sameUnit = Comparable(item.Unit) == Comparable(raw[3]);
        const bool sameGrade = Comparable(item.Grade) == Comparable(raw[5]);
        const bool sameSpec = Comparable(item.Spec) == Comparable(raw[6]);
        const bool sameMeasure = !hasMeasure || item.Follows == measure;
        if (samePrice && sameUnit && sameGrade && sameSpec && sameMeasure) continue;
        if (!sameMeasure) {
            item.Follows = measure;
            item.MeasureChanged = true;
            if (samePrice && sameUnit && sameGrade && sameSpec) {
                if (item.Id != 0 && !item.PriceChanged && !item.CountedMeasure) ++plan.Changes;
                item.CountedMeasure = true;
                continue;
            }
        }
        if (!samePrice) item.Price = price;
        if (!sameUnit) item.Unit = raw[3];
        if (!sameGrade) item.Grade = raw[5];
        if (!sameSpec) item.Spec = raw[6];
        if (item.Id != 0 && !item.PriceChanged && !item.CountedMeasure) ++plan.Changes;
        item.PriceChanged = true;
    }
    return true;
}

bool ApplyCatalogImport(TDM& dm, const Plan& plan) {
    try {
        dm.ADOMain.BeginTrans();
    } catch (const std::exception&) {
        return false;
    }
    // Statements that touch many rows each: on a server every statement is
    // a round trip, and an import into an empty catalog writes thousands of rows.
    std::vector<std::int64_t> ids(plan.Nodes.size(), 0);
    for (std::size_t i = 0; i < plan.Nodes.size(); ++i) ids[i] = plan.Nodes[i].Id;
    bool ok = true;
    try {
        // New catalog rows a level at a time: a row's parent has its id
        // before the row is written.
        constexpr std::size_t kRowsPerInsert = 500;
        for (bool more = true; ok && more;) {
            more = false;
            std::vector<std::size_t> ready;
            for (std::size_t i = 0; i < plan.Nodes.size(); ++i) {
                const auto& n = plan.Nodes[i];
                if (ids[i] != 0) continue;
                if (n.Parent >= 0 && ids[static_cast<std::size_t>(n.Parent)] == 0)
                    more = true;
                else
                    ready.push_back(i);
            }
            if (ready.empty()) break;
            for (std::size_t from = 0; ok && from < ready.size(); from += kRowsPerInsert) {
                const std::size_t to = std::min(ready.size(), from + kRowsPerInsert);
                std::string sql(
                    "insert into TBLITEM(ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) values");
                for (std::size_t k = from; k < to; ++k) {
                    const auto& n = plan.Nodes[ready[k]];
                    const std::int64_t parent = n.Parent < 0 ? 0 : ids[static_cast<std::size_t>(n.Parent)];
                    sql.append(k == from ? "(" : ",(").append(SqlText(n.Name)).append(",'','',").append(SqlInteger(1));
                    sql.append(",").append(SqlInteger(parent)).append(")");
                }
                const std::vector<std::int64_t> got = dm.ADOMain.InsertIds(sql);
                ok = got.size() == to - from;
                for (std::size_t k = from; ok && k < to; ++k) ids[ready[k]] = got[k - from];
            }
        }
        // Then every price row in one batch, each kind of statement together
        // (a server takes a run of like inserts as one copy).
        std::vector<std::string> updates, priced, bare, unmeasured, measured;
        for (std::size_t i = 0; ok && i < plan.Nodes.size(); ++i) {
            const auto& n = plan.Nodes[i];
            const std::string id = SqlInteger(ids[i]);
            if (n.MeasureChanged) {
                unmeasured.push_back("delete from TBLPRODUCTMEASURE where Product_ID=" + id);
                if (n.Follows != Measure::None)
                    measured.push_back("insert into TBLPRODUCTMEASURE(Product_ID,intMeasure) values(" + id + "," +
                                       SqlInteger(static_cast<int>(n.Follows)) + ")");
            }
            if (!(n.Id == 0 || n.PriceChanged)) continue;
            if (n.Id != 0 && n.HasPriceRow)
                updates.push_back("update TBLProduct set ProductPrice=" + SqlNumber(n.Price) +
                                  ",ProductUnit=" + SqlText(n.Unit) + ",ProductSpec=" + SqlText(n.Spec) +
                                  ",ProductClass=" + SqlText(n.Grade) + " where Product_ID=" + id);
            else if (n.PriceChanged)
                priced.push_back(
                    "insert into TBLProduct(Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductCLass)values(" + id +
                    "," + SqlNumber(n.Price) + "," + SqlText(n.Unit) + "," + SqlText(n.Spec) + "," + SqlText(n.Grade) +
                    ")");
            else // every new catalog row gets its price row, categories too
                bare.push_back("insert into TBLPRODUCT(Product_ID)values(" + id + ")");
        }
        std::vector<std::string> prices = std::move(updates);
        prices.insert(prices.end(), priced.begin(), priced.end());
        prices.insert(prices.end(), bare.begin(), bare.end());
        prices.insert(prices.end(), unmeasured.begin(), unmeasured.end());
        prices.insert(prices.end(), measured.begin(), measured.end());
        if (ok && !prices.empty()) dm.ADOMain.RunBatch(prices);
    } catch (const std::exception&) {
        ok = false;
    }
    try {
        if (ok) {
            dm.ADOMain.CommitTrans();
            return true;
        }
    } catch (const std::exception&) {
    }
    try {
        dm.ADOMain.RollbackTrans();
    } catch (const std::exception&) {
    }
    return false;
}

} // namespace lty
