// A data module on a fresh copy of the shipped database, with every statement
// it sends collected, and a second, raw connection to the same database for
// looking at the tables and for breaking them on purpose. On the server
// engine (LTY_TEST_ENGINE=pg) the raw connection is the database owner's.
#pragma once

#include "core/data/data_module.h"
#include "core/db/pg_connection.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

namespace lty::test {

class DataModuleTest : public ::testing::Test {
protected:
    TempProgramDir dir;
    ScriptedMessages messages;
    TDM dm{messages, dir.Dir()};
    std::vector<std::string> trace;

    void SetUp() override {
        ASSERT_TRUE(dm.Connected());
        dm.ADOMain.SetTraceHook([this](const std::string& s) { trace.push_back(s); });
    }

    // Runs on a connection of its own: no trace entry, no authorizer.
    void Raw(const std::string& sql) {
        const std::string error = RawExec(dir.DatabasePath(), sql);
        ASSERT_TRUE(error.empty()) << sql << ": " << error;
    }
    // The first column of every row, as text ("" for NULL).
    std::vector<std::string> RawColumn(const std::string& sql) { return test::RawColumn(dir.DatabasePath(), sql); }
    std::string RawText(const std::string& sql) {
        const auto c = RawColumn(sql);
        return c.empty() ? std::string("<no row>") : c.front();
    }
    int RawCount(const std::string& table) { return std::stoi(RawText("select count(*) from " + table)); }
    // A table that refuses one kind of statement, as a damaged file or a
    // locked table would.
    // The refusal carries `message` as the engine's reason.
    void RefuseOn(const std::string& table, const std::string& action, const std::string& message = "refused") {
        Raw(RefuseSql(dir.DatabasePath(), "refuse_" + action + "_" + table, table, action, message));
    }
    void StopRefusing(const std::string& table, const std::string& action) {
        Raw(StopRefusingSql(dir.DatabasePath(), "refuse_" + action + "_" + table, table));
    }
};

} // namespace lty::test
