// The data module: owns the one connection and every database operation.
// Each operation assembles its statement from literal pieces and values
// spliced through the helpers of sql_text.h and runs it through RunSelect or
// RunStatement.
#pragma once

#include "core/data/engine.h"
#include "core/messages/user_messages.h"

#include <string>

namespace lty {

class TDM {
public:
    // Creation runs DataModuleCreate, which connects to the database file
    // `programDirectory` + "Data/LTY.db". `programDirectory` ends in a separator.
    TDM(UserMessages& messages, std::string programDirectory);
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    void DataModuleCreate();
    // Opens the database; on failure shows "连接数据库失败，请检查数据库文件！"
    // and answers false. The program goes on without a connection.
    bool ConnectDatabase();
    bool Connected() const { return ADOMain.Connected(); }
    std::string DatabasePath() const;

    // Close, set the statement, open. False on any engine error, nothing shown;
    // the query is then closed and holds no rows.
    bool RunSelect(TADOQuery& query, const std::string& sql);
    // The same on Qry_Main, executing instead of opening.
    bool RunStatement(const std::string& sql);

    UserMessages& Messages() { return messages_; }

    TADOConnection ADOMain;
    TADOQuery Qry_Main{ADOMain};
    TADOQuery Qry_tmp{ADOMain};
    TADOQuery adoDes{ADOMain};

private:
    UserMessages& messages_;
    std::string programDirectory_;
};

} // namespace lty
