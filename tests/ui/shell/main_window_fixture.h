// The real main window over a fresh copy of the shipped database, shown on
// the offscreen platform, with every message box answered by the script.
#pragma once

#include "controls/grid/text_grid.h"
#include "core/data/data_module.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"
#include "ui/common/globals.h"
#include "ui/shell/main_window.h"
#include "ui/quotation/project_window.h"
#include "ui/quotation/quotation_page.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

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
    // A blank project window, as "新建装饰工程" and the blank project make it.
    TFrmProject_Detail* NewBlank() {
        frm->ActNewProject->trigger();
        EXPECT_TRUE(frm->OpenProjectWindow(0));
        return Active();
    }

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
    void Raw(const std::string& sql) { ASSERT_EQ(RawExec(dir.DatabasePath(), sql), "") << sql; }
    std::string RawText(const std::string& sql) {
        const auto c = RawColumn(dir.DatabasePath(), sql);
        return c.empty() ? std::string("<no row>") : c.front();
    }
    int ProjectRows() { return std::stoi(RawText("select count(*) from tblProject")); }
};

} // namespace lty::test
