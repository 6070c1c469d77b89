// The data a busy firm's database holds, built for the benchmarks: a large
// catalog, thousands of projects, a long quotation.
#pragma once

#include "core/data/data_module.h"
#include "core/db/sql_text.h"

#include <stdexcept>
#include <string>

namespace lty::bench {

// prefix + n + suffix, built by appending (GCC 12 misreads the operator+ chain).
inline std::string Numbered(const char* prefix, int n, const char* suffix = "") {
    std::string s(prefix);
    s.append(std::to_string(n)).append(suffix);
    return s;
}

inline void Must(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(what);
}

// A catalog of `categories` x 10 sub-categories x 10 priced items in place of
// the starter one: 100 categories give 11,100 entries below the root.
inline void FillCatalog(TDM& dm, int categories) {
    dm.ADOMain.BeginTrans();
    Must(dm.RunStatement("delete from TBLITEM"), "clear catalog");
    Must(dm.RunStatement("delete from TBLProduct"), "clear prices");
    int id = 0;
    auto add = [&](const std::string& name, int parent) {
        ++id;
        std::string sql("insert into TBLITEM(ITEM_ID,ITEM_NAME,CATALOGExtrainfo,CatalogExtrainfo2,Item_Type,Parent_ID) "
                        "values(");
        sql.append(SqlInteger(id)).append(",").append(SqlText(name));
        sql.append(",'','',1,").append(SqlInteger(parent)).append(")");
        Must(dm.RunStatement(sql), "insert item");
        return id;
    };
    for (int c = 0; c < categories; ++c) {
        const int cat = add(Numbered("分类", c), 0);
        for (int s = 0; s < 10; ++s) {
            const int sub = add(Numbered("子类", s), cat);
            for (int i = 0; i < 10; ++i) add(Numbered("项目", i), sub);
        }
    }
    dm.ADOMain.CommitTrans();
}

// `projects` projects spread over `designers` designers.
inline void FillProjects(TDM& dm, int projects, int designers) {
    dm.ADOMain.BeginTrans();
    for (int p = 0; p < projects; ++p) {
        std::string sql("insert into tblProject(charProjectID,charCustomer,charAddress,charDesigner) values(");
        sql.append(SqlText(Numbered("P", p))).append(",");
        sql.append(SqlText(Numbered("客户", p))).append(",");
        sql.append(SqlText(Numbered("文三路", p, "号"))).append(",");
        sql.append(SqlText(Numbered("设计师", p % designers))).append(")");
        Must(dm.RunStatement(sql), "insert project");
    }
    dm.ADOMain.CommitTrans();
}

// A quotation text of `rows` body rows: sections of nine items each.
inline std::string QuotationText(int rows) {
    std::string kinds;
    std::string fields;
    for (int r = 0; r < rows; ++r) {
        if (r % 10 == 0) {
            kinds.push_back('1');
            fields.append(Numbered("@卧室", r / 10, "@@@@1234.50@"));
        } else {
            kinds.push_back('0');
            fields.append("@墙面乳胶漆@18@30@平米@540.00@两遍底漆两遍面漆，滚涂均匀，阴阳角顺直");
        }
    }
    return kinds + fields;
}

} // namespace lty::bench
