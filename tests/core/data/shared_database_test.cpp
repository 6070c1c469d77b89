// Several programs on one database (two copies on one PC's file, or an
// office server): a save never silently overwrites what another program
// saved since this window loaded or saved the project, and concurrent saves,
// opens and deletes lose or duplicate no row.
#include "core/data/data_module.h"
#include "tests/core/scripted_messages.h"
#include "tests/core/test_database.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace lty {
namespace {

constexpr const char* kOverwrite = "该工程已被其他用户修改。是否覆盖对方的修改？";

TREC_PROJECT NewProject(const std::string& number, const std::string& quotation) {
    TREC_PROJECT r;
    r.SetcharProjectID(number);
    r.SetcharCustomer("王先生");
    r.SetcharDesigner("张明");
    r.SetcharQuotation(quotation);
    r.SetnumContractPrice(1000);
    return r;
}

// The overwrite question, with or without the time of the other's save.
bool IsOverwrite(const std::string& text) {
    return text == kOverwrite ||
           (text.rfind("该工程已被其他用户于 ", 0) == 0 && text.size() > std::string(kOverwrite).size() &&
            text.substr(text.size() - std::string("修改。是否覆盖对方的修改？").size()) ==
                "修改。是否覆盖对方的修改？");
}

int Asked(const test::ScriptedMessages& m) {
    int n = 0;
    for (const auto& s : m.Shown)
        if (s.Kind == "choose" && IsOverwrite(s.Text)) ++n;
    return n;
}

TEST(SharedDatabase, OverwriteQuestionExactlyWhenAnotherProgramSavedInBetween) {
    test::TempProgramDir dir;
    test::ScriptedMessages ma, mb;
    TDM a(ma, dir.Dir());
    TDM b(mb, dir.Dir());
    ASSERT_TRUE(a.Connected() && b.Connected());

    TREC_PROJECT created = NewProject("P1", "1@客厅@@@@@");
    ASSERT_TRUE(a.StoreProject(created, SaveModeInsert, nullptr));
    const std::string id = std::to_string(created.IntID);

    // Both programs open the project.
    auto aLoaded = a.LoadProject(id);
    auto bLoaded = b.LoadProject(id);
    ASSERT_TRUE(aLoaded && bLoaded);

    // The first save finds the row as it was loaded: no question.
    TREC_PROJECT aSaved = *aLoaded;
    aSaved.SetcharQuotation("1@客厅（甲）@@@@@");
    aSaved.SetnumContractPrice(0.1 + 0.2); // stored as 0.3: still the same row afterwards
    EXPECT_TRUE(a.StoreProject(aSaved, SaveModeUpdate, aLoaded.get()));
    EXPECT_EQ(Asked(ma), 0);

    // The second program's save would overwrite it: asked, and 否 keeps the other's version.
    TREC_PROJECT bSaved = *bLoaded;
    bSaved.SetcharQuotation("1@客厅（乙）@@@@@");
    mb.Shown.clear();
    mb.Answers = {false};
    EXPECT_FALSE(b.StoreProject(bSaved, SaveModeUpdate, bLoaded.get()));
    EXPECT_EQ(Asked(mb), 1);
    EXPECT_TRUE(IsOverwrite(mb.Shown.back().Text)) << "no success message after 否";
    EXPECT_EQ(mb.Shown.back().Title, "询问");
    EXPECT_EQ(b.LoadProject(id)->charQuotation, "1@客厅（甲）@@@@@");

    // Asked again on the next try; 是 overwrites.
    mb.Shown.clear();
    mb.Answers = {true};
    EXPECT_TRUE(b.StoreProject(bSaved, SaveModeUpdate, bLoaded.get()));
    EXPECT_EQ(Asked(mb), 1);
    EXPECT_EQ(mb.Texts().back(), "修改工程成功！");
    EXPECT_EQ(a.LoadProject(id)->charQuotation, "1@客厅（乙）@@@@@");

    // Now the first program is the one whose window is behind.
    ma.Shown.clear();
    TREC_PROJECT aAgain = aSaved;
    aAgain.SetcharCustomerTel("139");
    EXPECT_FALSE(a.StoreProject(aAgain, SaveModeUpdate, &aSaved));
    EXPECT_EQ(Asked(ma), 1);

    // A window that saves twice in a row, and one reopened after the other's
    // save, are not asked; nor is a save without a loaded version.
    ma.Shown.clear();
    auto reopened = a.LoadProject(id);
    TREC_PROJECT first = *reopened;
    first.SetcharCustomerTel("138");
    EXPECT_TRUE(a.StoreProject(first, SaveModeUpdate, reopened.get()));
    TREC_PROJECT second = first;
    second.SetcharCustomerTel("137");
    EXPECT_TRUE(a.StoreProject(second, SaveModeUpdate, &first));
    EXPECT_TRUE(a.StoreProject(second, SaveModeUpdate, nullptr));
    EXPECT_EQ(Asked(ma), 0);

    // The other program saving exactly what this window saves is no conflict.
    mb.Shown.clear();
    TREC_PROJECT same = second;
    same.SetcharCustomerTel("136");
    EXPECT_TRUE(a.StoreProject(same, SaveModeUpdate, &second));
    EXPECT_TRUE(b.StoreProject(same, SaveModeUpdate, &second));
    EXPECT_EQ(Asked(mb), 0);
}

// Runs `program` (1 and 2) in two processes of their own at once, and waits
// for both. No connection may be open across the fork.
void RunTwoPrograms(const std::function<void(int)>& program) {
    std::vector<pid_t> children;
    for (int p = 1; p <= 2; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            program(p);
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

// One program's share of the concurrent run, in a process of its own.
// Writes what it did to `log`: "own <number>" for each of its projects that
// must survive, "save <marker> <previous>" for each save of the shared
// project that went through, "ask" for each question, "fault <what>".
void RunProgram(const std::string& dirPath, int program, const std::string& sharedId, const std::string& log) {
    std::ofstream out(log);
    test::ScriptedMessages messages;
    TDM dm(messages, dirPath);
    if (!dm.Connected()) {
        out << "fault connect\n";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<std::pair<std::string, std::string>> own; // number, id
    for (int n = 0; n < 400 && std::chrono::steady_clock::now() < deadline; ++n) {
        // Its own projects: insert, open, update, and now and then delete one.
        const std::string number = "C" + std::to_string(program) + "-" + std::to_string(n);
        TREC_PROJECT r = NewProject(number, "1@卧室@@@@@");
        if (!dm.StoreProject(r, SaveModeInsert, nullptr)) out << "fault insert " << number << "\n";
        own.emplace_back(number, std::to_string(r.IntID));
        auto loaded = dm.LoadProject(own.back().second);
        if (!loaded) {
            out << "fault load " << number << "\n";
        } else {
            TREC_PROJECT edited = *loaded;
            edited.SetcharAddress("改" + std::to_string(n));
            if (!dm.StoreProject(edited, SaveModeUpdate, loaded.get())) out << "fault update " << number << "\n";
        }
        if (n % 3 == 2) {
            if (!dm.DeleteProject(own.front().second)) out << "fault delete " << own.front().first << "\n";
            own.erase(own.begin());
        }

        // The shared project: open, change, save; never overwrite (否).
        auto shared = dm.LoadProject(sharedId);
        if (!shared) {
            out << "fault shared load\n";
            continue;
        }
        TREC_PROJECT mine = *shared;
        const std::string marker = std::to_string(program) + ":" + std::to_string(n);
        mine.SetcharCustomerDemand(marker);
        messages.Shown.clear();
        messages.Answers = {false};
        const bool saved = dm.StoreProject(mine, SaveModeUpdate, shared.get());
        const int asked = Asked(messages);
        if (saved && asked == 0)
            out << "save " << marker << " " << shared->charCustomerDemand << "\n";
        else if (!saved && asked == 1)
            out << "ask\n";
        else
            out << "fault shared save saved=" << saved << " asked=" << asked << "\n";
    }
    for (const auto& [number, id] : own) out << "own " << number << "\n";
}

TEST(SharedDatabase, TwoProgramsSaveOpenAndDeleteConcurrentlyLosingNothing) {
    test::TempProgramDir dir;
    std::string sharedId;
    {
        test::ScriptedMessages m;
        TDM dm(m, dir.Dir());
        TREC_PROJECT shared = NewProject("SHARED", "1@客厅@@@@@");
        shared.SetcharCustomerDemand("start");
        ASSERT_TRUE(dm.StoreProject(shared, SaveModeInsert, nullptr));
        sharedId = std::to_string(shared.IntID);
    } // no connection is open across the fork

    RunTwoPrograms(
        [&](int p) { RunProgram(dir.Dir(), p, sharedId, dir.Dir() + "program" + std::to_string(p) + ".log"); });

    std::set<std::string> expectedOwn;
    std::map<std::string, std::string> chain; // previous marker -> the save that replaced it
    int saves = 0, asks = 0;
    for (int p = 1; p <= 2; ++p) {
        std::ifstream in(dir.Dir() + "program" + std::to_string(p) + ".log");
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string kind, a, b;
            words >> kind >> a >> b;
            if (kind == "own") {
                expectedOwn.insert(a);
            } else if (kind == "save") {
                ++saves;
                EXPECT_TRUE(chain.emplace(b, a).second)
                    << "two saves replaced the same version " << b << ": the second overwrote without asking";
            } else if (kind == "ask") {
                ++asks;
            } else {
                ADD_FAILURE() << "program " << p << ": " << line;
            }
        }
    }
    EXPECT_GT(saves, 0);

    test::ScriptedMessages m;
    TDM dm(m, dir.Dir());
    // Every save that went through is in one unbroken line of versions,
    // ending at the stored one.
    std::string version = "start";
    int followed = 0;
    for (auto next = chain.find(version); next != chain.end(); next = chain.find(version)) {
        version = next->second;
        ++followed;
    }
    EXPECT_EQ(followed, saves);
    EXPECT_EQ(dm.LoadProject(sharedId)->charCustomerDemand, version);

    // Each program's own projects: exactly those it kept, each once.
    ASSERT_TRUE(dm.RunSelect(dm.Qry_Main, "select charProjectID from tblProject where charProjectID<>'SHARED'"));
    std::multiset<std::string> stored;
    for (; !dm.Qry_Main.Eof(); dm.Qry_Main.Next()) stored.insert(dm.Qry_Main.Fields(0).AsString());
    EXPECT_EQ(stored, std::multiset<std::string>(expectedOwn.begin(), expectedOwn.end()));
    RecordProperty("saves", saves);
    RecordProperty("questions", asks);
}

// The print rows of one preparation: `lines` lines of the section `section`.
std::vector<TDM::PrintRowTexts> Quotation(const std::string& section, int lines) {
    std::vector<TDM::PrintRowTexts> rows;
    for (int i = 0; i < lines; ++i)
        rows.push_back({section, section + "项" + std::to_string(i), "10", "2", "项", "", std::to_string(i + 1), "20"});
    return rows;
}

// What the report reads after a preparation: "" when it is exactly `rows`,
// else the first difference.
std::string ReportDiffers(TDM& dm, const std::vector<TDM::PrintRowTexts>& rows) {
    TADOQuery report(dm.ADOMain);
    dm.OpenPrintData(report);
    if (report.RecordCount() != static_cast<int>(rows.size()))
        return "rows " + std::to_string(report.RecordCount()) + ", first " + report.Fields(0).AsString();
    for (const auto& r : rows) {
        if (report.FieldByName("ItemName").AsString() != r.ItemName ||
            report.FieldByName("DataName").AsString() != r.DataName)
            return "foreign row " + report.FieldByName("DataName").AsString();
        report.Next();
    }
    return {};
}

TEST(SharedDatabase, EachProgramPrintsItsOwnRows) {
    test::TempProgramDir dir;
    {
        test::ScriptedMessages ma, mb;
        TDM a(ma, dir.Dir());
        TDM b(mb, dir.Dir());
        ASSERT_TRUE(a.Connected() && b.Connected());
        // The order that used to mix them: the other program prepares
        // between this one's preparation and its report.
        const auto mine = Quotation("王先生的客厅", 3);
        const auto theirs = Quotation("李女士的卧室", 5);
        ASSERT_TRUE(a.ReplacePrintData(mine));
        ASSERT_TRUE(b.ReplacePrintData(theirs));
        EXPECT_EQ(ReportDiffers(a, mine), "");
        EXPECT_EQ(ReportDiffers(b, theirs), "");
        EXPECT_EQ(ReportDiffers(a, mine), "") << "a second look (print after preview) reads the same rows";
    } // no connection is open across the fork

    // Two programs preparing different quotations over and over.
    RunTwoPrograms([&](int p) {
        std::ofstream out(dir.Dir() + "print" + std::to_string(p) + ".log");
        test::ScriptedMessages m;
        TDM dm(m, dir.Dir());
        const auto rows = Quotation(p == 1 ? "甲" : "乙", p == 1 ? 7 : 12);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        int prepared = 0;
        while (std::chrono::steady_clock::now() < deadline && prepared < 300) {
            if (!dm.ReplacePrintData(rows)) continue; // busy: the print command says so and stops
            ++prepared;
            if (const std::string d = ReportDiffers(dm, rows); !d.empty()) out << "fault " << d << "\n";
        }
        out << "prepared " << prepared << "\n";
    });
    for (int p = 1; p <= 2; ++p) {
        std::ifstream in(dir.Dir() + "print" + std::to_string(p) + ".log");
        std::string line;
        int prepared = 0;
        while (std::getline(in, line)) {
            if (line.rfind("prepared ", 0) == 0)
                prepared = std::stoi(line.substr(9));
            else
                ADD_FAILURE() << "program " << p << ": " << line;
        }
        EXPECT_GT(prepared, 0) << "program " << p;
        RecordProperty("preparations" + std::to_string(p), prepared);
    }
}

} // namespace
} // namespace lty
