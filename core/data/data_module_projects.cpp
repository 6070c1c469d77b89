// Projects: the project tree, loading a project row, saving one and the delete.
#include "core/data/data_module.h"
#include "core/data/database_check.h"
#include "core/db/sql_text.h"
#include "core/db/transaction.h"
#include "core/text/ascii_case.h"
#include "core/text/date_text.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <unordered_map>

namespace lty {
namespace {

// The 38 data columns in statement order, each with its value form, so the
// select, the insert and the update can never disagree about either.
enum class Form { Text, Date, Number, YesNo };

struct Column {
    const char* Name;
    Form Kind;
    std::string TREC_PROJECT::*Text = nullptr;
    double TREC_PROJECT::*Number = nullptr;
};

const Column kColumns[] = {
    {"charProjectID", Form::Text, &TREC_PROJECT::charProjectID},
    {"charCustomer", Form::Text, &TREC_PROJECT::charCustomer},
    {"charCustomerID", Form::Text, &TREC_PROJECT::charCustomerID},
    {"charCustomerTel", Form::Text, &TREC_PROJECT::charCustomerTel},
    {"charCustomerDemand", Form::Text, &TREC_PROJECT::charCustomerDemand},
    {"charCustomerSource", Form::Text, &TREC_PROJECT::charCustomerSource},
    {"charAddress", Form::Text, &TREC_PROJECT::charAddress},
    {"dateMappingDate", Form::Date, &TREC_PROJECT::dateMappingDate},
    {"numEarnest", Form::Number, nullptr, &TREC_PROJECT::numEarnest},
    {"numHouseAcreage", Form::Number, nullptr, &TREC_PROJECT::numHouseAcreage},
    {"charHouseType", Form::Text, &TREC_PROJECT::charHouseType},
    {"charDesignStyle", Form::Text, &TREC_PROJECT::charDesignStyle},
    {"charShop", Form::Text, &TREC_PROJECT::charShop},
    {"charDesigner", Form::Text, &TREC_PROJECT::charDesigner},
    {"charDesignerTel", Form::Text, &TREC_PROJECT::charDesignerTel},
    {"blnSignContract", Form::YesNo},
    {"charQuotation", Form::Text, &TREC_PROJECT::charQuotation},
    {"charProjectStatus", Form::Text, &TREC_PROJECT::charProjectStatus},
    {"charContractID", Form::Text, &TREC_PROJECT::charContractID},
    {"dateSignDate", Form::Date, &TREC_PROJECT::dateSignDate},
    {"numDiscount", Form::Number, nullptr, &TREC_PROJECT::numDiscount},
    {"numOverheadExp", Form::Number, nullptr, &TREC_PROJECT::numOverheadExp},
    {"numTax", Form::Number, nullptr, &TREC_PROJECT::numTax},
    {"numContractPrice", Form::Number, nullptr, &TREC_PROJECT::numContractPrice},
    {"charWorkLeader", Form::Text, &TREC_PROJECT::charWorkLeader},
    {"charWorkLeaderTel", Form::Text, &TREC_PROJECT::charWorkLeaderTel},
    {"charCustodian", Form::Text, &TREC_PROJECT::charCustodian},
    {"charCustodianTel", Form::Text, &TREC_PROJECT::charCustodianTel},
    {"dateStartDate", Form::Date, &TREC_PROJECT::dateStartDate},
    {"dateEndDate", Form::Date, &TREC_PROJECT::dateEndDate},
    {"dateCheckDate", Form::Date, &TREC_PROJECT::dateCheckDate},
    {"charContractMemo", Form::Text, &TREC_PROJECT::charContractMemo},
    {"dateFirstPayDate", Form::Date, &TREC_PROJECT::dateFirstPayDate},
    {"numFirstPayMoney", Form::Number, nullptr, &TREC_PROJECT::numFirstPayMoney},
    {"dateSecondPayDate", Form::Date, &TREC_PROJECT::dateSecondPayDate},
    {"numSecondPayMoney", Form::Number, nullptr, &TREC_PROJECT::numSecondPayMoney},
    {"dateThirdPayDate", Form::Date, &TREC_PROJECT::dateThirdPayDate},
    {"numThirdPayMoney", Form::Number, nullptr, &TREC_PROJECT::numThirdPayMoney},
};

// The one select of a whole project row, for a row named by its id literal.
std::string ProjectRowSelect(const std::string& idLiteral) {
    return "select IntID," + ProjectColumnList() + " from tblProject where intID=" + idLiteral;
}

void AppendValue(std::string& sql, const TREC_PROJECT& r, const Column& c) {
    switch (c.Kind) {
    case Form::Text:
        sql.append(SqlText(r.*(c.Text)));
        break;
    case Form::Date:
        sql.append(SqlDate(r.*(c.Text)));
        break;
    case Form::Number:
        sql.append(SqlNumber(r.*(c.Number)));
        break;
    case Form::YesNo:
        sql.append(SqlYesNo(r.blnSignContract));
        break;
    }
}

std::size_t TextSize(const TREC_PROJECT& r) {
    std::size_t n = 0;
    for (const auto& c : kColumns)
        if (c.Text) n += (r.*(c.Text)).size();
    return n;
}

std::string InsertStatement(const TREC_PROJECT& r) {
    std::string sql;
    sql.reserve(TextSize(r) + 2048);
    sql.append("insert into tblProject(").append(ProjectColumnList()).append(") values(");
    bool first = true;
    for (const auto& c : kColumns) {
        if (!first) sql.push_back(',');
        first = false;
        AppendValue(sql, r, c);
    }
    sql.push_back(')');
    return sql;
}

std::string UpdateStatement(const TREC_PROJECT& r) {
    std::string sql;
    sql.reserve(TextSize(r) + 2048);
    sql.append("update tblProject set ");
    // Every column but the key charProjectID, which comes first in the list.
    for (std::size_t i = 1; i < std::size(kColumns); ++i) {
        if (i > 1) sql.push_back(',');
        sql.append(kColumns[i].Name).push_back('=');
        AppendValue(sql, r, kColumns[i]);
    }
    sql.append(" where charProjectID=").append(SqlText(r.charProjectID));
    return sql;
}

// The field's short date text; a text that reads as no date is kept as stored.
std::string DateTextOrStored(const TField& f) {
    try {
        return f.AsDateText();
    } catch (const EngineError&) {
        return f.StoredText();
    }
}

// A record filled from the current row of a select of IntID and the 38
// columns, by column name.
void FillProject(const TADOQuery& q, TREC_PROJECT& r) {
    r.SetIntID(static_cast<std::int32_t>(q.FieldByName("IntID").AsInteger()));
    for (const auto& c : kColumns) {
        const TField f = q.FieldByName(c.Name);
        switch (c.Kind) {
        case Form::Text:
            r.*(c.Text) = f.AsString();
            break;
        case Form::Date:
            r.*(c.Text) = DateTextOrStored(f);
            break;
        case Form::Number:
            r.*(c.Number) = f.AsFloat();
            break;
        case Form::YesNo:
            r.SetblnSignContract(f.AsBoolean());
            break;
        }
    }
}

// Now as the stamp keeps it: local time, 'YYYY-MM-DD HH:MM:SS'.
std::string StampTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local));
}

// Who saves: the login name of the user running the program.
std::string StampUser() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"})
        if (const char* v = std::getenv(name); v && *v) return v;
    return {};
}

// "HH:MM" of a stamp's time; "" for a text that is no such time.
std::string StampClock(const std::string& stamp) {
    if (stamp.size() < 16 || stamp[10] != ' ' || stamp[13] != ':') return {};
    for (const int i : {11, 12, 14, 15})
        if (stamp[static_cast<std::size_t>(i)] < '0' || stamp[static_cast<std::size_t>(i)] > '9') return {};
    return stamp.substr(11, 5);
}

} // namespace

const std::string& ProjectColumnList() {
    static const std::string list = [] {
        std::string names;
        for (const auto& c : kColumns) {
            if (!names.empty()) names.push_back(',');
            names.append(c.Name);
        }
        return names;
    }();
    return list;
}

void TDM::LoadProjectTree(TTreeView& tree) {
    tree.Clear();
    {
        TTreeNode& root = tree.Add("装饰工程");
        root.ImageIndex = 1;
        root.SelectedIndex = 1;
    }
    // One select for the whole tree: a round trip per designer is what a
    // server feels most. Projects are grouped by designer as the engine
    // compares names (without regard to case), each group under the first
    // spelling met; a project without a designer sits with those whose
    // designer is empty.
    Qry_Main.Close();
    Qry_Main.SetSQL("select charDesigner,intID,charCustomer,charAddress from tblProject "
                    "order by charDesigner,intID");
    Qry_Main.Open();
    TTreeNode& root = tree.Items.front();
    // Each designer's node by the name folded as the engine compares it; the
    // engines sort a missing designer to different ends.
    std::unordered_map<std::string, std::size_t> nodes;
    for (; !Qry_Main.Eof(); Qry_Main.Next()) {
        const std::string designer = Qry_Main.Fields(0).AsString();
        std::string key = designer;
        for (char& c : key) c = AsciiLower(c);
        const auto [at, isNew] = nodes.try_emplace(std::move(key), root.Children.size());
        if (isNew) {
            TTreeNode& added = root.AddChild(designer);
            added.Data = TTreeData(designer, designer);
            added.ImageIndex = 4;
            added.SelectedIndex = 3;
        }
        TTreeNode* node = &root.Children[at->second];
        std::string name = ProjectCaption(Qry_Main.Fields(2).AsString(), Qry_Main.Fields(3).AsString());
        TTreeNode& project = node->AddChild(name);
        project.Data = TTreeData(Qry_Main.Fields(1).AsString(), std::move(name));
        project.ImageIndex = 2;
        project.SelectedIndex = 0;
    }
    tree.FullExpand();
}

std::unique_ptr<TREC_PROJECT> TDM::LoadProject(const std::string& id) {
    std::string literal;
    if (IdLiteral(id, literal)) {
        RunSelect(Qry_Main, ProjectRowSelect(literal));
    } else {
        // An id that is no number cannot name a row; it fails as a refused select does.
        Qry_Main.Close();
    }
    if (Qry_Main.RecordCount() == 0) return nullptr;

    auto r = std::make_unique<TREC_PROJECT>();
    FillProject(Qry_Main, *r);
    LoadProjectRates(*r);
    LoadRooms(*r);
    return r;
}

bool TDM::StoreProject(TREC_PROJECT& record, int saveMode, const TREC_PROJECT* loaded) {
    otherVersionWanted_ = false;
    if (record.charCustomer.empty()) {
        messages_.Show("请输入客户名称！");
        return false;
    }
    if (record.charProjectID.empty()) {
        messages_.Show("请输入工程编号！");
        return false;
    }
    const std::string today = TodayText();
    for (std::string* d :
         {&record.dateMappingDate, &record.dateSignDate, &record.dateStartDate, &record.dateEndDate,
          &record.dateCheckDate, &record.dateFirstPayDate, &record.dateSecondPayDate, &record.dateThirdPayDate})
        if (d->empty()) *d = today;

    if (saveMode != SaveModeInsert && saveMode != SaveModeUpdate) return false;

    // Built before anything is sent: a number that is no number (NAN, INF)
    // raises the conversion error here, and nothing is written.
    const std::string write = saveMode == SaveModeInsert ? InsertStatement(record) : UpdateStatement(record);
    const std::string rateValues = ProjectRateValues(record.Rates);

    // Which rows hold this project number decides whether the save may go
    // ahead: the update statement finds its row by the number alone. The
    // check, the comparison with what the window loaded and the write share
    // one transaction that holds the write lock from the start, so another
    // program on the same database cannot store the same number, or save
    // this project, between them.
    enum class Outcome {
        Failed,
        Taken,
        NotOwnRow,
        Deleted,
        ChangedByOther,
        Written,
        Unknown
    } outcome = Outcome::Failed;
    std::int64_t newId = 0;
    std::string question; // the overwrite question, read with the stored row
    {
        Transaction tx(ADOMain);
        std::string check("select IntID from tblProject where charProjectID=");
        check.append(SqlText(record.charProjectID));
        if (tx.Began() && RunSelect(Qry_Main, check)) {
            const int holders = Qry_Main.RecordCount();
            if (saveMode == SaveModeInsert && holders > 0)
                outcome = Outcome::Taken;
            else if (saveMode == SaveModeUpdate && (holders != 1 || Qry_Main.Fields(0).AsInteger() != record.IntID))
                outcome = ProjectRowGone(record.IntID) ? Outcome::Deleted : Outcome::NotOwnRow;
            else if (const RowVersion version = saveMode == SaveModeUpdate && loaded
                                                    ? CompareStoredRow(record, *loaded, write)
                                                    : RowVersion::Same;
                     version != RowVersion::Same) {
                outcome = version == RowVersion::Changed ? Outcome::ChangedByOther : Outcome::Failed;
                if (outcome == Outcome::ChangedByOther) question = OverwriteQuestion(record.IntID);
            } else if (RunStatement(write)) {
                newId = ADOMain.LastInsertId();
                // A row deleted by another program since the check is not saved.
                if (saveMode == SaveModeUpdate && ADOMain.Changes() != 1) {
                    outcome = Outcome::NotOwnRow;
                } else if (!StoreProjectRates(record.Rates, saveMode == SaveModeInsert ? newId : record.IntID,
                                              rateValues)) {
                    outcome = Outcome::Failed; // rolled back with the row
                } else if (!StoreRooms(saveMode == SaveModeInsert ? newId : record.IntID, record, loaded)) {
                    outcome = Outcome::Failed; // the measured rooms go with the row, or neither
                } else if (SaveAlongside && !SaveAlongside(saveMode == SaveModeInsert ? static_cast<std::int32_t>(newId)
                                                                                      : record.IntID)) {
                    outcome = Outcome::Failed; // what goes with the row was refused: neither is stored
                } else if (!StampProject(saveMode == SaveModeInsert ? newId : record.IntID)) {
                    outcome = Outcome::Failed; // as the rates: the save is one whole
                } else {
                    if (tx.Commit()) {
                        outcome = Outcome::Written;
                    } else {
                        lastError_ = tx.Error();
                        if (tx.OutcomeUnknown()) outcome = Outcome::Unknown;
                    }
                }
            }
        } else if (!tx.Began()) {
            lastError_ = tx.Error();
        }
    } // the lock is given up before any message waits for the user

    switch (outcome) {
    case Outcome::Failed:
        return StoreRefused();
    case Outcome::Taken:
        messages_.Show("工程编号已存在，请使用其他编号！");
        return false;
    case Outcome::NotOwnRow:
        messages_.Show("工程编号已被修改或与其他工程重复，未能保存！");
        return false;
    case Outcome::Deleted:
        // 否 keeps the window's project unsaved; 是 gives it a row of its own again.
        if (!messages_.Ask("该工程已被删除，是否另存为新工程？", "询问")) return false;
        return StoreProject(record, SaveModeInsert, nullptr);
    case Outcome::ChangedByOther:
        // 否 keeps the other program's version and the window stays unsaved;
        // 载入对方版本 asks the window to show the stored one instead.
        switch (messages_.Choose(question, "询问", {"是", "否", "载入对方版本"})) {
        case 0:
            record.Rates.Stored = true; // the other program may have given it a rate row
            return StoreProject(record, saveMode, nullptr);
        case 2:
            otherVersionWanted_ = true;
            return false;
        default:
            return false;
        }
    case Outcome::Unknown:
        // The commit went out and its answer was lost with the connection:
        // the row may be stored. Only what the database now holds can say.
        switch (StoredAsSent(saveMode == SaveModeInsert ? newId : record.IntID, write, saveMode == SaveModeInsert)) {
        case RowVersion::Same:
            if (saveMode == SaveModeInsert) record.SetIntID(static_cast<std::int32_t>(newId));
            record.Rates.Stored = !record.Rates.IsDefault();
            messages_.Show("工程已保存（连接中断后已确认）");
            return true;
        case RowVersion::Changed:
            return StoreRefused();
        case RowVersion::Unreadable:
            messages_.Show("与数据库的连接已中断，无法确认工程是否已保存！请稍后重新打开该工程查看。\n" + lastError_);
            return false;
        }
        return false;
    case Outcome::Written:
        break;
    }
    record.Rates.Stored = !record.Rates.IsDefault();
    if (saveMode == SaveModeInsert) {
        record.SetIntID(static_cast<std::int32_t>(newId));
        messages_.Show("新加工程成功！");
    } else {
        messages_.Show("修改工程成功！");
    }
    return true;
}

TDM::RowVersion TDM::CompareStoredRow(const TREC_PROJECT& record, const TREC_PROJECT& loaded,
                                      const std::string& write) {
    const std::string sql = ProjectRowSelect(SqlInteger(record.IntID));
    if (!RunSelect(Qry_Main, sql)) return RowVersion::Unreadable;
    if (Qry_Main.RecordCount() != 1) return RowVersion::Changed;
    TREC_PROJECT stored;
    FillProject(Qry_Main, stored);
    // Compared in statement form: what a save writes is all that can differ,
    // and a number is the same when it is written the same.
    const std::string now = UpdateStatement(stored);
    // Another program that saved exactly this window's version is no conflict.
    return now == UpdateStatement(loaded) || now == write ? RowVersion::Same : RowVersion::Changed;
}

TDM::RowVersion TDM::StoredAsSent(std::int64_t id, const std::string& write, bool insert) {
    const std::string sql = ProjectRowSelect(SqlInteger(id));
    // The engine connects again on the way; a server that is restarting
    // gets a few seconds before the answer is "cannot tell".
    for (int attempt = 1; !RunSelect(Qry_Main, sql); ++attempt) {
        if (attempt == 6) return RowVersion::Unreadable;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    if (Qry_Main.RecordCount() != 1) return RowVersion::Changed;
    TREC_PROJECT stored;
    FillProject(Qry_Main, stored);
    return (insert ? InsertStatement(stored) : UpdateStatement(stored)) == write ? RowVersion::Same
                                                                                 : RowVersion::Changed;
}

bool TDM::ProjectRowGone(std::int32_t id) {
    if (id <= 0) return false; // a project that never had a row was not deleted
    return RunSelect(Qry_Main, "select IntID from tblProject where intID=" + SqlInteger(id)) &&
           Qry_Main.RecordCount() == 0;
}

bool TDM::StampProject(std::int64_t id) {
    // One statement, whether the project has a stamp yet or not.
    return RunStatement("insert into TBLPROJECTSTAMP(IntID,dateModified,charModifiedBy) values(" + SqlInteger(id) +
                        "," + SqlText(StampTime()) + "," + SqlText(StampUser()) +
                        ") on conflict(IntID) do update set dateModified=excluded.dateModified,"
                        "charModifiedBy=excluded.charModifiedBy");
}

std::string TDM::OverwriteQuestion(std::int32_t id) {
    std::string clock;
    TADOQuery stamp(ADOMain);
    if (RunSelect(stamp, "select dateModified from TBLPROJECTSTAMP where IntID=" + SqlInteger(id)) &&
        stamp.RecordCount() > 0)
        clock = StampClock(stamp.Fields(0).AsString());
    if (clock.empty()) return "该工程已被其他用户修改。是否覆盖对方的修改？";
    return "该工程已被其他用户于 " + clock + " 修改。是否覆盖对方的修改？";
}

bool TDM::StoreRefused() {
    // Saying nothing here would let the user close the window believing the
    // project is safe.
    messages_.Show("保存工程失败，数据未保存！\n" + lastError_);
    return false;
}

bool TDM::DeleteProject(const std::string& id) {
    std::string literal;
    if (!IdLiteral(id, literal)) return false;
    Transaction tx(ADOMain);
    if (!tx.Began()) return false;
    // What the added tables keep of the project goes with it, all or nothing.
    for (const char* sql : {"delete from tblProject where IntID=", "delete from TBLPROJECTRATE where IntID=",
                            "delete from TBLPROJECTROOMS where IntID=", "delete from TBLPROJECTSTAMP where IntID=",
                            "delete from TBLPROJECTVERSION where ProjectIntID="})
        if (!RunStatement(sql + literal)) return false; // the transaction rolls back
    return tx.Commit();
}

} // namespace lty
