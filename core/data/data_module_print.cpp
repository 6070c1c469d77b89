// Print rows: the scratch table TMP_Print that the quotation report prints from.
#include "core/data/data_module.h"
#include "core/db/sql_text.h"
#include "core/text/number_text.h"

#include <cctype>

namespace lty {
namespace {

constexpr const char* kPrintSelect =
    "select ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum from TMP_Print";

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// Digits with an optional minus sign and decimal part, e.g. 12.50 or -3:
// such a cell text goes into the statement as it stands.
bool IsPlainDecimal(std::string_view s) {
    if (!s.empty() && s.front() == '-') s.remove_prefix(1);
    const auto point = s.find('.');
    if (point == std::string_view::npos) return AllDigits(s);
    return AllDigits(s.substr(0, point)) && AllDigits(s.substr(point + 1));
}

// A grid cell's number text as a number literal. A cell that holds no number
// (empty, letters, two points) prints as 0 rather than losing its line.
std::string PrintNumber(std::string_view text) {
    const std::string t = Trim(text);
    double v = 0;
    if (!TryStrToFloat(t, v)) return "0";
    if (IsPlainDecimal(t)) return t;
    return SqlNumber(v);
}

} // namespace

bool TDM::RunPrintStatement(const std::string& sql) {
    // Once a batch has failed (or could not begin its transaction) nothing
    // more of it is sent: the batch answers false and TMP_Print stays as it was.
    if (printBatch_ && !printBatchOk_) return false;
    // Rows changed outside a preparation are read from the table again.
    if (!printBatch_) preparedPrintRows_.reset();
    const bool ok = RunStatement(sql);
    if (!ok && printBatch_) printBatchOk_ = false;
    return ok;
}

bool TDM::ClearPrintData() { return RunPrintStatement("delete from TMP_Print"); }

bool TDM::InsertPrintRow(const std::string& itemName, const std::string& dataName, const std::string& price,
                         const std::string& count, const std::string& unit, const std::string& memo,
                         const std::string& index, const std::string& sum) {
    return RunPrintStatement(PrintRowStatement(itemName, dataName, price, count, unit, memo, index, sum));
}

std::string TDM::PrintRowStatement(const std::string& itemName, const std::string& dataName, const std::string& price,
                                   const std::string& count, const std::string& unit, const std::string& memo,
                                   const std::string& index, const std::string& sum) {
    std::string sql;
    sql.reserve(160 + itemName.size() + dataName.size() + unit.size() + memo.size());
    sql.append(
        "insert into TMP_Print(ItemName,DataName,DataPrice,DataCount,DataUnit,DataMemo,DataIndex,Datasum)values(");
    sql.append(SqlText(itemName)).append(",");
    sql.append(SqlText(dataName)).append(",");
    sql.append(PrintNumber(price)).append(",");
    sql.append(PrintNumber(count)).append(",");
    sql.append(SqlText(unit)).append(",");
    sql.append(SqlText(memo)).append(",");
    sql.append(PrintNumber(index)).append(",");
    sql.append(PrintNumber(sum)).append(")");
    return sql;
}

bool TDM::InsertPrintRow(const PrintRowTexts& r) {
    return InsertPrintRow(r.ItemName, r.DataName, r.DataPrice, r.DataCount, r.DataUnit, r.DataMemo, r.DataIndex,
                          r.Datasum);
}

bool TDM::BeginPrintRows() {
    if (printBatch_) return false;
    printBatch_ = true;
    printBatchOk_ = true;
    printBatchOwnsTx_ = false;
    preparedPrintRows_.reset();
    if (ADOMain.InTransaction()) return true; // already inside the caller's transaction
    try {
        ADOMain.BeginTrans();
        printBatchOwnsTx_ = true;
    } catch (const std::exception&) {
        // Busy or closed: rows written one by one could be cut off half way,
        // so none are written at all.
        printBatchOk_ = false;
    }
    return printBatchOwnsTx_;
}

bool TDM::EndPrintRows() {
    if (!printBatch_) return false;
    printBatch_ = false;
    // The rows are read back inside the transaction that wrote them: once it
    // ends, another program on the same database (a second copy on the same
    // file, a colleague on the server) may replace them with its own before
    // this program's report reads them.
    if (printBatchOk_) {
        try {
            preparedPrintRows_ = ADOMain.Run(kPrintSelect);
        } catch (const std::exception&) {
            printBatchOk_ = false;
        }
    }
    if (!printBatchOwnsTx_) {
        if (!printBatchOk_) preparedPrintRows_.reset();
        return printBatchOk_;
    }
    printBatchOwnsTx_ = false;
    try {
        if (printBatchOk_) {
            ADOMain.CommitTrans();
            return true;
        }
    } catch (const std::exception&) {
        // A failed commit is rolled back below.
    }
    preparedPrintRows_.reset();
    try {
        ADOMain.RollbackTrans();
    } catch (const std::exception&) {
        // The engine rolls an unfinished transaction back when the file is next opened.
    }
    return false;
}

bool TDM::ReplacePrintData(const std::vector<PrintRowTexts>& rows) {
    if (printBatch_) return false;
    BeginPrintRows();
    if (printBatchOk_) {
        // All the statements go to the engine together: one round trip to a
        // server for hundreds of rows instead of one each. The trace hook sees
        // each of them as before.
        std::vector<std::string> statements;
        statements.reserve(rows.size() + 1);
        statements.emplace_back("delete from TMP_Print");
        for (const auto& r : rows)
            statements.push_back(PrintRowStatement(r.ItemName, r.DataName, r.DataPrice, r.DataCount, r.DataUnit,
                                                   r.DataMemo, r.DataIndex, r.Datasum));
        Qry_Main.Close();
        try {
            ADOMain.RunBatch(statements);
        } catch (const std::exception&) {
            printBatchOk_ = false;
        }
    }
    return EndPrintRows();
}

void TDM::OpenPrintData(TADOQuery& query) {
    query.Close();
    if (preparedPrintRows_) {
        query.OpenRows(kPrintSelect, *preparedPrintRows_);
        return;
    }
    query.SetSQL(kPrintSelect);
    query.Open();
}

} // namespace lty
