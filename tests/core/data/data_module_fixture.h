// A data module on a fresh copy of the shipped database, with every statement
// it sends collected, and a second, raw connection to the same database for
// looking at the tables and for breaking them on purpose. On the server
// engine (LTY_TEST_ENGINE=pg) the raw connection is the database owner's.
#pragma once

#include "core/data/data_module.h"
#include "core/data/pg_connection.h"
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
        if (dir.Server()) {
            try {
                PgConnection(dir.Server()->AdminConninfo()).Exec(sql);
            } catch (const std::exception& e) {
                FAIL() << sql << ": " << e.what();
            }
            return;
        }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.DatabasePath().c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        const std::string msg = err ? err : "";
        sqlite3_free(err);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << sql << ": " << msg;
    }
    // The first column of every row, as text ("" for NULL). Numbers read as
    // the file engine writes them as text (80.0, 0.5), on both engines.
    std::vector<std::string> RawColumn(const std::string& sql) {
        std::vector<std::string> out;
        if (dir.Server()) {
            try {
                PgConnection pg(dir.Server()->AdminConninfo());
                pg.Exec("SET extra_float_digits = 0");
                const auto floats = pg.Query("select pg_typeof(x)::text from (" + sql + ") as t(x) limit 1");
                const bool isFloat = !floats.empty() && floats[0][0] == std::string("double precision");
                for (const auto& row : pg.Query(sql)) {
                    std::string v = row.at(0).value_or("");
                    if (isFloat && row.at(0) && v.find_first_of(".eEn") == std::string::npos) v += ".0";
                    out.push_back(std::move(v));
                }
            } catch (const std::exception& e) {
                ADD_FAILURE() << sql << ": " << e.what();
            }
            return out;
        }
        sqlite3* db = nullptr;
        sqlite3_open(dir.DatabasePath().c_str(), &db);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            out.emplace_back(t ? t : "");
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return out;
    }
    std::string RawText(const std::string& sql) {
        const auto c = RawColumn(sql);
        return c.empty() ? std::string("<no row>") : c.front();
    }
    int RawCount(const std::string& table) { return std::stoi(RawText("select count(*) from " + table)); }
    // A table that refuses one kind of statement, as a damaged file or a
    // locked table would.
    void RefuseOn(const std::string& table, const std::string& action) {
        const std::string name = "refuse_" + action + "_" + table;
        if (dir.Server()) {
            Raw("create function " + name +
                "() returns trigger language plpgsql as $$ begin raise exception "
                "'refused'; end $$; create trigger " +
                name + " before " + action + " on " + table + " for each row execute function " + name + "()");
            return;
        }
        Raw("create trigger " + name + " before " + action + " on " + table +
            " begin select raise(abort, 'refused'); end");
    }
    void StopRefusing(const std::string& table, const std::string& action) {
        const std::string name = "refuse_" + action + "_" + table;
        Raw(dir.Server() ? "drop trigger " + name + " on " + table : "drop trigger " + name);
    }
};

} // namespace lty::test
