// What the data module promises when the machine fails it: a full disk, a
// second copy of the program on the same file, a process killed mid-write.
// Every write is all or nothing, and no copy stores a project number twice.
#include "tests/core/data/data_module_fixture.h"
#include "tests/core/data/full_disk.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <pthread.h>
#include <random>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lty {
namespace {

using test::DataModuleTest;

class ReliabilityTest : public DataModuleTest {
protected:
    // The four tables the reset empties, as counts.
    std::vector<int> ResetCounts() {
        return {RawCount("TBLITEM"), RawCount("TBLPRODUCT"), RawCount("tblProject"), RawCount("TMP_Print")};
    }
    // A signature of TMP_Print's contents: rows, and the text of them all.
    std::string PrintRows() {
        return RawText("select count(*) || ':' || coalesce(group_concat(DataName || '/' || DataIndex, ','), '') "
                       "from (select * from TMP_Print order by rowid)");
    }
    void FillPrintRows(const char* name, int n) {
        std::string sql = "delete from TMP_Print;";
        for (int i = 0; i < n; ++i)
            sql.append("insert into TMP_Print(ItemName,DataName,DataIndex) values('段','")
                .append(name)
                .append(std::to_string(i))
                .append("',")
                .append(std::to_string(i % 10 + 1))
                .append(");");
        Raw("begin;" + sql + "commit");
    }
    static std::vector<TDM::PrintRowTexts> NewRows(int n) {
        std::vector<TDM::PrintRowTexts> rows;
        for (int i = 0; i < n; ++i)
            rows.push_back({"新段", "new" + std::to_string(i), "18", "30", "平米", "两遍底漆两遍面漆",
                            std::to_string(i % 10 + 1), "540.00"});
        return rows;
    }
    void GrowCatalogAndProjects() {
        std::string sql = "begin;";
        for (int i = 0; i < 2000; ++i)
            sql.append("insert into TBLITEM(ITEM_NAME,CATALOGExtrainfo,Parent_ID) values('附加项目")
                .append(std::to_string(i))
                .append("','说明文字说明文字说明文字',1);");
        for (int i = 0; i < 300; ++i)
            sql.append("insert into tblProject(charProjectID,charCustomer,charQuotation) values('P")
                .append(std::to_string(i))
                .append("','客户',hex(randomblob(300)));");
        Raw(sql + "commit");
        FillPrintRows("old", 1000);
    }
};

TEST_F(ReliabilityTest, ResetUnderAFullDiskEmptiesAllFourTablesOrNone) {
    LTY_FILE_ENGINE_ONLY(); // the file engine's own disk and lock
    GrowCatalogAndProjects();
    const std::vector<int> before = ResetCounts();
    ASSERT_EQ(before, (std::vector<int>{2109, 109, 300, 1000}));
    test::FullDisk disk;
    ASSERT_TRUE(dm.ConnectDatabase());
    // Every amount of free space from none up to enough: each attempt either
    // empties all four tables or leaves all four as they were.
    int failures = 0;
    for (std::int64_t free = 0;; free += free < 32768 ? 2048 : 16384) {
        ASSERT_LT(free, 4 << 20) << "the reset never succeeded";
        disk.SetFreeBytes(free);
        const bool ok = dm.ClearAllData();
        disk.Unlimited();
        EXPECT_FALSE(dm.ADOMain.InTransaction());
        if (ok) {
            EXPECT_EQ(ResetCounts(), (std::vector<int>{0, 0, 0, 0})) << free;
            break;
        }
        ++failures;
        ASSERT_EQ(ResetCounts(), before) << "free bytes " << free;
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(RawText("pragma integrity_check"), "ok");
}

TEST_F(ReliabilityTest, PrintBatchUnderAFullDiskLeavesTheOldRows) {
    LTY_FILE_ENGINE_ONLY(); // the file engine's own disk and lock
    FillPrintRows("old", 1000);
    const std::string before = PrintRows();
    const auto rows = NewRows(1500);
    test::FullDisk disk;
    ASSERT_TRUE(dm.ConnectDatabase());
    int failures = 0;
    for (std::int64_t free = 0;; free += free < 16384 ? 1024 : 65536) {
        ASSERT_LT(free, 4 << 20) << "the batch never succeeded";
        disk.SetFreeBytes(free);
        // The pair the print preparation uses, and the one-call form.
        bool ok = false;
        if (failures % 2 == 0) {
            ok = dm.ReplacePrintData(rows);
        } else {
            dm.BeginPrintRows();
            dm.ClearPrintData();
            for (const auto& r : rows) dm.InsertPrintRow(r);
            ok = dm.EndPrintRows();
        }
        disk.Unlimited();
        EXPECT_FALSE(dm.ADOMain.InTransaction());
        if (ok) {
            EXPECT_EQ(RawCount("TMP_Print"), 1500);
            EXPECT_EQ(RawCount("TMP_Print where DataName like 'old%'"), 0);
            break;
        }
        ++failures;
        ASSERT_EQ(PrintRows(), before) << "free bytes " << free;
    }
    EXPECT_GT(failures, 0);
}

// The busy database: another copy holds the write lock while this one
// begins (or, given "begin; select ...", a read lock that keeps this one
// from committing), and lets go the moment this one has given up waiting.
struct Blocker {
    sqlite3* Db = nullptr;
    int Waits = 0;
    bool ReleaseOnWait = true;
    explicit Blocker(const std::string& path, const char* hold = "begin immediate") {
        sqlite3_open(path.c_str(), &Db);
        sqlite3_exec(Db, hold, nullptr, nullptr, nullptr);
    }
    ~Blocker() { sqlite3_close(Db); }
    static int OnBusy(void* self, int) {
        auto* b = static_cast<Blocker*>(self);
        ++b->Waits;
        if (b->ReleaseOnWait) sqlite3_exec(b->Db, "commit", nullptr, nullptr, nullptr);
        return 0; // the wait is over: the begin fails
    }
};

TEST_F(ReliabilityTest, NothingIsWrittenWhenTheTransactionCannotBegin) {
    LTY_FILE_ENGINE_ONLY(); // the file engine's own disk and lock
    FillPrintRows("old", 1000);
    const std::string before = PrintRows();
    const auto rows = NewRows(1500);
    {
        Blocker other(dir.DatabasePath());
        sqlite3_busy_handler(dm.ADOMain.Handle(), &Blocker::OnBusy, &other);
        EXPECT_FALSE(dm.ReplacePrintData(rows));
        EXPECT_EQ(other.Waits, 1);
    }
    EXPECT_EQ(PrintRows(), before);
    {
        Blocker other(dir.DatabasePath());
        sqlite3_busy_handler(dm.ADOMain.Handle(), &Blocker::OnBusy, &other);
        EXPECT_FALSE(dm.ClearAllData());
        EXPECT_EQ(RawCount("TBLITEM"), 109);
    }
    {
        Blocker other(dir.DatabasePath());
        sqlite3_busy_handler(dm.ADOMain.Handle(), &Blocker::OnBusy, &other);
        TREC_PROJECT r;
        r.SetcharProjectID("B1");
        r.SetcharCustomer("王先生");
        messages.Shown.clear();
        EXPECT_FALSE(dm.StoreProject(r, SaveModeInsert));
        // Said so, with the engine's reason, rather than failing in silence.
        ASSERT_EQ(messages.Shown.size(), 1u);
        EXPECT_EQ(messages.Shown[0].Text.rfind("保存工程失败，数据未保存！\n", 0), 0u) << messages.Shown[0].Text;
        EXPECT_GT(messages.Shown[0].Text.size(), std::string("保存工程失败，数据未保存！\n").size());
        EXPECT_EQ(RawCount("tblProject"), 0);
    }
    // Reading the catalog takes no write lock: another copy in the middle of
    // a save does not make it wait.
    {
        Blocker other(dir.DatabasePath());
        other.ReleaseOnWait = false;
        sqlite3_busy_handler(dm.ADOMain.Handle(), &Blocker::OnBusy, &other);
        TTreeView tree;
        dm.LoadCatalogTree(tree);
        EXPECT_EQ(other.Waits, 0);
        EXPECT_EQ(tree.Count(), 110u);
    }
    sqlite3_busy_timeout(dm.ADOMain.Handle(), 5000);
    EXPECT_TRUE(dm.ReplacePrintData(rows));
    EXPECT_EQ(RawCount("TMP_Print"), 1500);
}

TEST_F(ReliabilityTest, AFailedCommitIsRolledBackAndTheNextSaveIsStored) {
    LTY_FILE_ENGINE_ONLY(); // the file engine's own lock
    FillPrintRows("old", 10);
    const std::string before = PrintRows();
    TREC_PROJECT r;
    r.SetcharProjectID("C1");
    r.SetcharCustomer("王先生");
    {
        Blocker reader(dir.DatabasePath(), "begin; select count(*) from TBLITEM");
        reader.ReleaseOnWait = false;
        sqlite3_busy_handler(dm.ADOMain.Handle(), &Blocker::OnBusy, &reader);
        EXPECT_FALSE(dm.StoreProject(r, SaveModeInsert));
        EXPECT_FALSE(dm.ADOMain.InTransaction());
        EXPECT_FALSE(dm.ReplacePrintData(NewRows(5)));
        EXPECT_FALSE(dm.ADOMain.InTransaction());
        EXPECT_EQ(reader.Waits, 2);
    }
    sqlite3_busy_timeout(dm.ADOMain.Handle(), 5000);
    EXPECT_EQ(RawCount("tblProject"), 0);
    EXPECT_EQ(PrintRows(), before);
    // Nothing is left open to swallow the next saves: they are stored.
    EXPECT_TRUE(dm.StoreProject(r, SaveModeInsert));
    EXPECT_EQ(RawCount("tblProject"), 1);
    EXPECT_TRUE(dm.ReplacePrintData(NewRows(5)));
    EXPECT_EQ(RawCount("TMP_Print"), 5);
}

// ---- other processes -------------------------------------------------------

// Waits for a child and answers its exit code (-1 when it did not exit).
int Reap(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ReliabilityTest, TwoCopiesSavingTheSameNewNumbersStoreEachOnce) {
    constexpr int kNumbers = 100;
    // Both copies press "save" for each number at the same moment.
    auto* barrier = static_cast<pthread_barrier_t*>(
        mmap(nullptr, sizeof(pthread_barrier_t), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(barrier, MAP_FAILED);
    pthread_barrierattr_t shared;
    pthread_barrierattr_init(&shared);
    pthread_barrierattr_setpshared(&shared, PTHREAD_PROCESS_SHARED);
    pthread_barrier_init(barrier, &shared, 2);
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            test::ScriptedMessages m;
            TDM copy(m, dir.Dir());
            int stored = 0;
            for (int i = 0; i < kNumbers; ++i) {
                TREC_PROJECT r;
                r.SetcharProjectID("R" + std::to_string(i));
                r.SetcharCustomer("客户" + std::to_string(getpid()));
                pthread_barrier_wait(barrier);
                if (copy.StoreProject(r, SaveModeInsert)) ++stored;
            }
            _exit(stored);
        }
    }
    const int stored = Reap(children[0]) + Reap(children[1]);
    pthread_barrier_destroy(barrier);
    munmap(barrier, sizeof(pthread_barrier_t));
    EXPECT_EQ(stored, kNumbers);
    EXPECT_EQ(RawCount("tblProject"), kNumbers);
    EXPECT_EQ(RawText("select count(*) from (select charProjectID from tblProject group by charProjectID "
                      "having count(*)>1) as t"),
              "0");
}

// Kills per kind of write: enough to land in every phase of it, few enough
// for the sanitizer build.
constexpr int kKillRounds = 30;

// Runs `work` in a child process with a data module of its own and kills it
// with SIGKILL `delay` after the work began.
template <typename Work>
void KillDuring(const std::string& programDir, std::chrono::microseconds delay, Work work) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        test::ScriptedMessages m;
        TDM copy(m, programDir);
        if (write(ready[1], "r", 1) != 1) _exit(1);
        work(copy);
        _exit(0);
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    std::this_thread::sleep_for(delay);
    kill(child, SIGKILL);
    Reap(child);
}

// Kills `work` at random moments across its run, `rounds` times, starting
// each round from the file `start`; `check` sees the file after each kill.
template <typename Work, typename Check>
void KillRepeatedly(test::TempProgramDir& dir, int rounds, Work work, Check check) {
    namespace fs = std::filesystem;
    const std::string start = dir.DatabasePath() + ".start";
    fs::copy_file(dir.DatabasePath(), start, fs::copy_options::overwrite_existing);
    // How long the work takes here, so the kills fall across all of it.
    const auto t0 = std::chrono::steady_clock::now();
    {
        test::ScriptedMessages m;
        TDM copy(m, dir.Dir());
        work(copy);
    }
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    std::mt19937 random(12345);
    for (int round = 0; round < rounds; ++round) {
        fs::copy_file(start, dir.DatabasePath(), fs::copy_options::overwrite_existing);
        const auto delay = std::chrono::microseconds(random() % (span.count() * 5 / 4 + 1));
        KillDuring(dir.Dir(), delay, work);
        check(round);
    }
}

TEST_F(ReliabilityTest, KilledMidWriteLeavesTheOldOrTheNewContents) {
    LTY_FILE_ENGINE_ONLY(); // restores the file between kills
    GrowCatalogAndProjects();
    const std::vector<int> full = ResetCounts();
    int sawOld = 0, sawNew = 0;
    KillRepeatedly(
        dir, kKillRounds, [](TDM& copy) { copy.ClearAllData(); },
        [&](int round) {
            ASSERT_EQ(RawText("pragma integrity_check"), "ok") << round;
            const auto counts = ResetCounts();
            if (counts == full)
                ++sawOld;
            else
                ASSERT_EQ(counts, (std::vector<int>{0, 0, 0, 0})) << round;
            if (counts != full) ++sawNew;
        });
    // Which side a kill lands on depends on the machine's load; what matters
    // is that every round is one or the other.
    EXPECT_EQ(sawOld + sawNew, kKillRounds);

    // A print preparation of 2,000 rows replacing 1,000.
    FillPrintRows("old", 1000);
    const std::string old = PrintRows();
    const auto rows = NewRows(2000);
    sawOld = sawNew = 0;
    KillRepeatedly(
        dir, kKillRounds, [&](TDM& copy) { copy.ReplacePrintData(rows); },
        [&](int round) {
            ASSERT_EQ(RawText("pragma integrity_check"), "ok") << round;
            if (PrintRows() == old) {
                ++sawOld;
                return;
            }
            ++sawNew;
            ASSERT_EQ(RawCount("TMP_Print"), 2000) << round;
            ASSERT_EQ(RawCount("TMP_Print where DataName like 'new%'"), 2000) << round;
        });
    // Which side a kill lands on depends on the machine's load; what matters
    // is that every round is one or the other.
    EXPECT_EQ(sawOld + sawNew, kKillRounds);
}

TEST_F(ReliabilityTest, KilledMidSaveLeavesTheOldOrTheNewQuotation) {
    LTY_FILE_ENGINE_ONLY(); // restores the file between kills
    // A project whose quotation has 2,000 rows, saved over with another.
    auto quotation = [](const char* memo) {
        std::string kinds, cells;
        for (int r = 0; r < 2000; ++r) {
            kinds += r % 10 == 0 ? '1' : '0';
            cells.append(r % 10 == 0 ? "@卧室@@@@0.00@" : "@墙面乳胶漆@18@30@平米@540.00@").append(memo);
        }
        return kinds + cells;
    };
    TREC_PROJECT r;
    r.SetcharProjectID("K1");
    r.SetcharCustomer("王先生");
    r.SetcharQuotation(quotation("旧"));
    ASSERT_TRUE(dm.StoreProject(r, SaveModeInsert));
    const std::string oldText = r.charQuotation;
    r.SetcharQuotation(quotation("新的做法说明"));
    r.SetnumContractPrice(123456.78);
    const std::string newText = r.charQuotation;
    int sawOld = 0, sawNew = 0;
    KillRepeatedly(
        dir, kKillRounds,
        [&](TDM& copy) {
            TREC_PROJECT again = r;
            copy.StoreProject(again, SaveModeUpdate);
        },
        [&](int round) {
            ASSERT_EQ(RawText("pragma integrity_check"), "ok") << round;
            ASSERT_EQ(RawCount("tblProject"), 1);
            const std::string text = RawText("select charQuotation from tblProject");
            const std::string price = RawText("select numContractPrice from tblProject");
            if (text == oldText) {
                ++sawOld;
                EXPECT_EQ(price, "0.0") << round;
            } else {
                ++sawNew;
                ASSERT_EQ(text, newText) << round;
                EXPECT_EQ(price, "123456.78") << round;
            }
        });
    EXPECT_GT(sawOld + sawNew, 0);
}

} // namespace
} // namespace lty
