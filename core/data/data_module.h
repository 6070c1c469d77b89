// The data module: owns the one connection and every database operation.
// Each operation assembles its statement from literal pieces and values
// spliced through the helpers of sql_text.h and runs it through RunSelect or
// RunStatement.
#pragma once

#include "core/data/password_hash.h"
#include "core/data/records.h"
#include "core/data/tree_nodes.h"
#include "core/db/engine.h"
#include "core/messages/user_messages.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lty {

// The save mode a project window saves with: a new window inserts, a window
// opened from the project tree (or whose insert succeeded) updates.
enum ProjectSaveMode : int { SaveModeInsert = 0, SaveModeUpdate = 1 };

class TDM {
public:
    // Creation runs DataModuleCreate, which connects to the database file
    // `programDirectory` + "Data/LTY.db". `programDirectory` ends in a separator.
    TDM(UserMessages& messages, std::string programDirectory);
    // A data module on the server that `serverConninfo` names, whatever
    // Data/server.conf says: 系统管理's own, logged in as the administrator.
    TDM(UserMessages& messages, std::string programDirectory, std::string serverConninfo);
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    void DataModuleCreate();
    // Opens the database and checks its tables, columns and pages; on failure
    // shows one message and answers false: "连接数据库失败，请检查数据库文件！"
    // followed by the file that was looked for, by one line per fault of a
    // database that opens, or by the reason Data/server.conf cannot be used;
    // for a server that does not answer "无法连接数据库服务器 host:port，请检查
    // 服务器是否已启动、网络是否连通。", for one that refuses the login a
    // message saying so, each with the server's own reason below. The program
    // goes on without a connection. Without Data/server.conf the database is
    // the file Data/LTY.db; with it, the server that file names.
    bool ConnectDatabase();
    bool Connected() const { return ADOMain.Connected(); }
    std::string DatabasePath() const;
    const std::string& ProgramDirectory() const { return programDirectory_; }
    // The status bar's first panel: "数据库：本机", "数据库：服务器 host/db",
    // or "数据库：未连接" when the connection failed.
    std::string DatabaseLocationText() const;

    // Close, set the statement, open. False on any engine error, nothing shown;
    // the query is then closed and holds no rows.
    bool RunSelect(TADOQuery& query, const std::string& sql);
    // The same on Qry_Main, executing instead of opening.
    bool RunStatement(const std::string& sql);
    // The engine's message of the last statement RunSelect or RunStatement
    // saw refused; empty while none was.
    const std::string& LastError() const { return lastError_; }

    UserMessages& Messages() { return messages_; }

    // ---- projects ------------------------------------------------------
    // Rebuilds `tree` as the project tree: root "装饰工程", designers in text
    // order, each designer's projects oldest first, everything expanded.
    // Catches nothing: a refused select raises and leaves the tree as far as
    // it was built.
    void LoadProjectTree(TTreeView& tree);
    // The row whose IntID is `id`, or none. A refused select raises
    // "Cannot perform this operation on a closed dataset". A date column that
    // holds no readable date (only a hand-edited file can) keeps its stored
    // text, so the project still opens and the window can say so.
    std::unique_ptr<TREC_PROJECT> LoadProject(const std::string& id);
    // Validates and writes `record` as `saveMode` says, showing the outcome.
    // Empty dates in the record become today's date. An insert is refused
    // when the project number is taken; on success the record gets the new
    // row's IntID. An update is sent only when exactly one row holds the
    // project number and that row is the record's own (IntID). The check and
    // the write share one write transaction, so two copies of the program
    // cannot both store a number. A number field that is NAN or INF raises
    // ConvertError before anything is sent. A statement the database refuses
    // (disk full, read-only file, busy) shows "保存工程失败，数据未保存！" and
    // the engine's reason. When the connection is lost after the commit was
    // sent, the row is read again: holding what was sent, the save shows
    // "工程已保存（连接中断后已确认）" and counts as done. Answers true when a
    // row was written.
    //
    // With several programs on one database: `loaded` is the project as this
    // window last loaded or saved it. When the stored row no longer matches
    // it (another program saved in between), the update asks "该工程已被其他
    // 用户修改。是否覆盖对方的修改？"; 否 writes nothing and answers false. The
    // comparison and the update share that transaction. Without `loaded` no
    // such check is made.
    //
    // Every save writes the project's stamp (TBLPROJECTSTAMP: local time and
    // the user's login name) in the same transaction, and the question names
    // the time of the other program's save: "该工程已被其他用户于 HH:MM 修改。
    // 是否覆盖对方的修改？" (without a stamp, as above). Its answers are 是, 否
    // and 载入对方版本; the last writes nothing, answers false and leaves
    // OtherVersionWanted true for the window to show the stored project.
    bool StoreProject(TREC_PROJECT& record, int saveMode, const TREC_PROJECT* loaded = nullptr);
    // Whether the last StoreProject ended with the answer 载入对方版本.
    bool OtherVersionWanted() const { return otherVersionWanted_; }
    // "delete from tblProject where IntID=" + id, then the project's rows in
    // TBLPROJECTRATE, TBLPROJECTROOMS, TBLPROJECTSTAMP (its stamp) and TBLPROJECTVERSION,
    // in one transaction; false for an id that is not a number (nothing is sent).
    bool DeleteProject(const std::string& id);

    // ---- versions of a signed quotation (data_module_versions.cpp) ------
    // Version 0 is the quotation as signed, 1, 2, ... its change orders.
    struct ProjectVersion {
        std::int32_t ID = 0;
        std::int32_t ProjectIntID = 0;
        int Version = 0;
        std::string DateCreated; // "2024-5-6 14:03"
        double Total = 0;        // the printed sum of that version
        std::string Snapshot;    // everything it takes to print it again
    };
    // The project's versions, oldest first, their snapshots only when asked
    // for; empty when it has none or the select was refused.
    std::vector<ProjectVersion> LoadProjectVersions(std::int32_t projectId, bool withSnapshots = false);
    // One version with its snapshot; none when there is no such version or
    // the select was refused.
    std::optional<ProjectVersion> LoadProjectVersion(std::int32_t projectId, int version);
    // Stores `version` for its project, refused (false, LastError says why)
    // unless it is the project's next version: another program that stored
    // one meanwhile is not overwritten. Meant to run inside a save's
    // transaction (see SaveAlongside).
    bool InsertProjectVersion(const ProjectVersion& version);
    // Set by a caller of StoreProject to write more in the same transaction:
    // run after the project's row is written, with its IntID; false rolls the
    // whole save back. Left as set: the caller clears it.
    std::function<bool(std::int32_t projectId)> SaveAlongside;

    // ---- what the searches read beside the trees (data_module_search.cpp) --
    // Each project's number and customer telephone by its IntID, in one
    // select; empty when the select was refused.
    struct ProjectSearchFields {
        std::string ProjectID;
        std::string CustomerTel;
    };
    std::unordered_map<std::string, ProjectSearchFields> LoadProjectSearchFields();
    // Each catalog entry's price and unit by its id (Product_ID), in one
    // select; empty when the select was refused.
    struct CatalogPrice {
        double Price = 0;
        std::string Unit;
    };
    std::unordered_map<std::string, CatalogPrice> LoadCatalogPrices();

    // ---- catalog -------------------------------------------------------
    // Rebuilds `tree` as the catalog: root "施工项目" and below it every row
    // reachable from Parent_ID 0, siblings in ITEM_ID order. Nothing expanded.
    void LoadCatalogTree(TTreeView& tree);
    // Adds the rows whose Parent_ID is `parentId` below `parent`, each with
    // its whole subtree, every row at most once; true when at least one row
    // was found. One select of the whole table, no recursion.
    bool LoadItemChildren(TTreeNode& parent, const std::string& parentId, TTreeView& tree);
    // The price row of an item. An empty id, or an item without a price row,
    // answers the defaults. A refused select raises.
    TItemData GetProduct(const std::string& itemId, const std::string& itemName);
    // Updates the item's price row, or inserts one when it has none.
    bool SaveProduct(const TItemData& item);
    // Insert (record ID = parent id) and update (record ID = the row's id) of
    // a catalog row; each shows "保存成功！" or "保存失败！" and answers the outcome.
    // An update that matched no row counts as failed.
    bool InsertItem(const TITEMREC& record);
    bool UpdateItem(const TITEMREC& record);
    // Gives the newest catalog row an empty price row; false when the insert
    // failed (also when that row already has one).
    bool AddProductForNewestItem();
    bool DeleteItem(const std::string& itemId);
    bool DeleteProduct(const std::string& itemId);
    // Deletes a catalog row together with its price row, whatever its level,
    // in one transaction. Refused (false, nothing deleted) while rows hang
    // below it, for an id that is no number, or when either delete fails.
    bool DeleteCatalogEntry(const std::string& itemId);
    // Fill a combo with the grade or unit names, first selected and pick-only;
    // false (and the combo empty) when the select was refused.
    bool FillClassNames(TNameList& combo);
    bool FillUnitNames(TNameList& combo);
    // The standing remark printed under every quotation (CATALOGExtrainfo of
    // ITEM_ID 1); empty when that row is missing. Fills and answers `text`.
    std::string GetQuotationRemark(std::string& text);

    // The editable texts of one catalog row, as the maintenance window shows them.
    struct CatalogEntry {
        std::string ItemName;
        std::string Remark1;
        std::string Remark2;
        std::string ItemType;
    };
    // Reads the row `itemId` into `entry`; false (and `entry` untouched) when
    // no row has that id. A refused select raises.
    bool GetCatalogEntry(const std::string& itemId, CatalogEntry& entry);

    // ---- the firm's rates (data_module_rates.cpp) -----------------------
    // The firm's 管理费率 and 税率 in percent; the defaults (8, 3.41) for a
    // setting that is missing, unreadable or outside 0 to 100, and for both
    // when the select is refused.
    TFirmRates LoadFirmRates();
    // Writes both settings in one transaction; false (nothing changed) for a
    // rate outside 0 to 100 or a refused statement.
    bool SaveFirmRates(const TFirmRates& rates);

    // ---- company, designers, password, reset ---------------------------
    // The first company row; every field empty when there is none. A refused
    // select raises.
    TCompanyInfo LoadCompanyInfo();
    // Writes every company row, or inserts the row when there is none; false
    // for no record or a refused statement.
    bool UpdateCompanyInfo(const TCompanyInfo* info);
    // Row count = designers + 1, every row 18 high, rows 1.. get id, name,
    // telephone and address; row 0 stays the caller's. A refused select raises.
    void FillDesignerGrid(TDesignerGrid& grid);
    bool InsertDesigner(const TDes& designer);
    // False, with nothing sent, for an id that is empty or not a number.
    bool DeleteDesigner(const std::string& id);
    // The distinct designer names, first selected; an empty list empties the text.
    void FillDesignerNames(TNameList& combo);
    // Empties TBLITEM, TBLPRODUCT, tblProject and TMP_Print, with the projects'
    // rates, rooms, stamps and versions, the entries' measures and the
    // templates, in one transaction: all or none.
    bool ClearAllData();
    // Whether `entered` (already trimmed) is the stored password: a salted
    // hash, or clear text of an older version compared with its surrounding
    // blanks removed. False when the select is refused or the table is empty.
    bool CheckPassword(const std::string& entered);
    // The same check, telling a wrong entry from a stored hash this program
    // did not write (Damaged), which no entry can match.
    PasswordVerdict VerifyPassword(const std::string& entered);
    // Stores `newPassword` as a salted hash in every row, or in a new row
    // when there is none.
    bool UpdatePassword(const std::string& newPassword);

    // ---- print rows ----------------------------------------------------
    // The eight texts of one TMP_Print row.
    struct PrintRowTexts {
        std::string ItemName;
        std::string DataName;
        std::string DataPrice;
        std::string DataCount;
        std::string DataUnit;
        std::string DataMemo;
        std::string DataIndex;
        std::string Datasum;
    };
    bool ClearPrintData();
    // One TMP_Print row. A price, count, index or sum that is not a number
    // travels as 0, so the row is never lost.
    bool InsertPrintRow(const std::string& itemName, const std::string& dataName, const std::string& price,
                        const std::string& count, const std::string& unit, const std::string& memo,
                        const std::string& index, const std::string& sum);
    bool InsertPrintRow(const PrintRowTexts& row);
    // The rows of one preparation go in one transaction: BeginPrintRows, then
    // ClearPrintData and the InsertPrintRow calls, then EndPrintRows, which
    // commits and answers whether every statement in between succeeded. After
    // a failure, or when the transaction could not begin, nothing more is
    // sent and EndPrintRows rolls back: TMP_Print stays as it was.
    bool BeginPrintRows();
    bool EndPrintRows();
    // ClearPrintData and every row, in one transaction; rows read back in this order.
    bool ReplacePrintData(const std::vector<PrintRowTexts>& rows);
    // Opens the report's own query on the print rows; raises when refused.
    // After a preparation that succeeded these are the rows as it read them
    // back before its commit: this program's own, whatever another program
    // on the same database has prepared since.
    void OpenPrintData(TADOQuery& query);

    // ---- copies, templates, repricing (data_module_templates.cpp) -------
    // Every priced catalog entry: id, name, unit and price, in one select;
    // empty when the select was refused. A price left empty reads as 0.
    struct CatalogPriceRow {
        std::string Id;
        std::string Name;
        std::string Unit;
        double Price = 0;
    };
    std::vector<CatalogPriceRow> LoadCatalogPriceRows();

    // A quotation kept under a name for new projects.
    struct TemplateInfo {
        std::int64_t ID = 0;
        std::string Name;
        std::string DateCreated;
    };
    struct ProjectTemplate {
        std::string Name;
        std::string Quotation;
        std::string Rooms;
    };
    // Every template, by name; empty when the select was refused.
    std::vector<TemplateInfo> LoadTemplates();
    std::optional<ProjectTemplate> LoadTemplate(std::int64_t id);
    // Keeps `quotation` (and `rooms`) as the template `name` (blanks around
    // it dropped), dated today. An empty name is refused with "模板名称不能
    // 为空！"; a name a template has already (letter case aside) asks
    // "已有名为「…」的模板，是否替换？" and 否 writes nothing. Shows the
    // outcome; true when the template is stored.
    bool SaveTemplate(const std::string& name, const std::string& quotation, const std::string& rooms);
    bool DeleteTemplate(std::int64_t id);

    // ---- measured rooms and catalog measures (data_module_rooms.cpp) ------
    // The measure (0..4) a catalog entry's quantity follows; 0 without a row,
    // for an id that is no number, or when the select is refused.
    int GetProductMeasure(const std::string& itemId);
    // Stores it (a row only for a measure other than 0).
    bool SaveProductMeasure(const std::string& itemId, int measure);

    TADOConnection ADOMain;
    TADOQuery Qry_Main{ADOMain};
    TADOQuery Qry_tmp{ADOMain};
    TADOQuery adoDes{ADOMain};

private:
    // An id text taken from a node or a cell as a bare integer literal; false
    // for a text that is no integer, so no statement carries it.
    static bool IdLiteral(std::string_view idText, std::string& literal);
    bool RunPrintStatement(const std::string& sql);
    static std::string PrintRowStatement(const std::string& itemName, const std::string& dataName,
                                         const std::string& price, const std::string& count, const std::string& unit,
                                         const std::string& memo, const std::string& index, const std::string& sum);
    // Whether the stored row of `record` still is `loaded` (or already what
    // `write` would store); inside StoreProject's transaction.
    enum class RowVersion { Same, Changed, Unreadable };
    RowVersion CompareStoredRow(const TREC_PROJECT& record, const TREC_PROJECT& loaded, const std::string& write);
    // After a commit whose answer was lost: whether the row `id` now holds
    // exactly what `write` (an insert or update of it) sent; Unreadable when
    // the database cannot be reached again within a few seconds.
    RowVersion StoredAsSent(std::int64_t id, const std::string& write, bool insert);

    // Whether no row holds the id any more (deleted since the window was
    // opened or saved); inside StoreProject's transaction.
    bool ProjectRowGone(std::int32_t id);
    // The project's TBLPROJECTRATE row into record.Rates; none (or a refused
    // select) leaves the defaults.
    void LoadProjectRates(TREC_PROJECT& record);
    // The values after the IntID of the rate row's insert, ready to splice;
    // empty when the rates are the firm's without discount. Raises
    // ConvertError for a figure that is no number, before anything is sent.
    static std::string ProjectRateValues(const TREC_PROJECTRATE& rates);
    // Inside the save transaction: replaces the project's rate row, removes
    // it when no longer needed, and sends nothing for a project that never
    // had one and needs none.
    bool StoreProjectRates(const TREC_PROJECTRATE& rates, std::int64_t id, const std::string& values);
    // The stamp of a save of project `id`, inside StoreProject's transaction;
    // false when refused, and then the save is rolled back with it (a server
    // has already aborted the transaction, so both engines behave alike).
    bool StampProject(std::int64_t id);
    // The overwrite question, with the time of the stored stamp when there is one.
    std::string OverwriteQuestion(std::int32_t id);
    bool StoreRefused();
    // The rooms of a project row: read with it, and written inside the
    // project's save transaction (nothing sent for a project that has and had none).
    void LoadRooms(TREC_PROJECT& record);
    bool StoreRooms(std::int64_t id, const TREC_PROJECT& record, const TREC_PROJECT* loaded);

    UserMessages& messages_;
    std::string programDirectory_;
    std::optional<std::string> serverConninfo_; // instead of Data/server.conf
    std::string lastError_;
    bool otherVersionWanted_ = false;
    bool printBatch_ = false;       // inside BeginPrintRows .. EndPrintRows
    bool printBatchOwnsTx_ = false; // the batch began the transaction itself
    bool printBatchOk_ = true;
    // The rows of the last preparation, read back inside its transaction.
    std::optional<TADOConnection::Result> preparedPrintRows_;
};

} // namespace lty
