#include "core/data/database_check.h"
#include "core/text/ascii_case.h"

#include "core/db/engine_sqlite.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <vector>

namespace lty {
namespace {

struct Table {
    const char* Name;
    const char* Columns; // comma-separated, as the statements name them
};

// Every column some statement names, so no statement can fail later for a
// column the file lacks. Item_Provider and Item_Date are named by nothing
// the program sends any longer, and are not asked for.
const Table kTables[] = {
    {"tblProject", nullptr}, // IntID and ProjectColumnList()
    {"TBLITEM", "ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID"},
    {"TBLPRODUCT", "Product_ID,ProductPrice,ProductUnit,ProductSpec,ProductClass"},
    {"TBLCLASS", "CLASSNAME"},
    {"TBLUNIT", "UnitNAME"},
    {"TBLDESIGNER", "ID,DESNAME,DESTEL,DESADDRESS"},
    {"TBLCOMPANYINFO", "COM_NAME,COM_ADDRESS,COM_TEL1,COM_TEL2,COM_PERSON"},
    {"TBLPASSWORD", "PSNAME"},
    {"TMP_Print", "ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum"},
};

bool Contains(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return EqualsNoCase(n, name); });
}

std::vector<std::string_view> Split(std::string_view list) {
    std::vector<std::string_view> out;
    while (!list.empty()) {
        const auto comma = list.find(',');
        out.push_back(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return out;
}

void AddLine(std::string& out, const std::string& line) {
    if (!out.empty()) out += '\n';
    out += line;
}

// The one check for the live connection and for a copy alike.
template <class Database>
std::string Check(Database& db) {
    std::string problems;
    try {
        // The quick check reads every page once; a damaged file is reported
        // on its own, since its schema cannot be trusted either.
        if (db.QuickCheck() != "ok") return "数据库文件已损坏";
        const std::vector<std::string> tables = db.TableNames();
        for (const Table& t : kTables) {
            if (!Contains(tables, t.Name)) {
                AddLine(problems, std::string("缺少数据表 ") + t.Name);
                continue;
            }
            const std::vector<std::string> columns = db.ColumnNames(t.Name);
            std::string missing;
            std::vector<std::string_view> wanted = Split(t.Columns ? std::string_view(t.Columns) : std::string_view(ProjectColumnList()));
            if (!t.Columns) wanted.insert(wanted.begin(), "IntID");
            for (const std::string_view c : wanted) {
                if (Contains(columns, c)) continue;
                if (!missing.empty()) missing += "、";
                missing += c;
            }
            if (!missing.empty()) AddLine(problems, std::string("数据表 ") + t.Name + " 缺少列 " + missing);
        }
    } catch (const std::exception&) {
        // The engine could not even read what it holds.
        return "数据库文件已损坏";
    }
    return problems;
}

} // namespace

std::string CheckDatabaseFile(TADOConnection& connection) { return Check(connection); }

std::string CheckDatabaseCopy(const std::string& path) {
    std::string problems;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        problems = "找不到文件 " + path;
    } else {
        try {
            SqliteEngine copy(path, SqliteEngine::Access::ReadOnly);
            problems = Check(copy);
        } catch (const std::exception&) {
            // Not even its first page reads as a database.
            problems = "数据库文件已损坏";
        }
    }
    return problems.empty() ? problems : std::string(kCopyRefused) + "\n" + problems;
}

void RequireDatabaseCopy(const std::string& path) {
    if (std::string refusal = CheckDatabaseCopy(path); !refusal.empty()) throw EngineError(refusal);
}

} // namespace lty
