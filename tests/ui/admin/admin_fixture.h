// The management windows on a fresh database, with the scripted message
// seam and the password dialog answered by a timer while it runs modally.
#pragma once

#include "core/data/data_module.h"
#include "core/data/records.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"
#include "tests/ui/admin/password_answers.h"
#include "ui/admin/admin_commands.h"
#include "ui/admin/password_dialog.h"
#include "ui/common/globals.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace lty::test {

class AdminTest : public ::testing::Test {
protected:
    TempProgramDir dir;
    ScriptedMessages messages;
    std::unique_ptr<TDM> dm;
    int projectTreeBuilds = 0;
    int catalogTreeBuilds = 0;
    AdminHooks hooks{[this] { ++projectTreeBuilds; }, [this] { ++catalogTreeBuilds; }, {}, {}};

    void SetUp() override {
        SetMessages(&messages);
        dm = std::make_unique<TDM>(messages, dir.Dir());
        ASSERT_TRUE(dm->Connected());
        DM = dm.get();
        CompanyInfo() = dm->LoadCompanyInfo();
    }
    void TearDown() override {
        ReleaseAdminWindows();
        DM = nullptr;
        SetMessages(nullptr);
    }

    // The entries to type into the password dialog, one per showing of
    // Enter; an empty optional cancels. Runs once the dialog is modal.
    static void AnswerPassword(std::vector<std::optional<QString>> entries) {
        test::AnswerPassword(std::move(entries));
    }

    // One value of the first row, as text ("" for NULL, "<no row>" for none).
    std::string One(const std::string& sql) {
        const auto r = dm->ADOMain.Run(sql);
        if (r.Rows.empty()) return "<no row>";
        const Value v = r.Rows.front().front();
        TField f(&v, ColumnKind::Any);
        return f.AsString();
    }
    int Count(const std::string& tableAndCondition) {
        return std::stoi(One("select count(*) from " + tableAndCondition));
    }
    // On a connection of its own, past the program's guard against schema changes.
    void Raw(const std::string& sql) {
        const std::string error = RawExec(dir.DatabasePath(), sql);
        ASSERT_TRUE(error.empty()) << sql << ": " << error;
    }
    static QTreeWidgetItem* Node(QTreeWidget* tree, const QString& text) {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
};

} // namespace lty::test
