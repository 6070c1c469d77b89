// The real main window over a fresh copy of the shipped database, shown on
// the offscreen platform, with every message box answered by the script.
#pragma once

#include "core/data/data_module.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"
#include "ui/app/globals.h"
#include "ui/app/main_window.h"
#include "ui/quotation/project_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

namespace lty::test {

class MainWindowTest : public ::testing::Test {
protected:
    TempProgramDir dir;
    ScriptedMessages messages;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TFrmMain> frm;

    void SetUp() override {
        SetMessages(&messages);
        ProjectWindowMode = 0;
        dm = std::make_unique<TDM>(messages, dir.Dir());
        ASSERT_TRUE(dm->Connected());
        DM = dm.get();
        frm = std::make_unique<TFrmMain>();
        FrmMain = frm.get();
        frm->show();
    }
    void TearDown() override {
        frm.reset();
        FrmMain = nullptr;
        DM = nullptr;
        dm.reset();
        SetMessages(nullptr);
    }

    // Runs the deferred deletes of closed windows.
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The first node, depth first, whose text is `text`.
    static QTreeWidgetItem* Node(QTreeWidget* tree, const QString& text) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->text(0) == text) return *it;
        return nullptr;
    }
    static QStringList Children(QTreeWidgetItem* node) {
        QStringList out;
        for (int i = 0; node && i < node->childCount(); ++i) out << node->child(i)->text(0);
        return out;
    }
    // Selects the node as a click does, then double-clicks through the handler.
    void OpenFromTree(const QString& text) {
        QTreeWidgetItem* n = Node(frm->TreeView1, text);
        ASSERT_NE(n, nullptr) << text.toStdString();
        frm->TreeView1->setCurrentItem(n);
        frm->TreeView1DblClick();
    }
    // Key by key, as typed; characters beyond ASCII arrive as an input
    // method delivers them, with a key code Qt does not know.
    static void TypeText(QWidget* w, const QString& text) {
        for (QChar c : text) {
            if (c == QLatin1Char('\n'))
                QTest::keyClick(w, Qt::Key_Return);
            else if (c.unicode() < 0x80)
                QTest::keyClick(w, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // Gives `w` the keyboard focus as a click would, its window becoming the
    // active one, so the box that had the focus sees it leave.
    static void Focus(QWidget* w) {
        w->window()->activateWindow();
        QApplication::setActiveWindow(w->window());
        w->setFocus(Qt::MouseFocusReason);
    }
    TFrmProject_Detail* Active() const { return frm->ActiveProjectWindow(); }

    QStringList WindowMenuCaptions() const {
        QStringList out;
        for (QAction* a : frm->WindowMenuEntries) out << a->text();
        return out;
    }
    QStringList CheckedEntries() const {
        QStringList out;
        for (QAction* a : frm->WindowMenuEntries)
            if (a->isChecked()) out << a->text();
        return out;
    }

    // A statement on a connection of the test's own, outside the program.
    void Raw(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir.DatabasePath().c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        const std::string msg = err ? err : "";
        sqlite3_free(err);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << sql << ": " << msg;
    }
    std::string RawText(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open(dir.DatabasePath().c_str(), &db);
        sqlite3_stmt* st = nullptr;
        std::string out = "<no row>";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            out = t ? t : "";
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return out;
    }
    int ProjectRows() { return std::stoi(RawText("select count(*) from tblProject")); }
};

} // namespace lty::test
